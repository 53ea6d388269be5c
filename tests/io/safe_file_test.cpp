// The file layer under hostile conditions: links planted on every name it
// could write through, FIFOs and folders where files should be, a full and a
// read-only disk (a small tmpfs in a private mount namespace).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "io/safe_file.h"
#include "support/temp_dir.h"

namespace tsuzuri {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::writeBytes;

const std::vector<std::uint8_t> kVictim = {'k', 'e', 'e', 'p', ' ', 'm', 'e'};

std::vector<std::string> namesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(SafeFileTest, LinksAtTheTargetAndBesideItAreReplacedNeverWrittenThrough) {
    test::TempDir dir, elsewhere;
    const fs::path victim = elsewhere.path() / "victim";
    const fs::path linkTarget = elsewhere.path() / "linked";
    writeBytes(victim, kVictim);
    writeBytes(linkTarget, kVictim);
    const fs::path target = dir.path() / "trk.mid";
    // Names a fixed-name writer would use for its temporary file.
    for (const char* name : {"trk.mid.part", ".trk.mid.part", ".trk.mid.tmp", "trk.mid~"})
        fs::create_symlink(victim, dir.path() / name);
    fs::create_symlink(linkTarget, target);

    const std::vector<std::uint8_t> bytes(1000, 0x4D);
    EXPECT_EQ(writeFileAtomically(target, bytes), "");
    EXPECT_EQ(readBytes(victim), kVictim);
    EXPECT_EQ(readBytes(linkTarget), kVictim);
    EXPECT_FALSE(fs::is_symlink(target));
    EXPECT_EQ(readBytes(target), bytes);
    EXPECT_EQ(namesIn(dir.path()).size(), 5u) << "a temporary file was left behind";
}

TEST(SafeFileTest, TheWritabilityProbeLeavesPlantedLinksAndTheirTargetsAlone) {
    test::TempDir dir, elsewhere;
    const fs::path victim = elsewhere.path() / "victim";
    writeBytes(victim, kVictim);
    for (const char* name : {".tsuzuri-write-probe", ".tsuzuri-probe", ".tsuzuri-probe.XXXXXX"})
        fs::create_symlink(victim, dir.path() / name);
    EXPECT_TRUE(canCreateFilesIn(dir.path()));
    EXPECT_EQ(readBytes(victim), kVictim);
    EXPECT_EQ(namesIn(dir.path()).size(), 3u);
    EXPECT_FALSE(canCreateFilesIn(dir.path() / "missing"));
}

TEST(SafeFileTest, ReadersRefuseWhatIsNoRegularFileWithoutBlocking) {
    test::TempDir dir;
    const fs::path fifo = dir.path() / "c.mid";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(readRegularFile(fifo, 1000).fault, ReadFault::NotRegular);
    EXPECT_EQ(readFileHead(fifo, 28, 1000).fault, ReadFault::NotRegular);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));

    EXPECT_EQ(readRegularFile(dir.path(), 1000).fault, ReadFault::NotRegular);
    EXPECT_EQ(readRegularFile("/dev/zero", 1000).fault, ReadFault::NotRegular);
    const ReadResult missing = readRegularFile(dir.path() / "none", 1000);
    EXPECT_EQ(missing.fault, ReadFault::Missing);
    EXPECT_NE(readFaultText(dir.path() / "none", missing).find((dir.path() / "none").string()),
              std::string::npos);
}

TEST(SafeFileTest, ReadersTakeOnlyWhatTheyNeedAndRefuseOversizedFiles) {
    test::TempDir dir;
    const fs::path file = dir.path() / "big";
    std::vector<std::uint8_t> bytes(5000);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7);
    writeBytes(file, bytes);

    const ReadResult head = readFileHead(file, 28, 10000);
    ASSERT_TRUE(head.ok());
    EXPECT_EQ(head.bytes, std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 28));
    EXPECT_EQ(readRegularFile(file, 10000).bytes, bytes);
    EXPECT_EQ(readRegularFile(file, 4999).fault, ReadFault::TooLarge);
    EXPECT_EQ(readFileHead(file, 28, 4999).fault, ReadFault::TooLarge);

    const fs::path link = dir.path() / "link";
    fs::create_symlink(file, link);
    EXPECT_EQ(readRegularFile(link, 10000, Links::Refuse).fault, ReadFault::NotRegular);
    EXPECT_EQ(readRegularFile(link, 10000, Links::Follow).bytes, bytes);
}

// A file its owner made read-only is refused by its permission bits, also
// for the superuser (as the tests run in CI), and before a streaming writer
// writes anything; a replaced file keeps its bits, owner and group.
TEST(SafeFileTest, ReadOnlyFilesStayAndReplacedFilesKeepTheirPermissions) {
    test::TempDir dir;
    const fs::path locked = dir.path() / "locked.tsz";
    writeBytes(locked, kVictim);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const std::string refusal = writeFileAtomically(locked, {1, 2, 3}, Durability::Sync);
    EXPECT_NE(refusal.find(locked.string()), std::string::npos) << refusal;
    EXPECT_NE(refusal.find("名前を付けて保存"), std::string::npos) << refusal;
    AtomicFileWriter stream(locked);
    EXPECT_FALSE(stream.write(kVictim.data(), kVictim.size()));
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"locked.tsz"});
    EXPECT_NE(stream.commit(Durability::Cache), "");
    EXPECT_EQ(readBytes(locked), kVictim);
    EXPECT_EQ(fs::status(locked).permissions(), fs::perms(0444));

    const fs::path shared = dir.path() / "shared.tsz";
    writeBytes(shared, kVictim);
    ASSERT_EQ(::chmod(shared.c_str(), 0640), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(shared.c_str(), 1234, 5678), 0);
    }
    for (int pass = 0; pass < 2; ++pass) {
        ASSERT_EQ(writeFileAtomically(shared, {1, 2, 3}, Durability::Sync), "");
        struct stat info {};
        ASSERT_EQ(::stat(shared.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0640u);
        if (root) {
            EXPECT_EQ(info.st_uid, 1234u);
            EXPECT_EQ(info.st_gid, 5678u);
        }
    }
    EXPECT_EQ(readBytes(shared), (std::vector<std::uint8_t>{1, 2, 3}));
}

// The temporary name does not grow with the target's: a name of the most
// bytes a folder takes saves, and saves again.
TEST(SafeFileTest, TheLongestNameSavesAgainAndAgain) {
    test::TempDir dir;
    const std::string name = std::string(251, 'n') + ".tsz";
    ASSERT_EQ(name.size(), 255u);
    for (std::uint8_t pass = 0; pass < 3; ++pass) {
        const std::vector<std::uint8_t> bytes(100, pass);
        ASSERT_EQ(writeFileAtomically(dir.path() / name, bytes, Durability::Sync), "");
        EXPECT_EQ(readBytes(dir.path() / name), bytes);
    }
    AtomicFileWriter stream(dir.path() / name);
    EXPECT_TRUE(stream.write(kVictim.data(), kVictim.size()));
    EXPECT_EQ(stream.commit(Durability::Cache), "");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{name});
}

// What a crash leaves of a save goes once a day old: only regular files named
// as the layer names its temporary files, never a link, a folder or a file of
// the user's.
TEST(SafeFileTest, StaleTemporaryFilesGoAndNothingElse) {
    test::TempDir dir, elsewhere;
    const fs::path victim = elsewhere.path() / "victim";
    writeBytes(victim, kVictim);
    const auto twoDaysAgo = fs::file_time_type::clock::now() - std::chrono::hours(48);
    auto plant = [&](const std::string& name, bool old) {
        writeBytes(dir.path() / name, kVictim);
        if (old)
            fs::last_write_time(dir.path() / name, twoDaysAgo);
    };
    plant(".tsuzuri-a1B2c3.tmp", true);  // left by a crash: goes
    plant(".a.tsz.Zx81Qw", true);         // as a.tsz's were once named: goes
    plant(".tsuzuri-young1.tmp", false);  // a save under way
    plant(".b.tsz.Zx81Qw", true);         // another file's, of the older naming
    plant(".tsuzuri-abc.tmp", true);      // not the pattern
    plant("notes.tmp", true);
    plant("a.tsz", true);
    fs::create_symlink(victim, dir.path() / ".tsuzuri-link01.tmp");
    fs::create_directory(dir.path() / ".tsuzuri-fold01.tmp");
    fs::last_write_time(dir.path() / ".tsuzuri-fold01.tmp", twoDaysAgo);

    EXPECT_EQ(removeStaleTemporaries(dir.path(), std::chrono::hours(24), "a.tsz"), 2u);
    EXPECT_EQ(namesIn(dir.path()),
              (std::vector<std::string>{".b.tsz.Zx81Qw", ".tsuzuri-abc.tmp", ".tsuzuri-fold01.tmp",
                                        ".tsuzuri-link01.tmp", ".tsuzuri-young1.tmp", "a.tsz",
                                        "notes.tmp"}));
    EXPECT_EQ(readBytes(victim), kVictim);
    EXPECT_EQ(removeStaleTemporaries(dir.path() / "missing", std::chrono::hours(24)), 0u);
}

// Runs `body` in a child with a private mount namespace and a small tmpfs
// mounted on `dir`; the child's exit code tells the result.
template <typename Body>
void onSmallDisk(const fs::path& dir, unsigned long flags, Body body) {
    if (::unshare(CLONE_NEWNS) != 0 || ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr))
        std::_Exit(77);
    if (::mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=64k") != 0)
        std::_Exit(77);
    writeBytes(dir / "piece", kVictim);
    if (flags != 0 && ::mount(nullptr, dir.c_str(), nullptr, MS_REMOUNT | flags, nullptr) != 0)
        std::_Exit(77);
    std::_Exit(body() ? 0 : 1);
}

bool failsKeepingTheOldFile(const fs::path& dir, const std::string& reason) {
    const std::string error =
        writeFileAtomically(dir / "piece", std::vector<std::uint8_t>(1 << 20), Durability::Sync);
    const bool kept = readBytes(dir / "piece") == kVictim && namesIn(dir).size() == 1;
    std::fprintf(stderr, "%s\n", error.c_str());
    return error.find(reason) != std::string::npos && error.find("piece") != std::string::npos &&
           kept;
}

TEST(SafeFileDeathTest, AFullDiskKeepsTheOldFileAndSaysWhy) {
    test::TempDir dir;
    EXPECT_EXIT(
        onSmallDisk(dir.path(), 0, [&] { return failsKeepingTheOldFile(dir.path(), "いっぱい"); }),
        ::testing::ExitedWithCode(0), "");
}

TEST(SafeFileDeathTest, AReadOnlyDiskKeepsTheOldFileAndSaysWhy) {
    test::TempDir dir;
    EXPECT_EXIT(onSmallDisk(dir.path(), MS_RDONLY,
                            [&] { return failsKeepingTheOldFile(dir.path(), "読み取り専用"); }),
                ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace tsuzuri
