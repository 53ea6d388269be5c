// Which recovery copies the start-up notice speaks of: only those that may
// hold work saved nowhere else.
#include <gtest/gtest.h>

#include <chrono>

#include "file/recovery.h"
#include "file/score_file.h"
#include "support/temp_dir.h"

namespace tsuzuri {
namespace {

namespace fs = std::filesystem;

TEST(RecoveryTest, OnlyCopiesNewerThanTheirPiecesLastSaveAreTold) {
    test::TempDir dir;
    const fs::path copies = dir.path() / "recovery";
    fs::create_directory(copies);
    const auto now = fs::file_time_type::clock::now();
    auto copy = [&](int n, const fs::path& document, std::chrono::hours age) {
        SavedPiece saved;
        saved.documentPath = document.string();
        const std::string text = writeScoreText(saved);
        const fs::path file = copies / recoveryFileName(1700000000 + n, n);
        test::writeBytes(file, {text.begin(), text.end()});
        fs::last_write_time(file, now - age);
        return file;
    };
    auto document = [&](const char* name, std::chrono::hours age) {
        test::writeBytes(dir.path() / name, {'{'});
        fs::last_write_time(dir.path() / name, now - age);
        return dir.path() / name;
    };
    const fs::path untitled = copy(1, {}, std::chrono::hours(5));
    const fs::path savedBefore = copy(2, document("a.tsz", std::chrono::hours(3)), std::chrono::hours(2));
    copy(3, document("b.tsz", std::chrono::hours(1)), std::chrono::hours(2));  // saved since
    const fs::path gone = copy(4, dir.path() / "gone.tsz", std::chrono::hours(4));
    EXPECT_EQ(unsavedRecoveryCopies(copies), (std::vector<fs::path>{savedBefore, gone, untitled}));
    EXPECT_EQ(recoveryCopies(copies).size(), 4u);
}

}  // namespace
}  // namespace tsuzuri
