// Two windows in one folder play at once: each writes trk.mid in a loop while
// a reader, as the sequencer would, reads it again and again. Every read must
// be one of the two files, whole.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "io/safe_file.h"
#include "midi/playback.h"
#include "midi/track_compiler.h"
#include "support/recording_sequencer.h"
#include "support/score_builder.h"
#include "support/temp_dir.h"

namespace tsuzuri {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A piece of `notes` quarter notes, so that the two windows' files differ in
// length as well as in content.
std::unique_ptr<EditorState> pieceOf(int notes) {
    auto s = test::newState();
    s->piece.score[0].lastMeasure = 100;
    for (int i = 0; i < notes; ++i)
        test::appendSlot(*s, 0, i / 4, 20 + i % 12, 8);
    return s;
}

Bytes playbackFile(EditorState& s) {
    Bytes file = fileHeader(1);
    const Bytes chunk = compileTrack(s.piece, s.tables, 0).chunk;
    file.insert(file.end(), chunk.begin(), chunk.end());
    return file;
}

// Presses trk♪ as fast as it can until `until`; exits 0 when every write worked.
[[noreturn]] void pressPlayUntil(EditorState& s, const std::filesystem::path& dir,
                                 std::chrono::steady_clock::time_point until) {
    test::RecordingSequencer sequencer;
    bool allWritten = true;
    while (std::chrono::steady_clock::now() < until) {
        allWritten =
            playCurrentTrack(s, sequencer, dir).error.empty() && allWritten;
        sequencer.commands.clear();
    }
    std::_Exit(allWritten ? 0 : 1);
}

TEST(TwoWindows, EveryReadOfTrkMidIsOneWholeFileAndBothWindowsWrite) {
    test::TempDir dir;
    auto a = pieceOf(3);
    auto b = pieceOf(300);
    const Bytes fileA = playbackFile(*a), fileB = playbackFile(*b);
    ASSERT_NE(fileA.size(), fileB.size());

    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    std::vector<pid_t> writers;
    for (EditorState* s : {a.get(), b.get()}) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0)
            pressPlayUntil(*s, dir.path(), until);
        writers.push_back(pid);
    }
    int reads = 0, sawA = 0, sawB = 0, missing = 0;
    std::string firstBad;
    while (std::chrono::steady_clock::now() < until) {
        const ReadResult read = readRegularFile(dir.path() / "trk.mid", 1 << 20);
        if (read.fault == ReadFault::Missing) {
            ++missing;  // before the first write
            continue;
        }
        ++reads;
        sawA += read.bytes == fileA ? 1 : 0;
        sawB += read.bytes == fileB ? 1 : 0;
        if (firstBad.empty() && read.bytes != fileA && read.bytes != fileB)
            firstBad = "read " + std::to_string(reads) + ": " + std::to_string(read.bytes.size()) +
                       " bytes, fault " + std::to_string(static_cast<int>(read.fault));
    }
    for (const pid_t pid : writers) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a window could not write";
    }
    EXPECT_EQ(firstBad, "") << "in " << reads << " reads";
    EXPECT_GT(reads, 200);
    EXPECT_GT(sawA, 0);
    EXPECT_GT(sawB, 0);
    std::printf("%d reads: %d of the short file, %d of the long one\n", reads, sawA, sawB);
    // No temporary file is left behind.
    int names = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path()))
        ++names;
    EXPECT_EQ(names, 1);
}

}  // namespace
}  // namespace tsuzuri
