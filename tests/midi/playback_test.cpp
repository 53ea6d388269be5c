#include <gtest/gtest.h>

#include <algorithm>

#include "midi/playback.h"
#include "midi/track_compiler.h"
#include "support/midi_reader.h"
#include "support/recording_sequencer.h"
#include "support/score_builder.h"
#include "support/temp_dir.h"

namespace tsuzuri {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::appendSlot;
using test::readBytes;

TrackSelection ticked(std::initializer_list<int> tracks) {
    TrackSelection selection{};
    for (int t : tracks)
        selection[static_cast<std::size_t>(t)] = true;
    return selection;
}

TEST(Sequencer, CommandStringsQuoteTheWholePath) {
    EXPECT_EQ(releaseCommand("/home/a b/trk.mid"), "close \"/home/a b/trk.mid\"");
    EXPECT_EQ(playCommand("/home/a b/trk.mid"), "play \"/home/a b/trk.mid\"");
}

TEST(Sequencer, ParsesOnlyWellFormedCommands) {
    auto play = parseCommand("play \"/x y/c.mid\"");
    ASSERT_TRUE(play);
    EXPECT_EQ(play->verb, SequencerCommand::Verb::Play);
    EXPECT_EQ(play->path, "/x y/c.mid");
    auto close = parseCommand("close \"/trk.mid\"");
    ASSERT_TRUE(close);
    EXPECT_EQ(close->verb, SequencerCommand::Verb::Close);
    for (const char* bad : {"", "play", "play /x.mid", "play \"/x.mid", "stop \"/x.mid\"",
                            "play  \"/x.mid\"", "PLAY \"/x.mid\"", "play \"\"", "play \"a\"b\""}) {
        EXPECT_FALSE(parseCommand(bad)) << bad;
    }
}

TEST(OneTrackPlayback, EmptyTrackWrites29BytesAndPlaysAfterRelease) {
    test::TempDir dir("tsuzuri playback");
    auto s = test::newState();
    test::RecordingSequencer sequencer;
    const TrackPlayback result = playCurrentTrack(*s, sequencer, dir.path());
    const std::string path = (dir.path() / "trk.mid").string();
    EXPECT_EQ(result.error, "");
    EXPECT_EQ(result.mml, "");
    EXPECT_EQ(readBytes(dir.path() / "trk.mid"),
              (Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6,    0,    1,    0,    1,    0,    0x20, 'M',
                     'T', 'r', 'k', 0,   0, 0, 7, 0x00, 0xC0, 0x69, 0x20, 0xFF, 0x2F, 0x00}));
    EXPECT_EQ(sequencer.commands,
              (std::vector<std::string>{"close \"" + path + "\"", "play \"" + path + "\""}));
    EXPECT_EQ(s->trackChunkSize[0], 15);
    EXPECT_EQ(s->trackBuffer[0][0], 'M');
    const test::MidiListing listing = test::readWithMidicsv(dir.path() / "trk.mid");
    ASSERT_TRUE(listing.ok) << listing.diagnostics;
    ASSERT_EQ(listing.ofType("Program_c").size(), 1u);
    EXPECT_EQ(listing.ofType("Program_c")[0].fields, (std::vector<std::string>{"0", "105"}));
    ASSERT_EQ(listing.ofType("End_track").size(), 1u);
    EXPECT_EQ(listing.ofType("End_track")[0].time, 32);
}

TEST(OneTrackPlayback, TheFileIsReadBackByAnIndependentReader) {
    test::TempDir dir;
    auto s = test::newState();
    s->view.curTrack = 4;
    s->piece.score[4].trackProgram = 74;
    appendSlot(*s, 4, 0, 21, -22);  // r4
    appendSlot(*s, 4, 0, 21, 8);    // O4C4 at tick 32
    appendSlot(*s, 4, 1, 23, 12);   // O4E1 at tick 128, after a half rest completes the bar
    test::RecordingSequencer sequencer;
    const TrackPlayback result = playCurrentTrack(*s, sequencer, dir.path());
    EXPECT_EQ(result.mml, "r4 O4C4 r2 O4E1 ");
    const test::MidiListing listing = test::readWithMidicsv(dir.path() / "trk.mid");
    ASSERT_TRUE(listing.ok) << listing.diagnostics;
    const auto header = listing.ofType("Header");
    ASSERT_EQ(header.size(), 1u);
    EXPECT_EQ(header[0].fields, (std::vector<std::string>{"1", "1", "32"}));
    const auto program = listing.ofType("Program_c");
    ASSERT_EQ(program.size(), 1u);
    EXPECT_EQ(program[0].fields, (std::vector<std::string>{"4", "74"}));
    const auto on = listing.ofType("Note_on_c");
    const auto off = listing.ofType("Note_off_c");
    ASSERT_EQ(on.size(), 2u);
    ASSERT_EQ(off.size(), 2u);
    EXPECT_EQ(on[0].time, 32);
    EXPECT_EQ(on[0].fields, (std::vector<std::string>{"4", "60", "64"}));
    EXPECT_EQ(off[0].time, 64);
    EXPECT_EQ(on[1].time, 128);
    EXPECT_EQ(on[1].fields, (std::vector<std::string>{"4", "64", "64"}));
    EXPECT_EQ(off[1].time, 256);
    const auto end = listing.ofType("End_track");
    ASSERT_EQ(end.size(), 1u);
    EXPECT_EQ(end[0].time, 288);
}

TEST(OneTrackPlayback, ALongerEarlierFileLeavesNoTail) {
    test::TempDir dir;
    test::writeBytes(dir.path() / "trk.mid", Bytes(5000, 0xEE));
    auto s = test::newState();
    test::RecordingSequencer sequencer;
    playCurrentTrack(*s, sequencer, dir.path());
    EXPECT_EQ(readBytes(dir.path() / "trk.mid").size(), 29u);
    EXPECT_TRUE(test::readWithMidicsv(dir.path() / "trk.mid").ok);
}

TEST(OneTrackPlayback, AnUnwritableDirectoryIsReportedAndNothingPlays) {
    test::TempDir dir;
    test::writeBytes(dir.path() / "not a directory", Bytes{1});
    auto s = test::newState();
    appendSlot(*s, 0, 0, 21, 8);
    const std::int32_t before = s->trackChunkSize[0];
    test::RecordingSequencer sequencer;
    const TrackPlayback result =
        playCurrentTrack(*s, sequencer, dir.path() / "not a directory");
    EXPECT_NE(result.error, "");
    EXPECT_EQ(result.mml, "O4C4 ");
    ASSERT_EQ(sequencer.commands.size(), 1u);
    EXPECT_EQ(sequencer.commands[0].rfind("close ", 0), 0u);
    EXPECT_EQ(s->trackChunkSize[0], before);
    EXPECT_EQ(s->trackBuffer[0][0], 0);
    EXPECT_EQ(s->piece.score[0].measures[0].noteCount, 1);
}

TEST(AllTracksPlayback, TickedCompiledTracksInOrder) {
    test::TempDir dir;
    auto s = test::newState();
    test::RecordingSequencer sequencer;
    for (int t : {0, 1, 2}) {
        s->view.curTrack = static_cast<std::int16_t>(t);
        appendSlot(*s, t, 0, 21 + t, 8);
        playCurrentTrack(*s, sequencer, dir.path());
    }
    appendSlot(*s, 0, 1, 30, 8);  // an edit after compiling is not heard
    sequencer.commands.clear();
    EXPECT_EQ(playAllTracks(*s, ticked({0, 2, 5}), sequencer, dir.path()), "");
    const Bytes file = readBytes(dir.path() / "trk.mid");
    Bytes expected = fileHeader(2);
    expected[11] = 2;
    for (int t : {0, 2}) {
        const auto* chunk = s->trackBuffer[t].data();
        expected.insert(expected.end(), chunk, chunk + s->trackChunkSize[t]);
    }
    EXPECT_EQ(file, expected);
    EXPECT_EQ(file[11], 2);
    const std::string path = (dir.path() / "trk.mid").string();
    EXPECT_EQ(sequencer.commands,
              (std::vector<std::string>{"close \"" + path + "\"", "play \"" + path + "\""}));

    const test::MidiListing listing = test::readWithMidicsv(dir.path() / "trk.mid");
    ASSERT_TRUE(listing.ok) << listing.diagnostics;
    const auto on = listing.ofType("Note_on_c");
    ASSERT_EQ(on.size(), 2u);
    EXPECT_EQ(on[0].fields, (std::vector<std::string>{"0", "60", "64"}));
    EXPECT_EQ(on[1].fields, (std::vector<std::string>{"2", "64", "64"}));
}

TEST(AllTracksPlayback, NothingCompiledWritesTheHeaderAlone) {
    test::TempDir dir;
    auto s = test::newState();
    test::RecordingSequencer sequencer;
    playAllTracks(*s, ticked({0, 1, 2}), sequencer, dir.path());
    EXPECT_EQ(readBytes(dir.path() / "trk.mid"), fileHeader(0));
    EXPECT_EQ(fileHeader(0)[11], 0);
    const test::MidiListing listing = test::readWithMidicsv(dir.path() / "trk.mid");
    ASSERT_TRUE(listing.ok) << listing.diagnostics;
    ASSERT_EQ(listing.ofType("Header").size(), 1u);
    EXPECT_EQ(listing.ofType("Header")[0].fields, (std::vector<std::string>{"1", "0", "32"}));
    EXPECT_EQ(sequencer.commands.size(), 2u);
}

TEST(AllTracksPlayback, TrackTwentyIsNeverIncluded) {
    auto s = test::newState();
    storeTrackBuffer(*s, 20, compileTrack(s->piece, s->tables, 20).chunk);
    TrackSelection all{};
    all.fill(true);
    EXPECT_EQ(allTracksFile(*s, all), fileHeader(0));
}

// At a tempo other than 120 the first chunk of every file opens with the Set
// Tempo event; the TrackBuffers keep the chunks as compiled.
TEST(TempoInFiles, TheFirstChunkOpensWithTheTempoEvent) {
    test::TempDir dir;
    auto s = test::newState();
    test::RecordingSequencer sequencer;
    appendSlot(*s, 0, 0, 21, 8);
    s->piece.tempo = 90;
    const TrackPlayback result = playCurrentTrack(*s, sequencer, dir.path());
    EXPECT_EQ(result.mml, "T90 O4C4 ");
    EXPECT_EQ(readBytes(dir.path() / "trk.mid"),
              (Bytes{'M',  'T',  'h',  'd',  0,    0,    0,    6,    0,    1,    0,
                     1,    0,    0x20, 'M',  'T',  'r',  'k',  0,    0,    0,    0x16,
                     0x00, 0xFF, 0x51, 0x03, 0x0A, 0x2C, 0x2B, 0x00, 0xC0, 0x69, 0x00,
                     0x90, 0x3C, 0x40, 0x20, 0x80, 0x3C, 0x40, 0x20, 0xFF, 0x2F, 0x00}));
    EXPECT_EQ(s->trackChunkSize[0], 23);
    const Bytes chunk(s->trackBuffer[0].data(), s->trackBuffer[0].data() + 23);
    EXPECT_EQ(chunk, compileTrack(s->piece, s->tables, 0).chunk);

    s->view.curTrack = 1;
    appendSlot(*s, 1, 0, 23, 8);
    playCurrentTrack(*s, sequencer, dir.path());
    s->piece.tempo = 200;
    playAllTracks(*s, ticked({0, 1}), sequencer, dir.path());
    const test::MidiListing listing = test::readWithMidicsv(dir.path() / "trk.mid");
    ASSERT_TRUE(listing.ok) << listing.diagnostics;
    const auto tempo = listing.ofType("Tempo");
    ASSERT_EQ(tempo.size(), 1u);
    EXPECT_EQ(tempo[0].track, 1);
    EXPECT_EQ(tempo[0].fields, (std::vector<std::string>{"300000"}));
    EXPECT_EQ(listing.ofType("Note_on_c").size(), 2u);

    const Bytes with = allTracksFile(*s, ticked({0, 1}));
    s->piece.tempo = kStandardTempo;
    const Bytes plain = allTracksFile(*s, ticked({0, 1}));
    EXPECT_EQ(with.size(), plain.size() + 7);
    s->piece.tempo = 90;
    EXPECT_EQ(allTracksFile(*s, ticked({})), fileHeader(0));
}

TEST(DataDirectory, FallsBackWhenTheProgramDirectoryIsNotWritable) {
    test::TempDir dir;
    test::writeBytes(dir.path() / "file", Bytes{1});
    EXPECT_EQ(chooseDataDirectory(dir.path(), dir.path() / "user"), dir.path() / "user")
        << "no preview template beside the program: an installed copy";
    test::writeBytes(dir.path() / "c.mid", Bytes{1});
    EXPECT_EQ(chooseDataDirectory(dir.path(), dir.path() / "user"), dir.path());
    const auto fallback = dir.path() / "user" / "data";
    EXPECT_EQ(chooseDataDirectory(dir.path() / "file", fallback), fallback);
    EXPECT_TRUE(std::filesystem::is_directory(fallback));
    EXPECT_TRUE(std::filesystem::is_empty(fallback));
}

}  // namespace
}  // namespace tsuzuri
