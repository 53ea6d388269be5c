// Random editing on a failing disk: the window's data folder is a small tmpfs
// in a private mount namespace that turns read-only, fills up and has c.mid
// and trk.mid damaged at random moments. The program must never abort or
// block, every file it hands to the player must be whole, and the score must
// stay within its tables.
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QLabel>
#include <cstdio>

#include "io/safe_file.h"
#include "midi/preview.h"
#include "midi/track_compiler.h"
#include "score/random_events.h"
#include "score/score_ops.h"

namespace tsuzuri {
namespace {

namespace fs = std::filesystem;

constexpr int kEvents = 12000;
constexpr int kEventsBetweenFaults = 60;

class FaultSoakTest : public test::RandomEvents {
protected:
    fs::path data() { return dir.path(); }

    void fillDisk() {
        const int fd = ::open((data() / "filler").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (fd < 0)
            return;
        const std::vector<char> block(4096, 'f');
        while (::write(fd, block.data(), block.size()) > 0) {
        }
        ::close(fd);
    }

    void damage(const fs::path& file) {
        std::error_code ignored;
        fs::remove_all(file, ignored);
        if (fs::exists(fs::symlink_status(file)))
            return;  // a read-only disk keeps what is there
        switch (uniform(0, 4)) {
            case 0:
                fs::create_directory(file, ignored);
                break;
            case 1:
                ::mkfifo(file.c_str(), 0600);
                break;
            case 2:
                test::writeBytes(file, std::vector<std::uint8_t>(uniform(0, 60), 0xAA));
                break;
            case 3: {
                std::vector<std::uint8_t> head(kPreviewTemplate.begin(), kPreviewTemplate.end());
                test::writeBytes(file, head);
                fs::resize_file(file, 100u << 20, ignored);  // sparse: costs no space
                break;
            }
            default:
                break;  // missing
        }
    }

    void injectFault(std::string& what) {
        const int fault = uniform(0, 5);
        std::error_code ignored;
        switch (fault) {
            case 0:
                ::mount(nullptr, data().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr);
                what = "read-only";
                break;
            case 1:
                ::mount(nullptr, data().c_str(), nullptr, MS_REMOUNT, nullptr);
                fs::remove(data() / "filler", ignored);
                what = "writable";
                break;
            case 2:
                fillDisk();
                what = "full";
                break;
            case 3:
                damage(data() / "c.mid");
                what = "c.mid damaged";
                break;
            case 4:
                damage(data() / "trk.mid");
                what = "trk.mid damaged";
                break;
            default:
                fs::remove(data() / "filler", ignored);
                what = "space freed";
                break;
        }
    }

    // What is wrong with the files the player was asked to play since `from`.
    std::string playedFault(std::size_t from) {
        for (std::size_t i = from; i < sequencer.commands.size(); ++i) {
            const auto command = parseCommand(sequencer.commands[i]);
            if (!command)
                return "bad command " + sequencer.commands[i];
            if (command->verb != SequencerCommand::Verb::Play)
                continue;
            const ReadResult file = readRegularFile(command->path, 1 << 20);
            if (!file.ok())
                return "played " + command->path + ": " + readFaultText(command->path, file);
            const bool preview = fs::path(command->path).filename() == kPreviewFileName;
            if (preview ? !isPreviewFile(file.bytes)
                        : file.bytes.size() < 14 || file.bytes[0] != 'M' || file.bytes[1] != 'T')
                return "played a damaged " + command->path;
        }
        return {};
    }

    std::string scoreFault() {
        const EditorState& s = state();
        if (s.view.curTrack < 0 || s.view.curTrack >= kStoredTracks)
            return "curTrack " + std::to_string(s.view.curTrack);
        for (int m = 0; m < kMeasureCount; ++m) {
            const int n = s.piece.score[s.view.curTrack].measures[m].noteCount;
            if (n < 0 || n > kMaxNotesPerMeasure)
                return "noteCount " + std::to_string(n);
        }
        const auto chunk = compileTrack(s.piece, s.tables, s.view.curTrack).chunk;
        if (chunk.size() < 12 || chunk[0] != 'M' || chunk[chunk.size() - 2] != 0x2F)
            return "a compiled chunk without its end";
        return {};
    }

    // Runs the whole soak; returns the first fault found, or "".
    std::string soak() {
        std::string fault = "no fault injected";
        int plays = 0, failuresShown = 0;
        for (int i = 0; i < kEvents; ++i) {
            if (i % kEventsBetweenFaults == 0)
                injectFault(fault);
            const std::size_t before = sequencer.commands.size();
            std::ostringstream what;
            randomEvent(what);
            std::string problem = playedFault(before);
            if (problem.empty())
                problem = scoreFault();
            if (!problem.empty())
                return "event " + std::to_string(i) + " (" + what.str() + ", disk " + fault +
                       "): " + problem;
            for (std::size_t c = before; c < sequencer.commands.size(); ++c)
                plays += sequencer.commands[c].rfind("play", 0) == 0 ? 1 : 0;
            failuresShown += form->Notice->toolTip().contains(QStringLiteral("書けません")) ? 1 : 0;
        }
        // The run must have played often and met the faults.
        if (plays < 100 || failuresShown == 0)
            return std::to_string(plays) + " files played, " + std::to_string(failuresShown) +
                   " events with a failure shown";
        return {};
    }
};

TEST_F(FaultSoakTest, RandomEditingOnAFailingDiskNeverAbortsNorPlaysADamagedFile) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            if (::unshare(CLONE_NEWNS) != 0 ||
                ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                ::mount("tmpfs", data().c_str(), "tmpfs", 0, "size=256k") != 0)
                std::_Exit(77);
            const std::string problem = soak();
            std::fprintf(stderr, "%s\n", problem.c_str());
            std::_Exit(problem.empty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace tsuzuri
