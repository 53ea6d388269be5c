// Bars keep time: under a meter every measure before the last one with a
// slot lasts at least a full bar, its missing time written as rests.
#include <gtest/gtest.h>

#include <initializer_list>
#include <random>

#include "midi/midi_file.h"
#include "midi/track_compiler.h"
#include "music/bars.h"
#include "state/tables.h"
#include "support/chunk_notes.h"
#include "support/midi_reader.h"
#include "support/score_builder.h"
#include "support/temp_dir.h"

namespace tsuzuri {
namespace {

using test::Played;

constexpr int kC4 = 21, kD4 = 22;
constexpr int kQuarter = 8, kEighth = 6, kHalf = 10, kWhole = 12, kDotted64th = 1;
constexpr int kArc = 31, kArc3 = 32;

struct Slot {
    int row;
    int index;
};

class Bars : public ::testing::Test {
protected:
    void measure(int m, std::initializer_list<Slot> slots) {
        for (const Slot& slot : slots)
            test::appendSlot(*s_, 0, m, slot.row, slot.index > 11 ? -slot.index : slot.index);
        TrackScore& track = s_->piece.score[0];
        track.lastMeasure = std::max<std::int16_t>(track.lastMeasure, static_cast<std::int16_t>(m));
    }
    CompiledTrack compiled(Meter meter = kCommonTime) {
        s_->piece.meter = meter;
        return compileTrack(s_->piece, s_->tables, 0);
    }
    std::vector<Played> played(Meter meter = kCommonTime) {
        return test::notesOfChunk(compiled(meter).chunk).notes;
    }

    std::unique_ptr<EditorState> s_ = test::newState();
};

TEST_F(Bars, ShortAndEmptyMeasuresAreCompletedWithTheLongestRestsFirst) {
    measure(0, {{kC4, kQuarter}});
    measure(2, {{kC4, kQuarter}});  // measure 1 empty
    EXPECT_EQ(compiled().mml, "O4C4 r2. r1 O4C4 ");
    EXPECT_EQ(played(), (std::vector<Played>{{0, 32, 60, 64}, {256, 288, 60, 64}}));
    measure(2, {{kC4, kEighth}});  // 3/4 holds a quarter and an eighth of it
    measure(3, {{kC4, kQuarter}});
    EXPECT_EQ(compiled({3, 4}).mml, "O4C4 r2 r2. O4C4 O4C8 r4. O4C4 ");
}

TEST_F(Bars, TheFreeMeterAndTheLastMeasuresKeepTheirOwnTime) {
    measure(0, {{kC4, kQuarter}});
    measure(1, {{kC4, kQuarter}});
    s_->piece.score[0].lastMeasure = 6;  // empty measures after the last slot add nothing
    EXPECT_EQ(compiled(kFreeMeter).mml, "O4C4 O4C4 ");
    const CompiledTrack fourFour = compiled();
    EXPECT_EQ(fourFour.mml, "O4C4 r2. O4C4 ");
    EXPECT_EQ(test::notesOfChunk(fourFour.chunk).end, 128 + 32 + 32)
        << "the track ends with its last note";
}

TEST_F(Bars, TupletsCountAtTheirSoundingLength) {
    // A triplet of quarters lasts a half note: with a half note the bar is full.
    measure(0, {{kC4, kArc3}, {kC4, kQuarter}, {kC4, kQuarter}, {kC4, kQuarter}, {kC4, kHalf}});
    measure(1, {{kD4, kQuarter}});
    EXPECT_EQ(played().back().on, 128);
    EXPECT_EQ(compiled().mml.find('r'), std::string::npos) << compiled().mml;
    EXPECT_EQ(measureTime(s_->piece.score[0].measures[0]), exactTicks(128));
}

TEST_F(Bars, ALongMeasurePlaysAsWrittenAndASingleTickIsNotWritten) {
    for (int i = 0; i < 20; ++i)
        measure(0, {{kC4, kWhole}});  // twenty whole notes in one measure
    measure(
        1, {{kC4, kHalf}, {kC4, kQuarter}, {kC4, kEighth}, {kC4, 4}, {kC4, 2}, {kC4, kDotted64th}});
    measure(2, {{kD4, kQuarter}});  // measure 1 holds 127 ticks
    const std::vector<Played> notes = played();
    EXPECT_EQ(notes[20].on, 20 * 128);
    EXPECT_EQ(notes.back().on, 20 * 128 + 127);
    EXPECT_EQ(compiled().mml.find('r'), std::string::npos);
    EXPECT_EQ(measureFit(s_->piece.score[0], kCommonTime, 0).fit, BarFit::Long);
    EXPECT_EQ(measureFit(s_->piece.score[0], kCommonTime, 1).fit, BarFit::Short);
    EXPECT_EQ(measureFit(s_->piece.score[0], kCommonTime, 2).fit, BarFit::Open);
    EXPECT_EQ(measureFit(s_->piece.score[0], kFreeMeter, 0).fit, BarFit::Open);
}

TEST_F(Bars, AnArcAcrossCompletedTimeLinksNothing) {
    measure(0, {{kC4, kQuarter}, {kC4, kArc}});
    measure(1, {{kC4, kQuarter}, {kC4, kQuarter}, {kC4, kHalf}, {kC4, kArc}});
    measure(2, {{kC4, kQuarter}});
    // Across the completed bar line: two notes and a silent arc; across the
    // full one the tie still holds.
    EXPECT_EQ(compiled().mml, "O4C4  r2. O4C4 O4C4 O4C2 & O4C4 ");
    EXPECT_EQ(played(),
              (std::vector<Played>{
                  {0, 32, 60, 64}, {128, 160, 60, 64}, {160, 192, 60, 64}, {192, 288, 60, 64}}));
    EXPECT_EQ(compiled(kFreeMeter).mml, "O4C4 & O4C4 O4C4 O4C2 & O4C4 ");
}

// Every gap a bar can leave: the rests fill it exactly, longest first.
TEST(CompletionRests, FillEveryGapExactlyLongestFirst) {
    EXPECT_EQ(completionRests(96).count, 1);
    EXPECT_EQ(completionRests(96).lengths[0], 11);  // r2.
    const CompletionRests eighty = completionRests(80);
    ASSERT_EQ(eighty.count, 2);
    EXPECT_EQ(eighty.lengths[0], 10);  // r2
    EXPECT_EQ(eighty.lengths[1], 6);   // r8
    EXPECT_EQ(completionRests(1).count, 0);
    EXPECT_EQ(completionRests(0).count, 0);
    for (int gap = 2; gap <= 192; ++gap) {
        const CompletionRests rests = completionRests(gap);
        int sum = 0;
        for (int k = 0; k < rests.count; ++k) {
            sum += noteLengthTicks(rests.lengths[k]);
            if (k > 0) {
                EXPECT_LE(rests.lengths[k], rests.lengths[k - 1]) << gap;
            }
        }
        EXPECT_EQ(sum, gap);
    }
    EXPECT_EQ(barTicks({6, 8}), 96);
    EXPECT_EQ(barTicks({12, 8}), 192);
    EXPECT_EQ(barTicks({2, 2}), 128);
    EXPECT_EQ(barTicks(kFreeMeter), 0);
}

// A random track whose measures are built from parts of known length, so
// that where each measure must start is known without reading the score:
// each measure that holds anything opens with a marker note on a row no
// other note takes (two rows in turn, so that no arc ties one marker to the
// next), then notes, rests, tuplet groups and marks follow.
struct BuiltTrack {
    std::vector<long> held = std::vector<long>(kMeasureCount, 0);  // ticks each measure holds
    std::vector<bool> used = std::vector<bool>(kMeasureCount, false);
    int last = -1;  // the last measure that holds a slot
};

constexpr int kMarkerRows[] = {10, 11};

BuiltTrack buildTrack(EditorState& s, std::mt19937& rng) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    BuiltTrack built;
    init(s);
    s.piece.score[0].lastMeasure = static_cast<std::int16_t>(pick(0, 12));
    for (int m = 0; m <= s.piece.score[0].lastMeasure; ++m) {
        if (pick(0, 3) == 0)
            continue;
        built.used[static_cast<std::size_t>(m)] = true;
        built.last = m;
        const Measure& measure = s.piece.score[0].measures[m];
        auto add = [&](int row, int index, long ticks) {
            test::appendSlot(s, 0, m, row, index);
            built.held[static_cast<std::size_t>(m)] += ticks;
        };
        const int first = pick(0, 13);
        add(kMarkerRows[m % 2], first, noteLengthTicks(first));
        const int parts = pick(0, 6);
        for (int p = 0; p < parts && measure.noteCount < 14; ++p) {
            const int roll = pick(0, 9);
            if (roll < 4) {
                const int length = pick(0, 13);
                add(pick(20, 40), roll == 0 ? -(14 + length) : length, noteLengthTicks(length));
            } else if (roll < 6) {  // a triplet or quintuplet of one undotted length
                const bool three = roll == 4;
                const int length = 2 * pick(0, three ? 5 : 4);
                add(pick(20, 40), three ? -kArc3 : -33, 0);
                for (int k = 0; k < (three ? 3 : 5); ++k)
                    add(pick(20, 40), pick(0, 3) == 0 ? -(14 + length) : length, 0);
                built.held[static_cast<std::size_t>(m)] +=
                    (three ? 2 : 4) * noteLengthTicks(length);
            } else {  // a mark: an accidental, an arc or a volume of V1..V15
                const int marks[] = {28, 29, 30, kArc, 36, 40, 50};
                add(pick(20, 40), -marks[pick(0, 6)], 0);
            }
        }
    }
    return built;
}

// Under every meter, the written file read back by midicsv: each measure
// that holds a slot starts where the measures before it end, each lasting a
// full bar at least (the last one with a slot excepted, a single missing
// tick left out); with no long measure before it, at a multiple of the bar.
TEST(BarsKeepTime, EveryMeasureStartsWhereTheBarsBeforeItEnd) {
    std::mt19937 rng(25);
    test::TempDir dir;
    auto s = test::newState();
    const auto path = dir.path() / "bars.mid";
    int aligned = 0;
    for (int round = 0; round < 70; ++round) {
        const Meter meter = kMeters[static_cast<std::size_t>(round % (kMeterCount - 1))];
        const BuiltTrack built = buildTrack(*s, rng);
        s->piece.meter = meter;
        const CompiledTrack c = compileTrack(s->piece, s->tables, 0);
        test::writeBytes(path, midiFile({c.chunk}, kStandardTempo));
        const test::MidiListing listing = test::readWithMidicsv(path);
        ASSERT_TRUE(listing.ok) << listing.diagnostics;
        std::vector<long> markers;
        for (const test::MidiRecord& on : listing.ofType("Note_on_c")) {
            if (on.fields[1] == std::to_string(s->tables.rowMidi[kMarkerRows[0]]) ||
                on.fields[1] == std::to_string(s->tables.rowMidi[kMarkerRows[1]]))
                markers.push_back(on.time);
        }
        const long bar = barTicks(meter);
        long start = 0;
        bool keptBars = true;  // no measure before this one was long or a tick short
        std::size_t marker = 0;
        for (int m = 0; m <= built.last; ++m) {
            const long held = built.held[static_cast<std::size_t>(m)];
            if (built.used[static_cast<std::size_t>(m)]) {
                ASSERT_LT(marker, markers.size()) << round;
                ASSERT_EQ(markers[marker++], start) << "round " << round << " measure " << m;
                if (keptBars) {
                    EXPECT_EQ(start % bar, 0) << round;
                    ++aligned;
                }
            }
            const long gap = m < built.last ? bar - held : 0;
            start += held + (gap >= 2 ? gap : 0);
            keptBars = keptBars && (m == built.last || gap >= 0) && gap != 1;
        }
        EXPECT_EQ(marker, markers.size()) << round;
        // The text says the same: the notes its reader hears are the chunk's.
        EXPECT_EQ(test::notesOfChunk(c.chunk).notes, test::playedNotes(test::hearMml(c.mml)))
            << round << "\n"
            << c.mml;
    }
    EXPECT_GT(aligned, 100);
}

}  // namespace
}  // namespace tsuzuri
