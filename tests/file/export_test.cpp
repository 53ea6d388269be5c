// The exported piece read back by midicsv: every track with notes, in track
// order, with its own channel, instrument and pitches; the MML one track a line.
#include <gtest/gtest.h>

#include "file/export.h"
#include "io/safe_file.h"
#include "keysig/key_signature.h"
#include "support/midi_reader.h"
#include "support/score_builder.h"
#include "support/temp_dir.h"

namespace tsuzuri {
namespace {

TEST(ExportTest, TheMidiFileHoldsEveryTrackWithNotesAndNothingElseChanges) {
    auto s = test::newState();
    applyKeySignatureRows(*s, -1, 4);  // one flat: the B rows sound B flat
    s->piece.score[0].trackProgram = 25;
    test::appendSlot(*s, 0, 0, 21, 8);   // O4C4, MIDI 60
    test::appendSlot(*s, 0, 1, 27, 8);   // B flat, MIDI 70
    test::appendSlot(*s, 3, 2, 22, 22);  // a quarter rest on track 4 ...
    test::appendSlot(*s, 3, 2, 23, 6);   // ... then O4E8, MIDI 64
    test::appendSlot(*s, 5, 9, 21, 8);   // beyond track 6's last measure: not compiled
    const EditorState before = *s;

    test::TempDir dir;
    const auto file = dir.path() / "piece.mid";
    ASSERT_EQ(writeFileAtomically(file, exportMidi(s->piece, s->tables)), "");
    const test::MidiListing listing = test::readWithMidicsv(file);
    ASSERT_TRUE(listing.ok) << listing.diagnostics;

    const auto header = listing.ofType("Header");
    ASSERT_EQ(header.size(), 1u);
    EXPECT_EQ(header[0].fields, (std::vector<std::string>{"1", "2", "32"}));
    const auto programs = listing.ofType("Program_c");
    ASSERT_EQ(programs.size(), 2u);
    EXPECT_EQ(programs[0].fields, (std::vector<std::string>{"0", "25"}));
    EXPECT_EQ(programs[1].fields, (std::vector<std::string>{"3", "105"}));
    // In 4/4 every measure before a track's last one lasts a bar.
    const auto notes = listing.ofType("Note_on_c");
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_EQ(notes[0].fields[1], "60");
    EXPECT_EQ(notes[1].fields[1], "70");
    EXPECT_EQ(notes[1].time, 128);
    EXPECT_EQ(notes[2].track, 2);
    EXPECT_EQ(notes[2].fields[0], "3");
    EXPECT_EQ(notes[2].time, 2 * 128 + 32);  // in measure 3, after the rest
    EXPECT_EQ(exportMml(s->piece, s->tables), "O4C4 r2. O4B-4 \nr1 r1 r4 O4E8 \n");
    EXPECT_TRUE(s->piece.score == before.piece.score);
    EXPECT_EQ(s->trackBuffer[0][0], 0);  // exporting compiles nothing into the TrackBuffers
}

TEST(ExportTest, TheTempoOpensTheFirstTrackAndEveryLineOfMml) {
    auto s = test::newState();
    test::appendSlot(*s, 1, 0, 21, 8);
    test::appendSlot(*s, 4, 0, 23, 8);
    s->piece.tempo = 90;
    test::TempDir dir;
    const auto file = dir.path() / "piece.mid";
    ASSERT_EQ(writeFileAtomically(file, exportMidi(s->piece, s->tables)), "");
    const test::MidiListing listing = test::readWithMidicsv(file);
    ASSERT_TRUE(listing.ok) << listing.diagnostics;
    const auto tempo = listing.ofType("Tempo");
    ASSERT_EQ(tempo.size(), 1u);
    EXPECT_EQ(tempo[0].track, 1);
    EXPECT_EQ(tempo[0].time, 0);
    EXPECT_EQ(tempo[0].fields, (std::vector<std::string>{"666667"}));
    EXPECT_EQ(exportMml(s->piece, s->tables), "T90 O4C4 \nT90 O4E4 \n");
}

TEST(ExportTest, AnEmptyPieceIsAHeaderWithoutTracks) {
    auto s = test::newState();
    const std::vector<std::uint8_t> file = exportMidi(s->piece, s->tables);
    EXPECT_EQ(file,
              (std::vector<std::uint8_t>{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 0, 0, 0x20}));
    EXPECT_EQ(exportMml(s->piece, s->tables), "");
}

}  // namespace
}  // namespace tsuzuri
