// A score without marks, at the standard tempo and in the free meter,
// compiles exactly as it did before marks and bars had a meaning: the same
// chunk, TrackBuffer, file and MML text. Under a meter it compiles as the
// same score would with the missing time of each short measure written out.
#include <gtest/gtest.h>

#include <cstdlib>

#include "midi/playback.h"
#include "midi/track_compiler.h"
#include "mml/mml_reader.h"
#include "support/random_score.h"
#include "support/recording_sequencer.h"
#include "support/temp_dir.h"

namespace tsuzuri {
namespace {

// Rest time written after a measure's slots: ticks after each measure and
// the MML text that says them.
struct AddedRests {
    std::vector<std::uint32_t> ticks = std::vector<std::uint32_t>(kMeasureCount, 0);
    std::vector<std::string> text = std::vector<std::string>(kMeasureCount);
};

// The compiler as it was when every slot beyond a rest compiled to nothing,
// kept word for word as the reference, with `added` rests after measures.
CompiledTrack frozenCompile(const EditorState& s, int t, const AddedRests& added = {}) {
    constexpr std::uint8_t kVelocity = 0x40;
    constexpr std::uint32_t kTailTicks = 32;
    CompiledTrack result;
    std::vector<std::uint8_t>& out = result.chunk;
    const auto channel = static_cast<std::uint8_t>(t % 16);

    out = {'M', 'T', 'r', 'k', 0, 0, 0, 0};
    const TrackScore& track = s.piece.score[t];
    out.insert(out.end(), {0x00, static_cast<std::uint8_t>(0xC0 | channel), track.trackProgram});

    std::uint32_t pending = 0;
    for (int m = 0; m <= track.lastMeasure; ++m) {
        const Measure& measure = track.measures[m];
        for (int slot = 0; slot < measure.noteCount; ++slot) {
            const int row = measure.noteRow[slot];
            const int length = std::abs(measure.noteAttr[slot][kAttrCode]);
            const std::uint32_t ticks = s.tables.lengthTicks[length];
            if (!isNoteIndex(length)) {
                result.mml += s.tables.lengthNames[length];
                result.mml += ' ';
                pending += ticks;
                continue;
            }
            const std::uint8_t key = s.tables.rowMidi[row];
            result.mml += s.tables.rowNames[row];
            result.mml += s.tables.lengthNames[length];
            result.mml += ' ';
            appendVariableLength(out, pending);
            pending = 0;
            out.insert(out.end(), {static_cast<std::uint8_t>(0x90 | channel), key, kVelocity});
            appendVariableLength(out, ticks);
            out.insert(out.end(), {static_cast<std::uint8_t>(0x80 | channel), key, kVelocity});
        }
        pending += added.ticks[static_cast<std::size_t>(m)];
        result.mml += added.text[static_cast<std::size_t>(m)];
    }
    appendVariableLength(out, pending + kTailTicks);
    out.insert(out.end(), {0xFF, 0x2F, 0x00});
    const auto size = static_cast<std::uint32_t>(out.size() - 8);
    for (int i = 0; i < 4; ++i)
        out[static_cast<std::size_t>(4 + i)] = static_cast<std::uint8_t>(size >> (24 - 8 * i));
    return result;
}

// Track t of a random piece filled with notes, rests, and the indices that
// were never marks of the palette's sound (the selection tool and those
// beyond the palette), sparse enough that thousands of scores stay quick.
void fillWithoutMarks(EditorState& s, int t, test::RandomScore& random) {
    random.clear(s, t);
    s.piece.meter = kFreeMeter;
    TrackScore& track = s.piece.score[t];
    const int lastMeasure = random.pick(0, 5) == 0 ? random.pick(0, 200) : random.pick(0, 8);
    track.lastMeasure = static_cast<std::int16_t>(lastMeasure);
    const int others[] = {34, 51, 52, 57, 60, 64};
    for (int n = random.pick(0, 60); n > 0; --n) {
        const int m = random.pick(0, std::min(lastMeasure + 1, kMeasureCount - 1));
        const int roll = random.pick(0, 9);
        const int index = roll < 6   ? random.pick(0, 13)
                          : roll < 9 ? random.pick(14, 27)
                                     : others[random.pick(0, 5)];
        if (track.measures[m].noteCount < kSlotCount)
            test::appendSlot(s, t, m, random.pick(0, kRowCount - 1),
                             random.pick(0, 1) ? index : -index);
    }
}

TEST(UnchangedCompiler, ScoresWithoutMarksCompileByteForByteAsBefore) {
    test::RandomScore random(22);
    auto s = test::newState();
    for (int round = 0; round < 3000; ++round) {
        const int t = random.pick(0, kStoredTracks - 1);
        fillWithoutMarks(*s, t, random);
        const CompiledTrack now = compileTrack(s->piece, s->tables, t);
        const CompiledTrack before = frozenCompile(*s, t);
        ASSERT_EQ(now.chunk, before.chunk) << "round " << round;
        ASSERT_EQ(now.mml, before.mml) << "round " << round;
    }
}

// The missing time of every short measure under `meter`, read from the rule
// itself: a measure before the last one with a slot that holds less than a
// bar (a slot holds its length's ticks; there are no tuplets without marks)
// is followed by the rest of the bar, written as sixty-fourth rests and at
// most one dotted one; a single tick is not written.
AddedRests missingTime(const EditorState& s, int t, Meter meter) {
    AddedRests added;
    const TrackScore& track = s.piece.score[t];
    const int bar = 128 * meter.beats / meter.unit;
    int last = track.lastMeasure;
    while (last >= 0 && track.measures[last].noteCount == 0)
        --last;
    for (int m = 0; m < last; ++m) {
        int held = 0;
        for (int slot = 0; slot < track.measures[m].noteCount; ++slot)
            held += s.tables.lengthTicks[std::abs(track.measures[m].noteAttr[slot][kAttrCode])];
        int gap = bar - held;
        if (gap < 2)
            continue;
        added.ticks[static_cast<std::size_t>(m)] = static_cast<std::uint32_t>(gap);
        if (gap % 2 == 1) {
            added.text[static_cast<std::size_t>(m)] += "r64. ";
            gap -= 3;
        }
        for (; gap > 0; gap -= 2)
            added.text[static_cast<std::size_t>(m)] += "r64 ";
    }
    return added;
}

// What a player hears, runs of rests heard as one.
std::vector<test::Heard> heardWithRestsJoined(const std::string& mml) {
    std::vector<test::Heard> out;
    for (const test::Heard& h : test::hearMml(mml).heard) {
        if (h.rest && !out.empty() && out.back().rest)
            out.back().length += h.length;
        else
            out.push_back(h);
    }
    return out;
}

TEST(UnchangedCompiler, UnderAMeterShortMeasuresGainTheirMissingTimeAndNothingElse) {
    test::RandomScore random(25);
    auto s = test::newState();
    int completed = 0;
    for (int round = 0; round < 3000; ++round) {
        const int t = random.pick(0, kStoredTracks - 1);
        fillWithoutMarks(*s, t, random);
        for (Measure& measure : s->piece.score[t].measures) {
            for (int slot = 0; slot < measure.noteCount; ++slot)  // notes a reader can name
                measure.noteRow[slot] = std::min<std::int16_t>(measure.noteRow[slot], 95);
        }
        const Meter meter = kMeters[static_cast<std::size_t>(random.pick(0, kMeterCount - 2))];
        s->piece.meter = meter;
        const CompiledTrack now = compileTrack(s->piece, s->tables, t);
        const AddedRests added = missingTime(*s, t, meter);
        const CompiledTrack before = frozenCompile(*s, t, added);
        ASSERT_EQ(now.chunk, before.chunk) << "round " << round;
        ASSERT_EQ(heardWithRestsJoined(now.mml), heardWithRestsJoined(before.mml))
            << "round " << round << "\n"
            << now.mml << "\n"
            << before.mml;
        for (const std::uint32_t ticks : added.ticks)
            completed += ticks > 0 ? 1 : 0;
    }
    EXPECT_GT(completed, 3000);
}

// Through one-track playback: the file and the TrackBuffer hold the same
// bytes as before, with no tempo event at 120.
TEST(UnchangedCompiler, PlaybackFileAndTrackBufferAsBefore) {
    test::RandomScore random(2022);
    test::TempDir dir;
    auto s = test::newState();
    for (int round = 0; round < 30; ++round) {
        const int t = random.pick(0, kWindowTracks - 1);
        fillWithoutMarks(*s, t, random);
        s->view.curTrack = static_cast<std::int16_t>(t);
        test::RecordingSequencer sequencer;
        const TrackPlayback played = playCurrentTrack(*s, sequencer, dir.path());
        ASSERT_EQ(played.error, "");
        const CompiledTrack before = frozenCompile(*s, t);
        std::vector<std::uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 1, 0, 0x20};
        file.insert(file.end(), before.chunk.begin(), before.chunk.end());
        EXPECT_EQ(test::readBytes(dir.path() / "trk.mid"), file) << round;
        EXPECT_EQ(played.mml, before.mml) << round;
        EXPECT_EQ(std::vector<std::uint8_t>(s->trackBuffer[t].data(),
                                            s->trackBuffer[t].data() + s->trackChunkSize[t]),
                  before.chunk)
            << round;
    }
}

}  // namespace
}  // namespace tsuzuri
