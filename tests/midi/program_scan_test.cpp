#include <gtest/gtest.h>

#include <random>

#include "midi/midi_file.h"
#include "midi/program_scan.h"
#include "midi/track_compiler.h"
#include "support/score_builder.h"

namespace tsuzuri {
namespace {

using Bytes = std::vector<std::uint8_t>;

FilePrograms scan(const Bytes& bytes) {
    return scanPrograms(bytes.data(), bytes.size());
}

Bytes withTrack(Bytes file, const Bytes& events) {
    Bytes chunk = {'M', 'T', 'r', 'k', 0, 0, 0, static_cast<std::uint8_t>(events.size())};
    chunk.insert(chunk.end(), events.begin(), events.end());
    file.insert(file.end(), chunk.begin(), chunk.end());
    return file;
}

TEST(ProgramScan, FindsTheProgramOfEveryCompiledTrack) {
    auto s = test::newState();
    s->piece.score[0].trackProgram = 105;
    s->piece.score[3].trackProgram = 74;
    s->piece.score[9].trackProgram = 24;
    TrackSelection ticked{};
    for (int t : {0, 3, 9}) {
        test::appendSlot(*s, t, 0, 21, 8);
        storeTrackBuffer(*s, t, compileTrack(s->piece, s->tables, t).chunk);
        ticked[static_cast<std::size_t>(t)] = true;
    }
    const FilePrograms found = scan(allTracksFile(*s, ticked));
    ASSERT_TRUE(found.valid);
    for (int c = 0; c < kMidiChannels; ++c) {
        const int expected = c == 0 ? 105 : c == 3 ? 74 : c == 9 ? 24 : -1;
        EXPECT_EQ(found.program[c], expected) << "channel " << c;
    }
}

TEST(ProgramScan, FirstProgramCountsAndNotesWithoutOneMeanProgramZero) {
    const Bytes events = {0x00, 0xFF, 0x03, 0x02, 'h',  'i',  // meta: track name
                          0x00, 0xF0, 0x02, 0x7E, 0xF7,       // system exclusive
                          0x00, 0xC1, 0x19,                   // channel 1: program 25
                          0x00, 0x45,                         // running status: program 69 later on
                          0x00, 0x92, 0x3C, 0x40,             // channel 2 sounds, no program
                          0x00, 0x3E, 0x40,                   // running status note-on
                          0x00, 0x94, 0x3C, 0x00,  // channel 4: note-on of velocity 0 only
                          0x00, 0xFF, 0x2F, 0x00};
    const FilePrograms found = scan(withTrack(fileHeader(1), events));
    ASSERT_TRUE(found.valid);
    EXPECT_EQ(found.program[1], 25);
    EXPECT_EQ(found.program[2], 0);
    EXPECT_EQ(found.program[4], -1);
    EXPECT_EQ(found.program[0], -1);
}

TEST(ProgramScan, NotAMidiFileIsInvalidAndTruncatedDataEndsTheScan) {
    EXPECT_FALSE(scan({}).valid);
    EXPECT_FALSE(scan(Bytes(28, 0)).valid);
    EXPECT_FALSE(scan({'M', 'T', 'h', 'd', 0, 0, 0, 2, 0, 0, 0, 0, 0, 0}).valid);
    EXPECT_TRUE(scan(fileHeader(0)).valid);
    // The chunk claims more bytes than there are: what is there is still read.
    Bytes file = withTrack(fileHeader(1), {0x00, 0xC5, 0x4A, 0x00, 0x95});
    file[21] = 0x7F;
    const FilePrograms found = scan(file);
    EXPECT_TRUE(found.valid);
    EXPECT_EQ(found.program[5], 74);
}

TEST(ProgramScan, RandomDamageNeverReadsOutsideTheFile) {
    auto s = test::newState();
    for (int m = 0; m < 4; ++m)
        test::appendSlot(*s, 0, m, 20 + m, 4 + m);
    Bytes original = fileHeader(1);
    const Bytes chunk = compileTrack(s->piece, s->tables, 0).chunk;
    original.insert(original.end(), chunk.begin(), chunk.end());
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        Bytes damaged = original;
        const int changes = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < changes; ++i)
            damaged[random() % damaged.size()] = static_cast<std::uint8_t>(random());
        damaged.resize(random() % (damaged.size() + 1));
        // Exactly sized heap copy, so that the sanitizer sees any overread.
        const auto copy = std::make_unique<std::uint8_t[]>(damaged.size());
        std::copy(damaged.begin(), damaged.end(), copy.get());
        const FilePrograms found = scanPrograms(copy.get(), damaged.size());
        for (int c = 0; c < kMidiChannels; ++c)
            EXPECT_LE(found.program[c], 127);
    }
}

}  // namespace
}  // namespace tsuzuri
