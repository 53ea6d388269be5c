// The window on the desktop: files dropped on it, its size and place kept
// between runs, and Qt's own dialogs in Japanese.
#include <sys/stat.h>

#include <QDialogButtonBox>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTranslator>
#include <QUrl>
#include <chrono>

#include "score/canvas_driver.h"
#include "ui/translations.h"

namespace tsuzuri {
namespace {

namespace fs = std::filesystem;

class DesktopTest : public test::CanvasTest {
protected:
    // Drags `files` over `target` and drops them at `pos`, as a file manager does.
    void drop(QWidget* target, const std::vector<fs::path>& files, QPoint pos = {5, 5}) {
        QMimeData data;
        QList<QUrl> urls;
        for (const fs::path& file : files)
            urls << QUrl::fromLocalFile(QString::fromStdString(file.string()));
        data.setUrls(urls);
        data.setText(urls.front().toString());
        QDragEnterEvent enter(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent dropped(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        waitUntilIdle();
    }

    void waitUntilIdle() {
        QApplication::processEvents();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !form->fileBusy(); }, 5000));
        QApplication::processEvents();
    }

    fs::path savedPiece(const char* name) {
        const fs::path file = dir.path() / name;
        form->saveScore(file);
        waitUntilIdle();
        EXPECT_TRUE(fs::exists(file));
        return file;
    }

    QString caption() { return form->windowTitle(); }
    std::string notice() { return form->Notice->toolTip().toStdString(); }
};

TEST_F(DesktopTest, ADroppedScoreOpensAsLoadDoesAskingFirstAboutChanges) {
    choosePalette(8);
    placeAt(100, 56);
    const fs::path file = savedPiece("dropped.tsz");
    placeAt(200, 60);
    ASSERT_TRUE(form->hasUnsavedChanges());

    // On a text box, which would otherwise take the file's name as text.
    drop(form->Text1->viewport(), {file});
    auto* question = form->findChild<QMessageBox*>("KeepChanges");
    ASSERT_NE(question, nullptr) << "the unsaved note was dropped without asking";
    EXPECT_EQ(count(0), 2);
    for (QAbstractButton* button : question->buttons()) {
        if (button->text() == QStringLiteral("保存しない(&N)"))
            button->click();
    }
    waitUntilIdle();
    EXPECT_EQ(count(0), 1);
    EXPECT_EQ(caption(), QStringLiteral("綴 Tsuzuri — dropped.tsz"));
    EXPECT_FALSE(form->Text1->toPlainText().contains(QStringLiteral("dropped.tsz")));

    // Without changes it opens at once, wherever it lands.
    state().piece.score[0].measures[0].noteCount = 0;
    drop(form->Picture2, {file}, {300, 60});
    EXPECT_EQ(form->findChild<QMessageBox*>("KeepChanges"), nullptr);
    EXPECT_EQ(count(0), 1);
}

TEST_F(DesktopTest, DropsThatAreNotOneScoreOrMmlFileAreRefusedWithANotice) {
    choosePalette(8);
    placeAt(100, 56);
    const fs::path score = savedPiece("a.tsz");
    const fs::path other = savedPiece("b.tsz");
    placeAt(200, 60);
    fs::create_directory(dir.path() / "folder.tsz");
    test::writeBytes(dir.path() / "song.wav", {'R', 'I', 'F', 'F'});
    const std::vector<std::pair<std::vector<fs::path>, std::string>> refused = {
        {{score, other}, "一つずつ"},
        {{dir.path() / "folder.tsz"}, "フォルダ"},
        {{dir.path() / "song.wav"}, "song.wav"},
        {{dir.path() / "missing.tsz"}, "missing.tsz"},  // refused before asking
    };
    for (const auto& [files, said] : refused) {
        drop(form->Picture2, files);
        EXPECT_EQ(form->findChild<QMessageBox*>("KeepChanges"), nullptr) << said;
        EXPECT_NE(notice().find(said), std::string::npos) << notice();
    }
    EXPECT_EQ(count(0), 2);
    EXPECT_TRUE(form->hasUnsavedChanges());
}

class WindowPlaceTest : public test::FormTest {
protected:
    fs::path settings() { return dir.path() / "config" / "tsuzuri.conf"; }

    // A new window, as at the next start, given its place from the settings.
    QRect nextStart() {
        form = std::make_unique<Form1>(sequencer, dir.path());
        form->setSettingsFile(settings());
        form->restoreWindowPlace();
        form->show();
        QApplication::processEvents();
        return form->geometry();
    }
};

TEST_F(WindowPlaceTest, TheWindowComesBackAsItWasLeftAndKeptOnTheScreen) {
    const QSize design(kDesignWidth, kDesignHeight);
    EXPECT_EQ(nextStart().size(), design);  // the first start
    form->setGeometry(40, 30, 700, 500);
    ASSERT_EQ(form->keepWindowPlace(), "");
    EXPECT_EQ(nextStart(), QRect(40, 30, 700, 500));

    // Left partly beyond the screen's edge, it comes back whole on it.
    form->move(5000, 4000);
    ASSERT_EQ(form->keepWindowPlace(), "");
    const QRect back = nextStart();
    EXPECT_EQ(back.size(), QSize(700, 500));
    EXPECT_TRUE(form->screen()->availableGeometry().contains(back)) << back.x() << "," << back.y();

    fs::remove(settings());
    EXPECT_EQ(nextStart().size(), design);
}

TEST_F(WindowPlaceTest, DamagedSettingsGiveTheDesignSizeAndNoLinkIsWrittenThrough) {
    const QSize design(kDesignWidth, kDesignHeight);
    form->setSettingsFile(settings());
    form->resize(700, 500);
    ASSERT_EQ(form->keepWindowPlace(), "");
    const std::vector<std::uint8_t> kept = test::readBytes(settings());
    const std::string text(kept.begin(), kept.end());

    const std::vector<std::string> damaged = {
        "[Form1]\ngeometry=@ByteArray(\\x1\\xd9\\xd0\\xcb\\0\\x3)\n",  // cut short
        "[Form1]\ngeometry=not a window\n",
        std::string("\0\xff\x01[Form1", 8),
        text.substr(0, text.size() / 2),
    };
    for (const std::string& bytes : damaged) {
        test::writeBytes(settings(), {bytes.begin(), bytes.end()});
        EXPECT_EQ(nextStart().size(), design) << bytes;
    }
    fs::remove(settings());
    ASSERT_EQ(::mkfifo(settings().c_str(), 0600), 0);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(nextStart().size(), design);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    fs::remove(settings());

    // A link planted at the settings' name is neither read nor written through.
    const fs::path victim = dir.path() / "victim.conf";
    test::writeBytes(victim, kept);
    fs::create_symlink(victim, settings());
    EXPECT_EQ(nextStart().size(), design);
    form->resize(600, 400);
    ASSERT_EQ(form->keepWindowPlace(), "");
    EXPECT_EQ(test::readBytes(victim), kept);
    EXPECT_FALSE(fs::is_symlink(settings()));
    EXPECT_EQ(nextStart().size(), QSize(600, 400));
}

// The dialogs are Qt's own; with the translations the program installs at
// start-up their texts are Japanese, whatever the language of the system.
TEST_F(DesktopTest, QtsOwnDialogsAndMenusSpeakJapanese) {
    QTranslator* translator = useJapaneseQtTexts(*qApp);
    ASSERT_NE(translator, nullptr) << "Qt's Japanese translations are not installed";
    form->Command18_Click();
    auto* dialog = form->findChild<QFileDialog*>("OpenDialog");
    ASSERT_NE(dialog, nullptr);
    QStringList texts;
    for (QAbstractButton* button : dialog->findChild<QDialogButtonBox*>()->buttons())
        texts << button->text();
    std::unique_ptr<QMenu> menu(form->Text5->createStandardContextMenu());
    for (QAction* action : menu->actions())
        texts << action->text();
    dialog->reject();
    QCoreApplication::removeTranslator(translator);
    delete translator;

    const QString all = texts.join('|');
    EXPECT_TRUE(all.contains(QStringLiteral("開く"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("キャンセル"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("コピー"))) << all.toStdString();
    EXPECT_FALSE(all.contains(QStringLiteral("Cancel"))) << all.toStdString();
}

}  // namespace
}  // namespace tsuzuri
