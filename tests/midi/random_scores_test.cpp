#include <gtest/gtest.h>

#include "midi/playback.h"
#include "midi/track_compiler.h"
#include "mml/mml_reader.h"
#include "support/chunk_notes.h"
#include "support/midi_reader.h"
#include "support/random_score.h"
#include "support/recording_sequencer.h"
#include "support/temp_dir.h"
#include "support/track_walk.h"

namespace tsuzuri {
namespace {

using test::ChunkNotes;
using test::notesOfChunk;
using test::Played;

long mmlEnd(const test::HeardMml& mml) {
    long fifteenths = 0;
    for (const test::Heard& h : mml.heard)
        fifteenths += h.length;
    return (fifteenths + 7) / 15;
}

// Random scores with every kind of slot, at random tempos and meters: the
// notes the chunk plays are the notes its MML text plays when read by the
// test's own MML reader (ties merged, silent notes dropped), and both end
// together.
TEST(RandomScores, ChunkAndMmlTextPlayTheSameNotes) {
    test::RandomScore random(20261207);
    auto s = test::newState();
    for (int round = 0; round < 3000; ++round) {
        const int t = random.pick(0, kStoredTracks - 1);
        random.fill(*s, t);
        const int tempo = random.pick(0, 1) ? kStandardTempo : random.pick(kMinTempo, kMaxTempo);
        s->piece.tempo = static_cast<std::int16_t>(tempo);
        s->piece.meter = kMeters[static_cast<std::size_t>(random.pick(0, kMeterCount - 1))];
        const CompiledTrack c = compileTrack(s->piece, s->tables, t);
        ASSERT_EQ(test::trackChunkFault(c.chunk, trackChannel(t)), "") << round;
        const test::HeardMml heard = test::hearMml(c.mml);
        const ChunkNotes chunk = notesOfChunk(c.chunk);
        ASSERT_EQ(chunk.notes, test::playedNotes(heard)) << round << "\n" << c.mml;
        ASSERT_EQ(chunk.end, mmlEnd(heard) + 32) << round << "\n" << c.mml;
        ASSERT_EQ(heard.tempo, tempo) << c.mml;
    }
}

// The same through trk.mid, read back by midicsv: every note on the track's
// channel at its start and end, and the tempo event first when not 120.
TEST(RandomScores, MidicsvReadsTheNotesOfTheMmlText) {
    test::RandomScore random(7);
    test::TempDir dir;
    auto s = test::newState();
    for (int round = 0; round < 40; ++round) {
        const int t = random.pick(0, kWindowTracks - 1);
        random.fill(*s, t);
        s->view.curTrack = static_cast<std::int16_t>(t);
        const int tempo = round % 2 ? kStandardTempo : random.pick(kMinTempo, kMaxTempo);
        test::RecordingSequencer sequencer;
        s->piece.tempo = static_cast<std::int16_t>(tempo);
        s->piece.meter = kMeters[static_cast<std::size_t>(random.pick(0, kMeterCount - 1))];
        const TrackPlayback played = playCurrentTrack(*s, sequencer, dir.path());
        ASSERT_EQ(played.error, "");
        const std::vector<Played> expected = test::playedNotes(test::hearMml(played.mml));

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
            EXPECT_EQ(on[i].fields[2], std::to_string(expected[i].velocity));
        }
        const auto tempos = listing.ofType("Tempo");
        if (tempo == kStandardTempo) {
            EXPECT_TRUE(tempos.empty());
        } else {
            ASSERT_EQ(tempos.size(), 1u);
            EXPECT_EQ(tempos[0].time, 0);
            EXPECT_EQ(tempos[0].fields[0], std::to_string((60'000'000 + tempo / 2) / tempo));
            EXPECT_EQ(listing.records[2].type, "Tempo");  // after Header and Start_track
        }
    }
}

}  // namespace
}  // namespace tsuzuri
