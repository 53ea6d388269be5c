#include <gtest/gtest.h>

#include "mml/piano.h"

namespace tsuzuri {
namespace {

constexpr int kWhiteHeight = 106;
constexpr int kBlackHeight = 65;

TEST(PianoZones, WhiteKeyBoundsBelongToTheZoneBelow) {
    EXPECT_EQ(zoneLength(0, kWhiteHeight), "64");
    EXPECT_EQ(zoneLength(119, kWhiteHeight), "64");
    EXPECT_EQ(zoneLength(120, kWhiteHeight), "32");
    EXPECT_EQ(zoneLength(419, kWhiteHeight), "32");
    EXPECT_EQ(zoneLength(420, kWhiteHeight), "16");
    EXPECT_EQ(zoneLength(720, kWhiteHeight), "8.");
    EXPECT_EQ(zoneLength(959, kWhiteHeight), "8.");
    EXPECT_EQ(zoneLength(960, kWhiteHeight), "8");
    EXPECT_EQ(zoneLength(1200, kWhiteHeight), "4");
    EXPECT_EQ(zoneLength(1439, kWhiteHeight), "4");
    EXPECT_EQ(zoneLength(1439.9, kWhiteHeight), "4");
    EXPECT_EQ(zoneLength(1440, kWhiteHeight), "2");
    EXPECT_EQ(zoneLength(1589, kWhiteHeight), "2");
}

TEST(PianoZones, BlackKeysGiveNoShortLengths) {
    EXPECT_EQ(zoneLength(119, kBlackHeight), "16");
    EXPECT_EQ(zoneLength(120, kBlackHeight), "8");
    EXPECT_EQ(zoneLength(420, kBlackHeight), "4");
    EXPECT_EQ(zoneLength(719, kBlackHeight), "4");
    EXPECT_EQ(zoneLength(720, kBlackHeight), "2");
    EXPECT_EQ(zoneLength(1440, kBlackHeight), "2");
    // The height decides the table: 70 pixels is not yet a white key.
    EXPECT_EQ(zoneLength(0, 70), "16");
    EXPECT_EQ(zoneLength(0, 71), "64");
}

TEST(PianoKeys, LayoutOfTheKeyboard) {
    int black = 0;
    for (int k = 0; k < kPianoKeyCount; ++k)
        black += isBlackKey(k) ? 1 : 0;
    EXPECT_EQ(black, 24);
    EXPECT_EQ(keyRect(0).left, 0);
    EXPECT_EQ(keyRect(2).left, 390);
    EXPECT_EQ(keyRect(57).left, 390 * 33);  // 34 white keys
    EXPECT_EQ(keyRect(57).width, 375);
    EXPECT_EQ(keyRect(57).height, 1590);
    EXPECT_EQ(keyRect(51).left, 11580);
    EXPECT_EQ(keyRect(51).width, 255);
    EXPECT_EQ(keyHeightPixels(0), 106);
    EXPECT_EQ(keyHeightPixels(1), 65);
    EXPECT_EQ(keyPitch(0), 24);
    EXPECT_EQ(keyPitch(57), 81);
}

TEST(PianoPress, LowestAndHighestKeys) {
    // Names as the score writes pitches: MIDI 60 is O4C.
    const KeyPress low = pressKey(0, 135, 600);
    EXPECT_EQ(low.pitch, 24);
    EXPECT_EQ(low.readout, " 135 600");
    EXPECT_EQ(low.noteText, "O1C16");
    const KeyPress high = pressKey(57, 10, 1500);
    EXPECT_EQ(high.pitch, 81);
    EXPECT_EQ(high.noteText, "O5A2");
    EXPECT_EQ(pressKey(1, 0, 500).noteText, "O1C#4");
    EXPECT_EQ(pressKey(36, 7.5, -15).readout, " 7.5-15");
    EXPECT_EQ(pressKey(36, 0, 1000).noteText, "O4C8");
    EXPECT_EQ(pressKey(37, 0, 0).noteText, "O4C#16");
}

}  // namespace
}  // namespace tsuzuri
