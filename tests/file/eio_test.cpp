// Reads that fail with an input/output error and saves that take their time,
// as on a failing or slow disk: run with the shim that makes them so
// preloaded. The window keeps its piece, says what failed and never aborts.
#include <dlfcn.h>

#include <QLabel>
#include <QMessageBox>
#include <QUndoStack>

#include "file/score_file.h"
#include "io/safe_file.h"
#include "midi/preview.h"
#include "file/recovery.h"
#include "score/canvas_driver.h"
#include "support/manual_clock.h"

namespace tsuzuri {
namespace {

namespace fs = std::filesystem;

class EioTest : public test::CanvasTest {
protected:
    void SetUp() override {
        fail = reinterpret_cast<void (*)(const char*)>(dlsym(RTLD_DEFAULT, "tsuzuri_eio_fail"));
        hold = reinterpret_cast<void (*)(const char*)>(dlsym(RTLD_DEFAULT, "tsuzuri_hold_renames"));
        renamesOnto =
            reinterpret_cast<int (*)(const char*)>(dlsym(RTLD_DEFAULT, "tsuzuri_count_renames"));
        ASSERT_NE(fail, nullptr) << "run with the input/output error shim preloaded";
        ASSERT_NE(hold, nullptr);
        ASSERT_NE(renamesOnto, nullptr);
        CanvasTest::SetUp();
    }
    void TearDown() override {
        if (fail)
            fail("");
        if (hold)
            hold("");
        CanvasTest::TearDown();
    }
    void (*fail)(const char*) = nullptr;
    void (*hold)(const char*) = nullptr;
    int (*renamesOnto)(const char*) = nullptr;
};

TEST_F(EioTest, TheShimFailsReadsOfTheNamedFilesOnly) {
    test::writeBytes(dir.path() / "a.tsz", {1, 2, 3});
    test::writeBytes(dir.path() / "b.tsz", {1, 2, 3});
    fail("a.tsz");
    const ReadResult failed = readRegularFile(dir.path() / "a.tsz", 100);
    EXPECT_EQ(failed.fault, ReadFault::Failed);
    EXPECT_NE(readFaultText(dir.path() / "a.tsz", failed).find("入出力エラー"), std::string::npos);
    EXPECT_TRUE(readRegularFile(dir.path() / "b.tsz", 100).ok());
}

// The preview cannot tell what c.mid holds: it writes it anew from the
// template and plays it.
TEST_F(EioTest, UnreadableCMidIsRewrittenAndEveryNoteStillPlaced) {
    fail("c.mid");
    choosePalette(8);
    for (int x = 100; x < 800; x += 100)
        placeAt(x, 56);
    int placed = 0;
    for (int m = 0; m < 4; ++m)
        placed += count(m);
    EXPECT_EQ(placed, 7);
    fail("");
    const auto bytes = test::readBytes(dir.path() / kPreviewFileName);
    EXPECT_TRUE(isPreviewFile(bytes));
    EXPECT_EQ(sequencer.commands.back(), playCommand((dir.path() / kPreviewFileName).string()));
}

TEST_F(EioTest, AnUnreadableScoreFileIsRefusedNamingItAndThePieceStays) {
    choosePalette(8);
    placeAt(100, 56);
    form->saveScore(dir.path() / "a.tsz");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->fileBusy(); }, 5000));
    placeAt(300, 56);
    fail("a.tsz");
    form->openScoreFile(dir.path() / "a.tsz");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->fileBusy(); }, 5000));
    const std::string notice = form->Notice->toolTip().toStdString();
    EXPECT_NE(notice.find((dir.path() / "a.tsz").string()), std::string::npos) << notice;
    EXPECT_NE(notice.find("入出力エラー"), std::string::npos) << notice;
    EXPECT_EQ(count(0) + count(1), 2);
}

// A save that the disk holds up while the user takes a step back and edits
// anew, at the same place of the history: the file holds the piece from
// before, so the window still has unsaved changes and closing asks.
TEST_F(EioTest, ChangesMadeWhileASaveIsWrittenStayUnsaved) {
    const fs::path file = dir.path() / "slow.tsz";
    choosePalette(8);
    placeAt(100, 56);
    placeAt(200, 56);
    hold("slow.tsz");
    form->saveScore(file);
    QApplication::processEvents();
    ASSERT_TRUE(form->fileBusy());
    canvas()->setFocus();
    key(Qt::Key_Z, Qt::ControlModifier);
    placeAt(300, 60);
    const int step = form->undoStack()->index();
    hold("");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->fileBusy(); }, 5000));
    QApplication::processEvents();
    ASSERT_EQ(form->undoStack()->index(), step);
    const auto bytes = test::readBytes(file);
    const ScoreRead saved = readScoreText(std::string(bytes.begin(), bytes.end()));
    ASSERT_TRUE(saved.saved) << saved.error;
    EXPECT_FALSE(saved.saved->piece.score[0].measures[0] == state().piece.score[0].measures[0]);
    EXPECT_TRUE(form->hasUnsavedChanges());
    EXPECT_TRUE(form->windowTitle().endsWith(QStringLiteral(" *")));
    form->close();
    EXPECT_TRUE(form->isVisible());
    QMessageBox* ask = nullptr;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return (ask = form->findChild<QMessageBox*>("KeepChanges")) != nullptr; }, 5000));
    if (ask)
        ask->reject();
}

// A disk that stalls the recovery copy while editing goes on: the copies due
// meanwhile wait as one rather than as a queue of whole pieces, and once the
// disk moves the copy catches up with the window.
TEST_F(EioTest, AStalledRecoveryCopyWaitsAsOneAndCatchesUp) {
    auto owned = std::make_unique<test::ManualClock>();
    test::ManualClock& clock = *owned;
    form->setRecoveryClock(std::move(owned));
    renamesOnto("復元-");
    hold("復元-");
    choosePalette(8);
    for (int i = 0; i < 24; ++i) {  // 26.4 s of editing: five copies fall due
        placeAt(100 + 40 * (i % 16), 48 + 4 * (i % 5));
        clock.advance(1100);
    }
    hold("");
    const fs::path copies = dir.path() / "recovery";
    auto notesCopied = [&] {
        const auto found = recoveryCopies(copies);
        if (found.size() != 1)
            return -1;
        const auto bytes = test::readBytes(found[0]);
        const ScoreRead read = readScoreText(std::string(bytes.begin(), bytes.end()));
        int notes = 0;
        for (int m = 0; read.saved && m < kMeasureCount; ++m)
            notes += read.saved->piece.score[0].measures[m].noteCount;
        return notes;
    };
    const int placed = count(0) + count(1) + count(2) + count(3);
    EXPECT_GE(placed, 12);
    EXPECT_TRUE(QTest::qWaitFor([&] { return notesCopied() == placed; }, 5000)) << notesCopied();
    QTest::qWait(50);
    EXPECT_EQ(renamesOnto(""), 2);
}

}  // namespace
}  // namespace tsuzuri
