#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <functional>

#include "midi/preview.h"
#include "support/midi_reader.h"
#include "support/recording_sequencer.h"
#include "support/score_builder.h"
#include "support/temp_dir.h"

namespace tsuzuri {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::readBytes;
using test::writeBytes;

Bytes templateWith(std::uint8_t program, std::uint8_t key) {
    Bytes bytes(kPreviewTemplate.begin(), kPreviewTemplate.end());
    bytes[24] = program;
    bytes[27] = key;
    return bytes;
}

// A sequencer that notes, for every command, what c.mid held at that moment.
class SnapshotSequencer : public Sequencer {
public:
    explicit SnapshotSequencer(std::filesystem::path file) : file_(std::move(file)) {}
    void sendCommand(const std::string& command) override {
        commands.push_back(command);
        snapshots.push_back(readBytes(file_));
    }
    std::vector<std::string> commands;
    std::vector<Bytes> snapshots;

private:
    std::filesystem::path file_;
};

TEST(PreviewTemplate, TheShippedFileIsTheBuiltInTemplate) {
    const Bytes shipped = readBytes(std::filesystem::path(TSUZURI_SOURCE_DIR) / "assets" / "c.mid");
    EXPECT_EQ(shipped, Bytes(kPreviewTemplate.begin(), kPreviewTemplate.end()));
}

TEST(PreviewTemplate, ReadBackItIsAProgramANoteAndItsEndAQuarterLater) {
    const test::MidiListing listing =
        test::readWithMidicsv(std::filesystem::path(TSUZURI_SOURCE_DIR) / "assets" / "c.mid");
    ASSERT_TRUE(listing.ok) << listing.diagnostics;
    const auto program = listing.ofType("Program_c");
    ASSERT_EQ(program.size(), 1u);
    EXPECT_EQ(program[0].time, 0);
    EXPECT_EQ(program[0].fields, (std::vector<std::string>{"0", "105"}));
    const auto on = listing.ofType("Note_on_c");
    ASSERT_EQ(on.size(), 1u);
    EXPECT_EQ(on[0].time, 0);
    EXPECT_EQ(on[0].fields[1], "60");
    const auto allOff = listing.ofType("Control_c");
    ASSERT_EQ(allOff.size(), 1u);
    EXPECT_EQ(allOff[0].time, 32);
    EXPECT_EQ(allOff[0].fields, (std::vector<std::string>{"0", "123", "0"}));
    EXPECT_EQ(listing.ofType("End_track").size(), 1u);
    EXPECT_TRUE(isPreviewFile(Bytes(kPreviewTemplate.begin(), kPreviewTemplate.end())));
}

TEST(Preview, PatchesProgramAndKeyOnlyAndPlaysAfterRelease) {
    test::TempDir dir("tsuzuri preview");
    const auto file = dir.path() / "c.mid";
    // A longer file of the right layout is kept: only bytes 24 and 27 change.
    Bytes custom = templateWith(0, 0);
    custom[26] = 0x93;
    custom.insert(custom.end(), {0xAB, 0xCD});
    writeBytes(file, custom);
    auto s = test::newState();
    s->view.curTrack = 2;
    s->piece.score[2].trackProgram = 24;
    SnapshotSequencer sequencer(file);
    previewNote(*s, sequencer, dir.path(), 60);

    Bytes expected = custom;
    expected[24] = 0x18;
    expected[27] = 0x3C;
    EXPECT_EQ(readBytes(file), expected);
    EXPECT_EQ(sequencer.commands, (std::vector<std::string>{"close \"" + file.string() + "\"",
                                                            "play \"" + file.string() + "\""}));
    // Released before it was written, played after.
    EXPECT_EQ(sequencer.snapshots[0], custom);
    EXPECT_EQ(sequencer.snapshots[1], expected);
}

TEST(Preview, TwoCallsLeaveTheSecondNoteAndProgram) {
    test::TempDir dir;
    auto s = test::newState();
    test::RecordingSequencer sequencer;
    previewNote(*s, sequencer, dir.path(), 60);
    s->piece.score[0].trackProgram = 74;
    previewNote(*s, sequencer, dir.path(), 67);
    EXPECT_EQ(readBytes(dir.path() / "c.mid"), templateWith(74, 67));
    EXPECT_EQ(sequencer.commands.size(), 4u);
    for (const std::string& command : sequencer.commands) {
        const auto parsed = parseCommand(command);
        ASSERT_TRUE(parsed);
        EXPECT_EQ(std::filesystem::path(parsed->path).filename(), "c.mid") << command;
    }
}

TEST(Preview, AMissingShortOrDamagedFileIsRewrittenFromTheTemplate) {
    const std::vector<std::pair<const char*, std::function<void(const std::filesystem::path&)>>>
        cases = {
            {"missing", [](const auto&) {}},
            {"empty", [](const auto& f) { writeBytes(f, {}); }},
            {"28 zero bytes", [](const auto& f) { writeBytes(f, Bytes(28, 0)); }},
            {"one byte short",
             [](const auto& f) {
                 Bytes b = templateWith(1, 2);
                 b.pop_back();
                 writeBytes(f, b);
             }},
            {"garbage", [](const auto& f) { writeBytes(f, Bytes(500, 0xAA)); }},
            {"no MTrk",
             [](const auto& f) {
                 Bytes b = templateWith(1, 2);
                 b[14] = 'X';
                 writeBytes(f, b);
             }},
            {"no note-on at 26",
             [](const auto& f) {
                 Bytes b = templateWith(1, 2);
                 b[26] = 0x00;
                 writeBytes(f, b);
             }},
        };
    for (const auto& [name, prepare] : cases) {
        test::TempDir dir;
        const auto file = dir.path() / "c.mid";
        prepare(file);
        auto s = test::newState();
        s->piece.score[0].trackProgram = 25;
        test::RecordingSequencer sequencer;
        previewNote(*s, sequencer, dir.path(), 72);
        EXPECT_EQ(readBytes(file), templateWith(25, 72)) << name;
        EXPECT_EQ(sequencer.commands.size(), 2u) << name;
        EXPECT_FALSE(std::filesystem::exists(dir.path() / "c.mid.part")) << name;
    }
}

// Playing a c.mid that could not be made right would sound a wrong note, or
// block the player on a FIFO: nothing is played and the caller hears why.
TEST(Preview, AnUnwritableDirectoryPlaysNothingAndSaysWhy) {
    test::TempDir dir;
    writeBytes(dir.path() / "plain file", Bytes{1});
    const auto unwritable = dir.path() / "plain file";
    auto s = test::newState();
    test::RecordingSequencer sequencer;
    const std::string error = previewNote(*s, sequencer, unwritable, 60);
    const std::string path = (unwritable / "c.mid").string();
    EXPECT_EQ(sequencer.commands, (std::vector<std::string>{"close \"" + path + "\""}));
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_NE(error.find("鳴りません"), std::string::npos) << error;
    EXPECT_EQ(readBytes(dir.path() / "plain file"), Bytes{1});
}

// What another program or user may have left under the name c.mid: nothing
// blocks, nothing is written through a link or a second name, a directory is
// refused, and a huge file with a valid head is not patched but replaced.
TEST(Preview, HostileFilesAtTheNameAreReplacedOrRefusedNeverWrittenThrough) {
    namespace fs = std::filesystem;
    const Bytes victimBytes = templateWith(7, 7);
    struct Case {
        const char* name;
        std::function<void(const fs::path& file, const fs::path& victim)> plant;
        bool plays;
    };
    const std::vector<Case> cases = {
        {"FIFO", [](const auto& f, const auto&) { ASSERT_EQ(::mkfifo(f.c_str(), 0600), 0); }, true},
        {"link to a template elsewhere",
         [](const auto& f, const auto& v) { fs::create_symlink(v, f); }, true},
        {"hard link to a template elsewhere",
         [](const auto& f, const auto& v) { fs::create_hard_link(v, f); }, true},
        {"100 MB with a valid head",
         [](const auto& f, const auto&) {
             writeBytes(f, templateWith(1, 2));
             fs::resize_file(f, 100u << 20);
         },
         true},
        {"directory", [](const auto& f, const auto&) { fs::create_directory(f); }, false},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        const fs::path file = dir.path() / "c.mid";
        const fs::path victim = dir.path() / "victim.mid";
        writeBytes(victim, victimBytes);
        c.plant(file, victim);
        auto s = test::newState();
        s->piece.score[0].trackProgram = 25;
        test::RecordingSequencer sequencer;
        const auto start = std::chrono::steady_clock::now();
        const std::string error = previewNote(*s, sequencer, dir.path(), 72);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << c.name;
        EXPECT_EQ(readBytes(victim), victimBytes) << c.name;
        if (c.plays) {
            EXPECT_EQ(error, "") << c.name;
            EXPECT_FALSE(fs::is_symlink(file)) << c.name;
            EXPECT_EQ(readBytes(file), templateWith(25, 72)) << c.name;
            EXPECT_EQ(sequencer.commands.size(), 2u) << c.name;
        } else {
            EXPECT_NE(error.find(file.string()), std::string::npos) << c.name << ": " << error;
            EXPECT_EQ(sequencer.commands.size(), 1u) << c.name;
            EXPECT_TRUE(fs::is_directory(file)) << c.name;
        }
    }
}

}  // namespace
}  // namespace tsuzuri
