// Reads that fail with an input/output error, as on a failing disk: run with
// the shim that makes them fail preloaded. The window keeps its piece, says
// what failed and never aborts.
#include <dlfcn.h>

#include <QLabel>

#include "file/score_file.h"
#include "io/safe_file.h"
#include "midi/preview.h"
#include "score/canvas_driver.h"

namespace tsuzuri {
namespace {

namespace fs = std::filesystem;

class EioTest : public test::CanvasTest {
protected:
    void SetUp() override {
        fail = reinterpret_cast<void (*)(const char*)>(dlsym(RTLD_DEFAULT, "tsuzuri_eio_fail"));
        ASSERT_NE(fail, nullptr) << "run with the input/output error shim preloaded";
        CanvasTest::SetUp();
    }
    void TearDown() override {
        if (fail)
            fail("");
        CanvasTest::TearDown();
    }
    void (*fail)(const char*) = nullptr;
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

}  // namespace
}  // namespace tsuzuri
