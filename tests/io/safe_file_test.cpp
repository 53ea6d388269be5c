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
