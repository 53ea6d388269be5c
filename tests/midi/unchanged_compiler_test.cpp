// A score without marks, at the standard tempo, compiles exactly as it did
// before marks had a meaning: the same chunk, TrackBuffer, file and MML text.
#include <gtest/gtest.h>

#include <cstdlib>

#include "midi/playback.h"
#include "midi/track_compiler.h"
#include "support/random_score.h"
#include "support/recording_sequencer.h"
#include "support/temp_dir.h"

namespace tsuzuri {
namespace {

// The compiler as it was when every slot beyond a rest compiled to nothing,
// kept word for word as the reference.
CompiledTrack frozenCompile(const EditorState& s, int t) {
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
