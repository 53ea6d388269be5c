#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "midi/track_compiler.h"
#include "support/score_builder.h"

namespace tsuzuri {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::appendSlot;
using test::newState;

constexpr int kMiddleC = 21;  // row of MIDI note 60 at octave setting 4

std::uint32_t lengthField(const Bytes& chunk) {
    return (std::uint32_t{chunk[4]} << 24) | (std::uint32_t{chunk[5]} << 16) |
           (std::uint32_t{chunk[6]} << 8) | chunk[7];
}

TEST(TrackCompiler, EmptyTrackIsFifteenBytes) {
    auto s = newState();
    const CompiledTrack c = compileTrack(s->piece, s->tables, 0);
    EXPECT_EQ(c.chunk,
              (Bytes{'M', 'T', 'r', 'k', 0, 0, 0, 7, 0x00, 0xC0, 105, 0x20, 0xFF, 0x2F, 0x00}));
    EXPECT_EQ(c.mml, "");
}

TEST(TrackCompiler, OneQuarterNoteIs23Bytes) {
    auto s = newState();
    appendSlot(*s, 0, 0, kMiddleC, 8);
    const CompiledTrack c = compileTrack(s->piece, s->tables, 0);
    EXPECT_EQ(c.chunk,
              (Bytes{'M',  'T',  'r',  'k',  0,    0,    0,    0x0F, 0x00, 0xC0, 0x69, 0x00,
                     0x90, 0x3C, 0x40, 0x20, 0x80, 0x3C, 0x40, 0x20, 0xFF, 0x2F, 0x00}));
    EXPECT_EQ(c.mml, "O4C4 ");
}

TEST(TrackCompiler, NoteOffDeltasOfEveryLength) {
    // Note-off delta bytes for length indices 0..13; whole notes need two bytes.
    const std::vector<Bytes> expected = {{0x02}, {0x03}, {0x04},       {0x06},      {0x08},
                                         {0x0C}, {0x10}, {0x18},       {0x20},      {0x30},
                                         {0x40}, {0x60}, {0x81, 0x00}, {0x81, 0x40}};
    for (int l = 0; l < 14; ++l) {
        auto s = newState();
        appendSlot(*s, 0, 0, kMiddleC, l);
        const Bytes chunk = compileTrack(s->piece, s->tables, 0).chunk;
        const Bytes delta(chunk.begin() + 15, chunk.end() - 7);
        EXPECT_EQ(delta, expected[static_cast<std::size_t>(l)]) << "length " << l;
        EXPECT_EQ(lengthField(chunk), 15u + (l >= 12 ? 1u : 0u)) << "length " << l;
        EXPECT_EQ(lengthField(chunk), chunk.size() - 8);
    }
}

TEST(TrackCompiler, StemDownNotesCompileLikeStemUp) {
    auto up = newState();
    auto down = newState();
    appendSlot(*up, 0, 0, kMiddleC, 9);
    appendSlot(*down, 0, 0, kMiddleC, -9);
    EXPECT_EQ(compileTrack(up->piece, up->tables, 0).chunk,
              compileTrack(down->piece, down->tables, 0).chunk);
    EXPECT_EQ(compileTrack(down->piece, down->tables, 0).mml, "O4C4. ");
}

TEST(TrackCompiler, ChannelNibbleIsTheTrackIndex) {
    for (int t : {3, 9, 15, 17, 20}) {
        auto s = newState();
        s->view.curTrack = static_cast<std::int16_t>(t);
        appendSlot(*s, t, 0, kMiddleC, 8);
        const Bytes chunk = compileTrack(s->piece, s->tables, t).chunk;
        const int channel = t % 16;
        EXPECT_EQ(chunk[9], 0xC0 + channel) << t;
        EXPECT_EQ(chunk[12], 0x90 + channel) << t;
        EXPECT_EQ(chunk[16], 0x80 + channel) << t;
    }
}

TEST(TrackCompiler, RestsLengthenTheNextDeltaAndMarksTakeNoTime) {
    auto s = newState();
    s->piece.meter = kFreeMeter;  // measures of their own length: nothing completes them
    appendSlot(*s, 0, 0, 22, -22);      // r4 before the first note
    appendSlot(*s, 0, 0, kMiddleC, 8);  // O4C4
    appendSlot(*s, 0, 0, 30, -28);      // a sharp mark: no sound, no time
    appendSlot(*s, 0, 1, 22, -27);      // r1. between notes, in the next measure
    appendSlot(*s, 0, 1, 22, 6);        // O4D8
    appendSlot(*s, 0, 2, 22, -20);      // r8 after the last note
    const CompiledTrack c = compileTrack(s->piece, s->tables, 0);
    EXPECT_EQ(c.mml, "r4 O4C4  r1. O4D8 r8 ");
    const Bytes expected = {'M',  'T',  'r',  'k', 0,    0,    0,    24, 0x00, 0xC0,
                            105,  0x20, 0x90, 60,  0x40, 0x20, 0x80, 60, 0x40,  // rest 32 before C
                            0x81, 0x40, 0x90, 62,  0x40, 0x10, 0x80, 62, 0x40,  // rest 192 before D
                            0x30, 0xFF, 0x2F, 0x00};  // r8 (16) + tail (32)
    EXPECT_EQ(c.chunk, expected);
}

TEST(TrackCompiler, RestsBeyondOneByteUseLongerQuantities) {
    auto s = newState();
    for (int i = 0; i < 90; ++i)
        appendSlot(*s, 0, i / 20, 22, -27);  // 90 dotted whole rests
    s->piece.score[0].lastMeasure = 4;
    appendSlot(*s, 0, 4, kMiddleC, 8);
    const Bytes chunk = compileTrack(s->piece, s->tables, 0).chunk;
    // 90 * 192 = 17280 ticks: three bytes 0x81 0x87 0x00.
    EXPECT_EQ(Bytes(chunk.begin() + 11, chunk.begin() + 14), (Bytes{0x81, 0x87, 0x00}));
    EXPECT_EQ(lengthField(chunk), chunk.size() - 8);
}

TEST(TrackCompiler, OnlyMeasuresUpToLastMeasureCompile) {
    auto s = newState();
    s->piece.meter = kFreeMeter;
    appendSlot(*s, 0, 3, kMiddleC, 8);
    appendSlot(*s, 0, 4, kMiddleC, 8);  // beyond lastMeasure 3
    EXPECT_EQ(compileTrack(s->piece, s->tables, 0).mml, "O4C4 ");
    s->piece.score[0].lastMeasure = 4;
    EXPECT_EQ(compileTrack(s->piece, s->tables, 0).mml, "O4C4 O4C4 ");
}

TEST(TrackCompiler, FullTrackMixingWholeNotesRestsAndMarks) {
    // 201 measures of 21 slots (4221, beyond the 4095 a 16-bit tally of 8N + 7 allows):
    // a chunk longer than 32767 bytes.
    auto s = newState();
    s->piece.score[0].lastMeasure = 200;
    int notes = 0;
    int wide = 0;
    for (int m = 0; m < kMeasureCount; ++m) {
        for (int slot = 0; slot < kSlotCount; ++slot) {
            const int i = m * kSlotCount + slot;
            const int code = i % 50 == 0 ? -26 : i % 50 == 1 ? -31 : i % 3 == 0 ? -12 : 6;
            appendSlot(*s, 0, m, 3 + slot, code);
            notes += isNoteIndex(std::abs(code)) ? 1 : 0;
            wide += code == -12 ? 1 : 0;
        }
    }
    const CompiledTrack c = compileTrack(s->piece, s->tables, 0);
    ASSERT_GT(notes, 4000);
    EXPECT_GT(c.chunk.size() - 8, 32767u);
    EXPECT_EQ(lengthField(c.chunk), c.chunk.size() - 8);
    EXPECT_GE(c.chunk.size() - 8, 8u * notes + 7 + wide);
    EXPECT_LT(c.chunk.size(), static_cast<std::size_t>(kTrackBufferSize));
    storeTrackBuffer(*s, 0, c.chunk);
    EXPECT_EQ(s->trackChunkSize[0], static_cast<std::int32_t>(c.chunk.size()));
    EXPECT_TRUE(std::equal(c.chunk.begin(), c.chunk.end(), s->trackBuffer[0].data()));
}

// Compiling reads the record and nothing else: it leaves the score as it was,
// and compiling other tracks in between carries nothing over.
TEST(TrackCompiler, CompilingLeavesTheScoreAndCarriesNothingOver) {
    auto s = newState();
    appendSlot(*s, 2, 0, 25, 8);
    appendSlot(*s, 2, 1, 25, -23);
    appendSlot(*s, 2, 1, 27, -12);
    appendSlot(*s, 0, 3, 40, 13);
    const auto score = std::make_unique<Table<TrackScore, kStoredTracks>>(s->piece.score);
    const CompiledTrack a = compileTrack(s->piece, s->tables, 2);
    EXPECT_TRUE(s->piece.score == *score);
    compileTrack(s->piece, s->tables, 0);
    compileTrack(s->piece, s->tables, 7);
    const CompiledTrack b = compileTrack(s->piece, s->tables, 2);
    EXPECT_EQ(a.chunk, b.chunk);
    EXPECT_EQ(a.mml, b.mml);
}

TEST(VariableLength, StandardEncoding) {
    const std::vector<std::pair<std::uint32_t, Bytes>> cases = {
        {0, {0x00}},         {127, {0x7F}},         {128, {0x81, 0x00}},
        {192, {0x81, 0x40}}, {16383, {0xFF, 0x7F}}, {16384, {0x81, 0x80, 0x00}}};
    for (const auto& [n, bytes] : cases) {
        Bytes out;
        appendVariableLength(out, n);
        EXPECT_EQ(out, bytes) << n;
    }
}

}  // namespace
}  // namespace tsuzuri
