// Saving, loading and exporting through the real window and its dialogs; bad
// files and failing disks never change the piece in the window.
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTimer>
#include <QUndoStack>

#include "file/file_fixture.h"
#include "file/recovery.h"
#include "file/score_file.h"
#include "midi/track_compiler.h"
#include "score/canvas_driver.h"
#include "score/canvas_geometry.h"
#include "support/midi_reader.h"
#include "ui/updown.h"

namespace tsuzuri {
namespace {

namespace fs = std::filesystem;
using test::FileTest;

TEST_F(FileTest, ASavedPieceComesBackInANewWindowAsItWasAndPlaysAtOnce) {
    composeOnTwoTracks();
    EXPECT_EQ(caption(), QStringLiteral("綴 Tsuzuri — 無題 *"));
    const fs::path file = dir.path() / "melody.tsz";
    form->Command14_Click();
    answerDialog("SaveDialog", file);
    ASSERT_TRUE(fs::exists(file)) << notice();
    EXPECT_EQ(caption(), QStringLiteral("綴 Tsuzuri — melody.tsz"));
    const std::unique_ptr<SavedPiece> saved = form->currentPiece();
    const auto before = std::make_unique<EditorState>(state());
    const QString text1 = form->Text1->toPlainText();

    newWindow();
    EXPECT_EQ(caption(), QStringLiteral("綴 Tsuzuri"));
    form->Command18_Click();
    answerDialog("OpenDialog", file);
    EXPECT_EQ(caption(), QStringLiteral("綴 Tsuzuri — melody.tsz")) << notice();
    EXPECT_TRUE(*form->currentPiece() == *saved);
    EXPECT_EQ(state().piece.keySignature, -2);
    for (int row = 0; row < kRowCount; ++row) {
        EXPECT_EQ(state().tables.rowMidi[row], before->tables.rowMidi[row]) << row;
        EXPECT_EQ(state().tables.rowNames[row], before->tables.rowNames[row]) << row;
    }
    EXPECT_EQ(form->Image3(3).top, 87);  // the second flat on the bass staff
    EXPECT_EQ(form->Text3->text(), "5");
    EXPECT_EQ(form->Text5->text(), "2");
    EXPECT_EQ(form->Combo1->currentIndex(), 3);
    EXPECT_TRUE(form->Check3[5]->isChecked());
    EXPECT_EQ(form->Text1->toPlainText(), text1);
    EXPECT_EQ(state().view.firstMeasure, 1);
    // The canvas shows track 2's note where it was drawn.
    EXPECT_EQ(form->Image4(glyphForSlot(2, 0)).left,
              before->piece.score[1].measures[2].noteAttr[0][0] + 200 + 70);
    // all♪ plays the opened piece without compiling first.
    for (int t : {0, 1}) {
        const auto chunk = compileTrack(before->piece, before->tables, t).chunk;
        ASSERT_EQ(state().trackChunkSize[t], static_cast<int>(chunk.size()));
        EXPECT_TRUE(std::equal(chunk.begin(), chunk.end(), state().trackBuffer[t].data()));
    }
    EXPECT_EQ(state().trackBuffer[2][0], 0);
}

// The tempo box: a tempo confirmed with Return or by leaving the box plays in
// trk♪, all♪ and the MIDI export, is one step of the history, and is kept in
// the score file; any other text is refused and the box shows the tempo again.
TEST_F(FileTest, TheTempoTypedPlaysInEveryMidiFileAndIsKeptWithThePiece) {
    const auto typeTempo = [&](const char* text) {
        form->Text4->setFocus();
        form->Text4->selectAll();
        QTest::keyClicks(form->Text4, QString::fromUtf8(text));
        QTest::keyClick(form->Text4, Qt::Key_Return);
    };
    form->activateWindow();  // the box is left when the focus moves on
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    choosePalette(8);
    placeAt(100, 56);
    const int steps = form->undoStack()->count();
    for (const char* refused : {"abc", "300", "31", "", "9 0"}) {
        typeTempo(refused);
        EXPECT_EQ(state().piece.tempo, 120) << refused;
        EXPECT_EQ(form->Text4->text().toStdString(), "120") << refused;
        EXPECT_NE(notice().find("32〜255"), std::string::npos) << refused;
    }
    EXPECT_EQ(form->undoStack()->count(), steps);
    typeTempo(" 90 ");
    EXPECT_EQ(state().piece.tempo, 90);
    EXPECT_EQ(form->Text4->text().toStdString(), "90");
    EXPECT_EQ(form->undoStack()->undoText(), QStringLiteral("テンポ"));

    // Leaving the box confirms too; undo takes the tempo back, redo sets it again.
    form->Text4->setFocus();
    form->Text4->selectAll();
    QTest::keyClicks(form->Text4, "200");
    canvas()->setFocus();
    EXPECT_EQ(state().piece.tempo, 200);
    QTest::keyClick(canvas(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(state().piece.tempo, 90);
    EXPECT_EQ(form->Text4->text().toStdString(), "90");
    QTest::keyClick(canvas(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(form->Text4->text().toStdString(), "200");
    QTest::keyClick(canvas(), Qt::Key_Z, Qt::ControlModifier);

    // 60,000,000 / 90 microseconds a quarter note, first in the first track.
    const std::vector<std::uint8_t> setTempo = {0x00, 0xFF, 0x51, 0x03, 0x0A, 0x2C, 0x2B};
    const auto opensWithTempo = [&](const fs::path& file) {
        const auto bytes = test::readBytes(file);
        const test::MidiListing listing = test::readWithMidicsv(file);
        EXPECT_TRUE(listing.ok) << listing.diagnostics;
        const auto tempos = listing.ofType("Tempo");
        return bytes.size() > 29 && std::equal(setTempo.begin(), setTempo.end(), &bytes[22]) &&
               tempos.size() == 1 && tempos[0].track == 1 && tempos[0].time == 0 &&
               tempos[0].fields == std::vector<std::string>{"666667"};
    };
    QTest::mouseClick(form->Command1, Qt::LeftButton);
    EXPECT_TRUE(opensWithTempo(dir.path() / "trk.mid"));
    EXPECT_EQ(form->Text1->toPlainText().left(4), "T90 ");
    QTest::mouseClick(form->Command4, Qt::LeftButton);  // a second track to play
    placeAt(100, 56);
    QTest::mouseClick(form->Command1, Qt::LeftButton);
    QTest::mouseClick(form->Command7, Qt::LeftButton);
    EXPECT_TRUE(opensWithTempo(dir.path() / "trk.mid"));
    const fs::path exported = dir.path() / "slow.mid";
    form->saveUnderNewName();
    answerDialog("SaveDialog", exported, QStringLiteral("Standard MIDI File (*.mid)"));
    EXPECT_TRUE(waitFor([&] { return fs::exists(exported); }));
    EXPECT_TRUE(opensWithTempo(exported));

    const fs::path file = dir.path() / "slow.tsz";
    form->saveScore(file);
    waitUntilIdle();
    newWindow();
    EXPECT_EQ(form->Text4->text().toStdString(), "120");
    form->openScoreFile(file);
    waitUntilIdle();
    EXPECT_EQ(state().piece.tempo, 90);
    EXPECT_EQ(form->Text4->text().toStdString(), "90");
}

TEST_F(FileTest, LaterSavesWriteTheSameFileAndOnlyExportsOfferOtherFormats) {
    choosePalette(8);
    placeAt(100, 56);
    const fs::path file = dir.path() / "a.tsz";
    form->saveScore(file);
    waitUntilIdle();
    placeAt(200, 56);
    EXPECT_TRUE(form->hasUnsavedChanges());
    form->Command14_Click();  // no dialog: the same file
    waitUntilIdle();
    EXPECT_EQ(form->findChild<QFileDialog*>("SaveDialog"), nullptr);
    EXPECT_FALSE(form->hasUnsavedChanges());
    const ScoreRead read = readScoreText(std::string([&] {
        auto b = test::readBytes(file);
        return std::string(b.begin(), b.end());
    }()));
    ASSERT_TRUE(read.saved) << read.error;
    EXPECT_EQ(read.saved->piece.score[0].measures[0].noteCount, 2);

    placeAt(300, 60);
    form->saveUnderNewName();
    const fs::path exported = dir.path() / "a.mid";
    answerDialog("SaveDialog", exported, QStringLiteral("Standard MIDI File (*.mid)"));
    EXPECT_TRUE(waitFor([&] { return fs::exists(exported); }));
    const test::MidiListing listing = test::readWithMidicsv(exported);
    ASSERT_TRUE(listing.ok) << listing.diagnostics;
    EXPECT_EQ(listing.ofType("Note_on_c").size(), 3u);
    EXPECT_EQ(form->documentPath(), file);  // exporting keeps the piece's own file
    EXPECT_TRUE(form->hasUnsavedChanges());
}

TEST_F(FileTest, BadFilesAreRefusedNamingTheFileAndTheWindowKeepsItsPiece) {
    choosePalette(8);
    placeAt(100, 56);
    const auto before = std::make_unique<EditorState>(state());
    const QString shown = caption();
    auto write = [&](const char* name, const std::string& text) {
        test::writeBytes(dir.path() / name, {text.begin(), text.end()});
        return dir.path() / name;
    };
    const std::string valid = writeScoreText(SavedPiece{});
    std::vector<fs::path> bad = {
        dir.path() / "missing.tsz",
        write("empty.tsz", ""),
        write("cut.tsz", valid.substr(0, 200)),
        write("text.tsz", "O4C4 O4D4"),
        write("other.tsz", R"({"format": "something else", "version": 1})"),
        write("newer.tsz", R"({"format": "tsuzuri-score", "version": 7})"),
        dir.path() / "folder.tsz",
        dir.path() / "pipe.tsz",
        dir.path() / "huge.tsz",
    };
    fs::create_directory(dir.path() / "folder.tsz");
    ASSERT_EQ(::mkfifo((dir.path() / "pipe.tsz").c_str(), 0600), 0);
    fs::resize_file(write("huge.tsz", ""), 200u << 20);  // sparse: nothing is really written
    std::string high = valid;
    high.replace(high.find("\"octave\": 4"), 11, "\"octave\": 12");
    bad.push_back(write("high.tsz", high));
    for (const fs::path& file : bad) {
        form->openScoreFile(file);
        waitUntilIdle();
        EXPECT_NE(notice().find(file.string()), std::string::npos) << file << ": " << notice();
        EXPECT_TRUE(state().piece.score == before->piece.score) << file;
        EXPECT_EQ(state().tables.rowMidi[27], before->tables.rowMidi[27]);
        EXPECT_EQ(caption(), shown) << file;
    }
}

TEST_F(FileTest, AFailedSaveKeepsThePieceAndItsMarkAndSaysWhy) {
    choosePalette(8);
    placeAt(100, 56);
    const fs::path file = dir.path() / "no such folder" / "a.tsz";
    form->saveScore(file);
    waitUntilIdle();
    EXPECT_NE(notice().find(file.string()), std::string::npos) << notice();
    EXPECT_NE(notice().find("フォルダがありません"), std::string::npos) << notice();
    EXPECT_TRUE(form->hasUnsavedChanges());
    EXPECT_TRUE(form->documentPath().empty());
    EXPECT_EQ(count(0), 1);
}

// On a disk that is full, the save fails, the old file stays whole and the
// piece stays in the window (a small tmpfs in a private mount namespace).
TEST_F(FileTest, AFullDiskKeepsTheOldFileAndThePiece) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const fs::path disk = dir.path() / "disk";
    fs::create_directory(disk);
    EXPECT_EXIT(
        {
            if (::unshare(CLONE_NEWNS) != 0 ||
                ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                ::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=48k") != 0)
                std::_Exit(77);
            choosePalette(8);
            placeAt(100, 56);
            form->saveScore(disk / "a.tsz");
            waitUntilIdle();
            const auto old = test::readBytes(disk / "a.tsz");
            for (int i = 0; i < 20; ++i)  // a piece larger than the disk
                for (int m = 0; m < 200; ++m)
                    state().piece.score[i].measures[m] = state().piece.score[0].measures[0];
            form->changedOutsideHistory();
            form->saveScore(disk / "a.tsz");
            waitUntilIdle();
            const bool kept = test::readBytes(disk / "a.tsz") == old && !old.empty();
            const bool told = notice().find("ディスクがいっぱいです") != std::string::npos;
            std::_Exit(kept && told && form->hasUnsavedChanges() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(FileTest, ClosingAsksOnlyWithUnsavedChangesAndKeepsARecoveryCopy) {
    form->close();
    EXPECT_FALSE(form->isVisible());  // nothing to save: closes at once

    newWindow();
    choosePalette(8);
    placeAt(100, 56);
    form->close();
    EXPECT_TRUE(form->isVisible());
    answerQuestion(QStringLiteral("キャンセル"));
    EXPECT_TRUE(form->isVisible());

    form->close();
    answerQuestion(QStringLiteral("保存しない(&N)"));
    EXPECT_FALSE(form->isVisible());
    const auto copies = recoveryCopies(recoveryDir());
    ASSERT_EQ(copies.size(), 1u);
    const auto bytes = test::readBytes(copies[0]);
    const ScoreRead read = readScoreText(std::string(bytes.begin(), bytes.end()));
    ASSERT_TRUE(read.saved) << read.error;
    EXPECT_EQ(read.saved->piece.score[0].measures[0].noteCount, 1);

    // The next window says so, and opening the copy keeps it unsaved.
    newWindow();
    EXPECT_TRUE(waitFor([&] { return !notice().empty(); }));
    EXPECT_NE(notice().find("復元"), std::string::npos);
    form->openScoreFile(copies[0]);
    waitUntilIdle();
    EXPECT_EQ(count(0), 1);
    EXPECT_TRUE(form->hasUnsavedChanges());
    EXPECT_TRUE(form->documentPath().empty());
}

TEST_F(FileTest, TheRecoveryCopyFollowsEditsAfterAPauseAndGoesWhenThePieceIsSaved) {
    auto* timer = form->findChild<QTimer*>("RecoveryTimer");
    ASSERT_NE(timer, nullptr);
    EXPECT_FALSE(timer->isActive());  // nothing changed: nothing runs
    choosePalette(8);
    placeAt(100, 56);
    EXPECT_TRUE(timer->isActive());
    EXPECT_TRUE(waitFor([&] { return !recoveryCopies(recoveryDir()).empty(); }));
    ASSERT_EQ(recoveryCopies(recoveryDir()).size(), 1u);
    EXPECT_FALSE(timer->isActive());

    form->saveScore(dir.path() / "b.tsz");
    waitUntilIdle();
    EXPECT_TRUE(waitFor([&] { return recoveryCopies(recoveryDir()).empty(); }));
    EXPECT_TRUE(recoveryCopies(recoveryDir()).empty());
}

}  // namespace
}  // namespace tsuzuri
