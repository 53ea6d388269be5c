#include <gtest/gtest.h>

#include "view/controls.h"

namespace tsuzuri {
namespace {

TEST(NumberText, LeadingNumericPart) {
    EXPECT_EQ(leadingNumber("5.5"), 5.5);
    EXPECT_EQ(leadingNumber("  7 "), 7);
    EXPECT_EQ(leadingNumber("1 2"), 12);  // blanks inside are skipped
    EXPECT_EQ(leadingNumber("3abc"), 3);
    EXPECT_EQ(leadingNumber("-2"), -2);
    EXPECT_EQ(leadingNumber("+.5"), 0.5);
    EXPECT_EQ(leadingNumber("1e1"), 10);
    EXPECT_EQ(leadingNumber("1e"), 1);
    EXPECT_EQ(leadingNumber("1.2.3"), 1.2);
    EXPECT_EQ(leadingNumber(""), 0);
    EXPECT_EQ(leadingNumber("x"), 0);
    EXPECT_EQ(leadingNumber("-"), 0);
    EXPECT_EQ(leadingNumber("."), 0);
    EXPECT_GT(leadingNumber("1e999"), 1e300);  // no infinity
}

TEST(NumberText, OctaveSettingRoundsHalvesToEvenAndClamps) {
    EXPECT_EQ(octaveSettingFromText("5.5"), 6);
    EXPECT_EQ(octaveSettingFromText("4.5"), 4);
    EXPECT_EQ(octaveSettingFromText("2.51"), 3);
    EXPECT_EQ(octaveSettingFromText("9"), 8);
    EXPECT_EQ(octaveSettingFromText("-1"), 0);
    EXPECT_EQ(octaveSettingFromText("1e999"), 8);
}

TEST(TrackButtons, StayWithinTheTracksInUse) {
    EXPECT_EQ(previousTrack(0, 3), 2);
    EXPECT_EQ(previousTrack(2, 3), 1);
    EXPECT_EQ(previousTrack(0, 0), 0);
    EXPECT_EQ(previousTrack(19, 2), 0);
    EXPECT_EQ(nextTrack(1, 3), 2);
    EXPECT_EQ(nextTrack(2, 3), 2);
    EXPECT_EQ(nextTrack(0, 0), 0);
    EXPECT_EQ(nextTrack(5, 2), 5);
    // Walking up from track 1 stops at the last track in use; walking down
    // from it goes through every track in use once and comes round to it.
    for (int count = 0; count <= 20; ++count) {
        const int inUse = std::max(count, 1);
        int t = 0;
        for (int press = 1; press <= inUse + 1; ++press) {
            t = nextTrack(t, count);
            EXPECT_EQ(t, std::min(press, inUse - 1)) << count << " " << press;
        }
        t = 0;
        for (int press = 1; press <= inUse; ++press) {
            t = previousTrack(t, count);
            EXPECT_EQ(t, inUse - press) << count << " " << press;
        }
    }
}

TEST(Instruments, ProgramsOfTheList) {
    EXPECT_EQ(instrumentEntry(105), 0);
    EXPECT_EQ(instrumentEntry(25), 1);
    EXPECT_EQ(instrumentEntry(24), 2);
    EXPECT_EQ(instrumentEntry(74), 3);
    EXPECT_FALSE(instrumentEntry(0));
}

}  // namespace
}  // namespace tsuzuri
