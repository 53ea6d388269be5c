// What the window tells of failures and refusals: failures of a file stay in
// view until that file is written again, long names are elided in the middle
// with the whole text in a tooltip, and an oversized paste is refused at once.
#include <QClipboard>
#include <QHelpEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolTip>
#include <chrono>

#include "midi/midi_file.h"
#include "midi/sequencer.h"
#include "score/canvas_driver.h"

namespace tsuzuri {
namespace {

namespace fs = std::filesystem;

class NoticeTest : public test::CanvasTest {
protected:
    QString shown() { return form->Notice->text(); }
    QString whole() { return form->Notice->toolTip(); }

    // Lets a short notice run out now.
    void endShortNotice() {
        auto* timer = form->findChild<QTimer*>("NoticeTimer");
        ASSERT_NE(timer, nullptr);
        ASSERT_TRUE(timer->isActive());
        timer->start(1);
        QTest::qWait(30);
    }
};

TEST_F(NoticeTest, AFailureStaysUntilThatFileIsWrittenAgainBehindShortNotices) {
    const fs::path trk = dir.path() / "trk.mid";
    fs::create_directory(trk);  // trk.mid cannot be replaced
    key(Qt::Key_F5);
    ASSERT_NE(whole().indexOf(QString::fromStdString(trk.string())), -1) << whole().toStdString();
    EXPECT_NE(whole().indexOf(QStringLiteral("書けません")), -1);
    const QString failure = whole();

    choosePalette(8);
    placeAt(100, 56);  // c.mid is written and sounds: trk.mid's failure stays
    EXPECT_EQ(count(0), 1);
    EXPECT_EQ(whole(), failure);

    form->showNotice(QStringLiteral("元に戻しました：音符"));
    EXPECT_EQ(shown(), QStringLiteral("元に戻しました：音符"));
    endShortNotice();
    EXPECT_EQ(whole(), failure);

    fs::remove(trk);
    key(Qt::Key_F6);
    EXPECT_TRUE(shown().isEmpty()) << shown().toStdString();
    EXPECT_TRUE(whole().isEmpty());
}

TEST_F(NoticeTest, ALongNameIsElidedInTheMiddleAndTheTooltipShowsTheWholeText) {
    const std::string folder(300, 'x');
    const fs::path file = fs::path("/home/user") / folder / "曲の最後の版.tsz";
    const QString text =
        QString::fromStdString("「" + file.string() + "」を書けません（ディスクがいっぱいです）");
    form->showFailure(file, text);
    EXPECT_EQ(whole(), text);
    EXPECT_LE(form->Notice->fontMetrics().horizontalAdvance(shown()), form->Notice->width());
    EXPECT_TRUE(shown().startsWith(QStringLiteral("「/home/"))) << shown().toStdString();
    EXPECT_TRUE(shown().endsWith(QStringLiteral("版.tsz」を書けません（ディスクがいっぱいです）")))
        << shown().toStdString();
    EXPECT_NE(shown().indexOf(QChar(0x2026)), -1);

    const QPoint over = form->Notice->geometry().center();
    QHelpEvent help(QEvent::ToolTip, over, form->mapToGlobal(over));
    QApplication::sendEvent(form.get(), &help);
    EXPECT_EQ(QToolTip::text(), text);
    QToolTip::hideText();
}

TEST_F(NoticeTest, AHugePasteIsRefusedAtOnceAndAReasonableOneTaken) {
    for (QPlainTextEdit* box : {form->Text1, form->Text2}) {
        box->setPlainText("O4C4 ");
        QApplication::clipboard()->setText(QString(20 << 20, QChar('C')));
        box->moveCursor(QTextCursor::End);
        const auto start = std::chrono::steady_clock::now();
        box->paste();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
        EXPECT_EQ(box->toPlainText(), "O4C4 ");
        EXPECT_NE(shown().indexOf(QStringLiteral("貼り付けられません")), -1)
            << shown().toStdString();
        EXPECT_NE(shown().indexOf(QStringLiteral("20.0MB")), -1) << shown().toStdString();

        const QString piece = QString("O4C8 O4D8 O4E8 ").repeated(4000);  // a long real piece
        QApplication::clipboard()->setText(piece);
        box->paste();
        EXPECT_EQ(box->toPlainText(), "O4C4 " + piece);
    }
    QApplication::clipboard()->clear();
}

// Links and second names planted where the program writes: on its own files,
// on names a fixed-name writer would use beside them, and on the probe's name.
// Playing, placing a note, saving and the recovery copy leave every file they
// point to exactly as it was.
TEST_F(NoticeTest, PlantedLinksNeverLeadAWriteIntoAnotherFile) {
    test::TempDir elsewhere("tsuzuri elsewhere");
    const std::vector<std::uint8_t> kept = {'M', 'T', 'h', 'd', 'k', 'e', 'e', 'p'};
    std::vector<fs::path> victims;
    auto victim = [&] {
        victims.push_back(elsewhere.path() / ("victim" + std::to_string(victims.size())));
        test::writeBytes(victims.back(), kept);
        return victims.back();
    };
    const fs::path recovery = dir.path() / "recovery";
    fs::create_directory(recovery);
    for (const fs::path& at : {dir.path(), recovery}) {
        for (const char* name : {"trk.mid.part", ".trk.mid.part", "c.mid.part", ".c.mid.tmp",
                                 ".tsuzuri-write-probe", "a.tsz.part", ".a.tsz.part", "a.tsz~"})
            fs::create_symlink(victim(), at / name);
    }
    fs::create_symlink(victim(), dir.path() / "trk.mid");
    fs::create_symlink(victim(), dir.path() / "c.mid");
    const fs::path hardLinked = victim();

    EXPECT_EQ(chooseDataDirectory(dir.path(), elsewhere.path() / "fallback"), dir.path());
    key(Qt::Key_F5);
    choosePalette(8);
    placeAt(100, 56);
    fs::remove(dir.path() / "c.mid");
    fs::create_hard_link(hardLinked, dir.path() / "c.mid");
    placeAt(300, 56);
    key(Qt::Key_F6);
    EXPECT_EQ(count(0), 1);
    EXPECT_EQ(count(1), 1);
    auto* recoveryTimer = form->findChild<QTimer*>("RecoveryTimer");
    ASSERT_NE(recoveryTimer, nullptr);
    recoveryTimer->start(1);
    form->saveScore(dir.path() / "a.tsz");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->fileBusy(); }, 5000));
    QTest::qWait(100);

    for (const fs::path& v : victims)
        EXPECT_EQ(test::readBytes(v), kept) << v;
    for (const char* name : {"trk.mid", "c.mid", "a.tsz"}) {
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir.path() / name))) << name;
        EXPECT_NE(test::readBytes(dir.path() / name), kept) << name;
    }
    EXPECT_EQ(sequencer.commands.back(), playCommand((dir.path() / "trk.mid").string()));
}

}  // namespace
}  // namespace tsuzuri
