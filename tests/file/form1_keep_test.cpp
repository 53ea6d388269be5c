// Keeping the work through the real window: the recovery copy keeps up with
// steady editing, a save never replaces what it must not, recovery copies
// are known by their folder whatever its spelling, and text typed into the
// MML box survives playback.
#include <sys/stat.h>

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QUndoStack>

#include "file/file_fixture.h"
#include "file/recovery.h"
#include "file/score_file.h"
#include "support/manual_clock.h"

namespace tsuzuri {
namespace {

namespace fs = std::filesystem;
using test::FileTest;
using test::ManualClock;

std::unique_ptr<SavedPiece> readPiece(const fs::path& file) {
    const auto bytes = test::readBytes(file);
    ScoreRead read = readScoreText(std::string(bytes.begin(), bytes.end()));
    return std::move(read.saved);
}

int notesIn(const SavedPiece& saved) {
    int notes = 0;
    for (int m = 0; m < kMeasureCount; ++m)
        notes += saved.piece.score[0].measures[m].noteCount;
    return notes;
}

class KeepTest : public FileTest {
protected:
    // Saves to `file` and waits for the save to finish.
    void saveAs(const fs::path& file) {
        form->saveScore(file);
        waitUntilIdle();
    }
    void placeNote(int i) { placeAt(100 + 40 * (i % 16), 48 + 4 * (i % 5)); }
};

// A note every 1.1 s for 10 s: the copy holds every note placed up to 5 s
// before the end, and nothing is written once nothing changes.
TEST_F(KeepTest, TheRecoveryCopyKeepsUpWithSteadyEditing) {
    auto owned = std::make_unique<ManualClock>();
    ManualClock& clock = *owned;
    form->setRecoveryClock(std::move(owned));
    choosePalette(8);
    std::vector<std::int64_t> placed;
    for (int i = 0; i < 10; ++i) {
        placeNote(i);
        placed.push_back(clock.now());
        clock.advance(1100);
    }
    const std::int64_t end = clock.now();
    const auto dueNotes = std::count_if(placed.begin(), placed.end(),
                                        [&](std::int64_t t) { return t <= end - 5000; });
    ASSERT_GE(dueNotes, 5);
    // The notes in the one recovery copy, -1 without one.
    auto copied = [&] {
        const auto copies = recoveryCopies(recoveryDir());
        const auto copy = copies.size() == 1 ? readPiece(copies[0]) : nullptr;
        return copy ? notesIn(*copy) : -1;
    };
    EXPECT_TRUE(waitFor([&] { return copied() >= dueNotes; })) << copied();

    // The last run of edits is copied after its pause; then nothing more.
    clock.advance(5000);
    EXPECT_TRUE(waitFor([&] { return copied() == 10; })) << copied();
    ASSERT_EQ(recoveryCopies(recoveryDir()).size(), 1u);
    const fs::path file = recoveryCopies(recoveryDir())[0];
    const auto written = fs::last_write_time(file);
    clock.advance(60000);
    QTest::qWait(50);
    EXPECT_EQ(fs::last_write_time(file), written);
}

// A recovery folder that is a file: the window keeps its piece and names
// the copy it cannot write.
TEST_F(KeepTest, ARecoveryFolderThatIsAFileIsNamedAndThePieceStays) {
    test::writeBytes(recoveryDir(), {'x'});
    auto clock = std::make_unique<ManualClock>();
    ManualClock& time = *clock;
    form->setRecoveryClock(std::move(clock));
    choosePalette(8);
    placeNote(0);
    time.advance(2000);
    EXPECT_TRUE(waitFor([&] { return notice().find(recoveryDir().string()) != std::string::npos; }))
        << notice();
    EXPECT_NE(notice().find("フォルダではありません"), std::string::npos) << notice();
    EXPECT_EQ(count(0), 1);
    EXPECT_TRUE(form->hasUnsavedChanges());
    EXPECT_EQ(test::readBytes(recoveryDir()), std::vector<std::uint8_t>{'x'});
}

// Saved as root, as CI runs: the permission bits decide, the file stays
// byte for byte, and the user is told to choose another name.
TEST_F(KeepTest, CtrlSOntoAReadOnlyFileIsRefusedAndTheFileStays) {
    choosePalette(8);
    placeNote(0);
    const fs::path file = dir.path() / "locked.tsz";
    saveAs(file);
    const auto bytes = test::readBytes(file);
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    placeNote(1);
    canvas()->setFocus();
    key(Qt::Key_S, Qt::ControlModifier);
    waitUntilIdle();
    EXPECT_EQ(test::readBytes(file), bytes);
    EXPECT_EQ(fs::status(file).permissions(), fs::perms(0444));
    EXPECT_NE(notice().find(file.string()), std::string::npos) << notice();
    EXPECT_NE(notice().find("名前を付けて保存"), std::string::npos) << notice();
    EXPECT_TRUE(form->hasUnsavedChanges());
}

// A name of 250 bytes saves and saves again; saving clears the temporary
// files a crash left beside it a day ago, and nothing else.
TEST_F(KeepTest, ALongNameSavesAgainAndStaleTemporaryFilesBesideItGo) {
    const fs::path file = dir.path() / (std::string(246, 'a') + ".tsz");
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(30);
    for (const char* name : {".tsuzuri-Ab12Cd.tmp", ".tsuzuri-Ef34Gh.tmp"})
        test::writeBytes(dir.path() / name, std::vector<std::uint8_t>(1000, 1));
    fs::last_write_time(dir.path() / ".tsuzuri-Ab12Cd.tmp", old);
    test::writeBytes(dir.path() / "victim", {1});
    fs::create_symlink(dir.path() / "victim", dir.path() / ".tsuzuri-Ij56Kl.tmp");
    choosePalette(8);
    for (int i = 0; i < 2; ++i) {
        placeNote(i);
        saveAs(file);
        EXPECT_FALSE(form->hasUnsavedChanges()) << notice();
        const auto saved = readPiece(file);
        ASSERT_TRUE(saved);
        EXPECT_EQ(notesIn(*saved), i + 1);
    }
    EXPECT_FALSE(fs::exists(dir.path() / ".tsuzuri-Ab12Cd.tmp"));
    EXPECT_TRUE(fs::exists(dir.path() / ".tsuzuri-Ef34Gh.tmp"));
    EXPECT_TRUE(fs::is_symlink(dir.path() / ".tsuzuri-Ij56Kl.tmp"));
    EXPECT_TRUE(fs::exists(dir.path() / "victim"));
}

// A recovery copy opened through a link to its folder is still a recovery
// copy: unsaved, "save" asks for a name, and once saved the copy goes and no
// later start speaks of it. Nothing is ever saved into the recovery folder.
TEST_F(KeepTest, ARecoveryCopyOpenedThroughALinkIsSavedUnderANameAndThenGoes) {
    SavedPiece left;
    left.piece.score[0].measures[0].noteCount = 1;
    left.piece.score[0].measures[0].noteRow[0] = 30;
    left.piece.score[0].measures[0].noteAttr[0][kAttrCode] = 8;
    fs::create_directories(recoveryDir());
    const std::string name = recoveryFileName(1700000000, 42);
    const std::string text = writeScoreText(left);
    test::writeBytes(recoveryDir() / name, {text.begin(), text.end()});
    fs::create_directory_symlink(recoveryDir(), dir.path() / "linked");

    form->openScoreFile(dir.path() / "linked" / name);
    waitUntilIdle();
    EXPECT_EQ(count(0), 1) << notice();
    EXPECT_TRUE(form->hasUnsavedChanges());
    EXPECT_TRUE(form->documentPath().empty());
    form->saveScore(dir.path() / "linked" / "mine.tsz");  // into the recovery folder
    EXPECT_NE(waitForChild<QFileDialog>("SaveDialog"), nullptr);
    EXPECT_FALSE(fs::exists(recoveryDir() / "mine.tsz"));
    answerDialog("SaveDialog", dir.path() / "kept.tsz");
    EXPECT_FALSE(form->hasUnsavedChanges()) << notice();
    EXPECT_TRUE(waitFor([&] { return !fs::exists(recoveryDir() / name); }));
    EXPECT_TRUE(unsavedRecoveryCopies(recoveryDir()).empty());
    form->Command14_Click();  // now a piece with a file: no dialog
    waitUntilIdle();
    EXPECT_EQ(form->findChild<QFileDialog*>("SaveDialog"), nullptr);
}

// Two windows on one file: the window whose file was changed by the other
// asks before it replaces it, and cancelling leaves the other's save alone.
TEST_F(KeepTest, TwoWindowsOnOneFileTheSecondSaveAsks) {
    const fs::path file = dir.path() / "shared.tsz";
    choosePalette(8);
    placeNote(0);
    saveAs(file);
    std::unique_ptr<Form1> first = std::move(form);
    newWindow();
    form->openScoreFile(file);
    waitUntilIdle();
    choosePalette(8);
    placeNote(1);
    placeNote(2);
    form->Command14_Click();  // the other window saves first, as it opened it
    waitUntilIdle();
    EXPECT_FALSE(form->hasUnsavedChanges()) << notice();
    const auto others = test::readBytes(file);
    std::swap(form, first);

    placeNote(3);
    form->Command14_Click();
    answerQuestion(QStringLiteral("キャンセル"), "ChangedOnDisk");
    EXPECT_EQ(test::readBytes(file), others);
    EXPECT_TRUE(form->hasUnsavedChanges());
    form->Command14_Click();
    answerQuestion(QStringLiteral("上書き(&O)"), "ChangedOnDisk");
    waitUntilIdle();
    EXPECT_FALSE(form->hasUnsavedChanges()) << notice();
    EXPECT_EQ(notesIn(*readPiece(file)), 2);
    first.reset();
}

// MML typed into Text1 since the last compile is one step of F5's: Ctrl+Z
// brings it back, Ctrl+Y the compiled text again; a text only the program
// wrote is replaced without a step.
TEST_F(KeepTest, TextTypedIntoText1SurvivesF5) {
    choosePalette(8);
    placeNote(0);
    canvas()->setFocus();
    key(Qt::Key_F5);
    const QString compiled = form->Text1->toPlainText();
    saveAs(dir.path() / "typed.tsz");
    const int steps = form->undoStack()->count();
    key(Qt::Key_F5);
    EXPECT_EQ(form->undoStack()->count(), steps);
    EXPECT_FALSE(form->hasUnsavedChanges());

    form->Text1->setFocus();
    QTest::keyClicks(form->Text1, "O5C8 O5D8");
    const QString typed = form->Text1->toPlainText();
    canvas()->setFocus();
    key(Qt::Key_F5);
    EXPECT_EQ(form->Text1->toPlainText(), compiled);
    EXPECT_EQ(form->undoStack()->undoText(), QStringLiteral("MMLの置き換え"));
    EXPECT_TRUE(form->hasUnsavedChanges());
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form->Text1->toPlainText(), typed);
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(form->Text1->toPlainText(), compiled);
    key(Qt::Key_Z, Qt::ControlModifier);
    key(Qt::Key_F6);  // all♪ empties Text1: the typed text is a step again
    EXPECT_EQ(form->Text1->toPlainText(), "");
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form->Text1->toPlainText(), typed);
}

// What the window cannot show is kept or named: the ticks of the greyed
// tracks 17..20 come back as the file has them, and members of a later
// program are named as dropped on saving.
TEST_F(KeepTest, TicksOfTheGreyedTracksAreKeptAndUnknownMembersNamed) {
    SavedPiece piece;
    for (int t : {0, 16, 18, 19})
        piece.piece.ticked[t] = true;
    std::string text = writeScoreText(piece);
    text.insert(text.find("\"octave\""), "\"laterSetting\": 3, ");
    const fs::path file = dir.path() / "ticks.tsz";
    test::writeBytes(file, {text.begin(), text.end()});
    form->openScoreFile(file);
    waitUntilIdle();
    EXPECT_NE(notice().find("laterSetting"), std::string::npos) << notice();
    EXPECT_NE(notice().find(file.string()), std::string::npos) << notice();
    EXPECT_EQ(form->Check3[16]->checkState(), Qt::Checked);
    EXPECT_EQ(form->Check3[17]->checkState(), Qt::PartiallyChecked);
    EXPECT_FALSE(form->Check3[17]->isEnabled());
    saveAs(dir.path() / "again.tsz");
    const auto saved = readPiece(dir.path() / "again.tsz");
    ASSERT_TRUE(saved);
    EXPECT_TRUE(saved->piece.ticked == piece.piece.ticked);
}

}  // namespace
}  // namespace tsuzuri
