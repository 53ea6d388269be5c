#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "midi/playback.h"
#include "midi/track_compiler.h"
#include "score/score_ops.h"
#include "support/midi_reader.h"
#include "support/recording_sequencer.h"
#include "support/score_builder.h"
#include "support/temp_dir.h"
#include "support/track_walk.h"

namespace tsuzuri {
namespace {

// Random scores of notes, rests and marks on random tracks, each written as
// trk.mid and read back by midicsv: every note sounds on the track's channel
// for exactly its length, starting where the slots before it end.
TEST(RandomScores, EveryFileIsReadBackNoteForNote) {
    std::mt19937 random(20261207);
    test::TempDir dir;
    for (int round = 0; round < 40; ++round) {
        auto s = test::newState();
        const int t = static_cast<int>(random() % kStoredTracks);
        s->view.curTrack = static_cast<std::int16_t>(t);
        s->piece.score[t].trackProgram = static_cast<std::uint8_t>(random() % 128);
        s->piece.score[t].lastMeasure = static_cast<std::int16_t>(random() % 12);
        struct Expected {
            long on, off;
            int key;
        };
        std::vector<Expected> expected;
        long time = 0;
        for (int m = 0; m <= s->piece.score[t].lastMeasure; ++m) {
            const int slots = static_cast<int>(random() % (kMaxNotesPerMeasure + 1));
            for (int slot = 0; slot < slots; ++slot) {
                const int code = static_cast<int>(random() % 101) - 50;
                const int row = static_cast<int>(random() % kNamedRows);
                test::appendSlot(*s, t, m, row, code);
                const int length = std::abs(code);
                const long ticks = s->tables.lengthTicks[length];
                if (isNoteIndex(length))
                    expected.push_back({time, time + ticks, s->tables.rowMidi[row]});
                time += ticks;
            }
        }
        test::RecordingSequencer sequencer;
        ASSERT_EQ(playCurrentTrack(*s, sequencer, dir.path()).error, "");
        const std::vector<std::uint8_t> chunk(s->trackBuffer[t].data(),
                                              s->trackBuffer[t].data() + s->trackChunkSize[t]);
        EXPECT_EQ(test::trackChunkFault(chunk, trackChannel(t)), "") << round;

        const test::MidiListing listing = test::readWithMidicsv(dir.path() / "trk.mid");
        ASSERT_TRUE(listing.ok) << listing.diagnostics;
        const auto on = listing.ofType("Note_on_c");
        const auto off = listing.ofType("Note_off_c");
        ASSERT_EQ(on.size(), expected.size()) << round;
        ASSERT_EQ(off.size(), expected.size()) << round;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(on[i].time, expected[i].on) << round << " note " << i;
            EXPECT_EQ(off[i].time, expected[i].off) << round << " note " << i;
            EXPECT_EQ(on[i].fields[0], std::to_string(t % 16));
            EXPECT_EQ(on[i].fields[1], std::to_string(expected[i].key));
        }
        const auto end = listing.ofType("End_track");
        ASSERT_EQ(end.size(), 1u);
        EXPECT_EQ(end[0].time, time + 32) << round;
    }
}

}  // namespace
}  // namespace tsuzuri
