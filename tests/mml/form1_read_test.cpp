// MML read into the staff through the real window: Ctrl+Return in the MML
// box, and MML files opened from "load" and the command line.
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QUndoStack>
#include <fstream>

#include "midi/track_compiler.h"
#include "mml/mml_reader.h"
#include "score/canvas_driver.h"
#include "support/chunk_notes.h"
#include "support/midi_reader.h"
#include "ui/updown.h"

namespace tsuzuri {
namespace {

namespace fs = std::filesystem;

class ReadMmlTest : public test::CanvasTest {
protected:
    void type(const QString& text) {
        form->Text1->setFocus();
        form->Text1->clear();
        const QStringList lines = text.split('\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                QTest::keyClick(form->Text1, Qt::Key_Return);
            QTest::keyClicks(form->Text1, lines[i]);
        }
        QTest::keyClick(form->Text1, Qt::Key_Return, Qt::ControlModifier);
    }
    std::string notice() { return form->Notice->toolTip().toStdString(); }
    // Answers the question about unsaved changes: do not save them.
    void dropChanges() {
        QMessageBox* box = nullptr;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return (box = form->findChild<QMessageBox*>("KeepChanges")) != nullptr; }, 5000));
        for (QAbstractButton* b : box->buttons()) {
            if (box->buttonRole(b) == QMessageBox::DestructiveRole)
                b->click();
        }
        QApplication::processEvents();
    }
    bool waitUntilIdle() {
        return QTest::qWaitFor([&] { return !form->fileBusy(); }, 5000);
    }
    // The notes track t plays, compiled as trk♪ compiles it.
    std::vector<test::Played> played(int t) {
        return test::notesOfChunk(compileTrack(state().piece, state().tables, t).chunk).notes;
    }
    bool empty(int t) {
        const TrackScore& track = state().piece.score[t];
        for (int m = 0; m < kMeasureCount; ++m) {
            if (track.measures[m].noteCount != 0)
                return false;
        }
        return true;
    }
};

// A tune with L, octaves, signs, a slur, notes over bar lines (tied by the
// layout, and by "&"), a triplet, V and T: on the staff, F5 plays what the
// text says, at the text's tempo; Ctrl+Z takes all of it back, tempo too.
TEST_F(ReadMmlTest, ATypedTuneComesOntoTheStaffPlaysAndGoesBackInOneStep) {
    const QString tune = QStringLiteral(
        "T90 L8 O4 C D E F# G4&A4\n"
        "b-2 g2. >c12 d12 e12< V12 F#1&F#4 R4");
    const int steps = form->undoStack()->index();
    const std::size_t bytes = form->historyBytes();
    type(tune);
    EXPECT_EQ(form->Text1->toPlainText(), tune);
    EXPECT_EQ(form->Text4->text(), "90");
    EXPECT_EQ(state().piece.tempo, 90);
    EXPECT_EQ(form->undoStack()->index(), steps + 1);
    EXPECT_EQ(form->undoStack()->undoText(), QStringLiteral("MMLの読み込み"));
    // The history counts the four measures the step keeps, before and after.
    EXPECT_GT(form->historyBytes(), bytes + 4 * sizeof(Measure));
    EXPECT_EQ(state().view.firstMeasure, 0);
    EXPECT_EQ(state().piece.score[0].lastMeasure, 3);
    for (int m = 0; m <= 3; ++m)
        EXPECT_GT(count(m), 0) << m;
    // The first measure's notes are drawn where the score keeps them.
    EXPECT_EQ(form->Image4(glyphForSlot(0, 0)).left, attr(0, 0, kAttrX) + 70);

    canvas()->setFocus();
    key(Qt::Key_F5);
    const test::MidiListing listing = test::readWithMidicsv(dir.path() / "trk.mid");
    ASSERT_TRUE(listing.ok) << listing.diagnostics;
    const std::vector<test::Played> heard = test::playedNotes(test::hearMml(tune.toStdString()));
    const auto on = listing.ofType("Note_on_c");
    const auto off = listing.ofType("Note_off_c");
    ASSERT_EQ(on.size(), heard.size());
    for (std::size_t i = 0; i < heard.size(); ++i) {
        EXPECT_EQ(on[i].time, heard[i].on) << i;
        EXPECT_EQ(off[i].time, heard[i].off) << i;
        EXPECT_EQ(on[i].fields[1], std::to_string(heard[i].key)) << i;
        EXPECT_EQ(on[i].fields[2], std::to_string(heard[i].velocity)) << i;
    }
    ASSERT_EQ(listing.ofType("Tempo").size(), 1u);
    EXPECT_EQ(listing.ofType("Tempo")[0].fields[0], "666667");

    // F5 replaced the tune as typed with the compiled text: that is a step of
    // its own, taken back first, and the typed text comes back.
    EXPECT_EQ(form->undoStack()->undoText(), QStringLiteral("MMLの置き換え"));
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form->Text1->toPlainText(), tune);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(empty(0));
    EXPECT_EQ(state().piece.tempo, kStandardTempo);
    EXPECT_EQ(form->Text4->text(), "120");
    EXPECT_EQ(form->undoStack()->index(), steps);
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(played(0), heard);
    EXPECT_EQ(form->Text4->text(), "90");
}

// Read music goes into bars of the piece's meter; the free meter reads
// into 4/4 bars, and then each measure plays as long as what it holds.
TEST_F(ReadMmlTest, ReadMusicFillsTheBarsOfThePiecesMeter) {
    const QString tune = QStringLiteral("L4 C D E F G A B >C D E F G");
    const struct {
        int entry;
        int perBar;
    } cases[] = {{1, 3}, {0, 4}, {2, 2}, {kMeterCount - 1, 4}};
    for (const auto& c : cases) {
        form->Combo2->setCurrentIndex(c.entry);
        type(tune);
        EXPECT_EQ(state().piece.score[0].lastMeasure, 12 / c.perBar - 1) << c.entry;
        for (int m = 0; m < 12 / c.perBar; ++m)
            EXPECT_EQ(count(m), c.perBar) << c.entry << " " << m;
        // Every note where the text has it, and no rest added between them.
        EXPECT_EQ(played(0), test::playedNotes(test::hearMml(tune.toStdString()))) << c.entry;
    }
}

// A text that cannot be read changes nothing and says what and where.
TEST_F(ReadMmlTest, AFaultyTextChangesNothingAndSaysWhere) {
    type(QStringLiteral("C4 D4"));
    const auto before = std::make_unique<Piece>(state().piece);
    const int steps = form->undoStack()->count();
    for (const char* text : {"C4 D4\n  E4 X", "T300 C",
                             "L64 "
                             "CCCCCCCCCCCCCCCCCCCCC"}) {
        type(QString::fromUtf8(text));
        EXPECT_TRUE(*before == state().piece) << text;
        EXPECT_EQ(form->undoStack()->count(), steps) << text;
    }
    type(QStringLiteral("C4 D4\n  E4 X"));
    EXPECT_EQ(notice(), "MML を読めません：2行6列：「X」は MML として読めません");
    type(QStringLiteral("L64 CCCCCCCCCCCCCCCCCCCCC"));
    EXPECT_EQ(notice(), "MML を読めません：第1小節：音符と記号が20個を超えます（1行25列）");
}

// "load" opens an MML file as a new piece, one track a line.
TEST_F(ReadMmlTest, AnMmlFileOfThreeLinesOpensAsThreeTracks) {
    const std::string lines[] = {"T100 O4 L8 CDEFG4.", "o3 c1 & c2 r2", "V9 e12f12g12 a4"};
    const fs::path file = dir.path() / "trio.mml";
    std::ofstream(file) << lines[0] << "\r\n" << lines[1] << "\n\n" << lines[2] << "\n";
    form->setFolders(dir.path() / "recovery", dir.path());
    form->Command18_Click();
    auto* dialog = form->findChild<QFileDialog*>("OpenDialog");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->nameFilters().contains(QStringLiteral("MML (*.mml *.txt)")));
    dialog->selectFile(QString::fromStdString(file.string()));
    static_cast<QDialog*>(dialog)->accept();
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(notice(), "「" + file.string() + "」を新しい曲として開きました");
    EXPECT_EQ(form->windowTitle(), QStringLiteral("綴 Tsuzuri — 無題 *"));
    EXPECT_EQ(state().piece.trackCount, 3);
    EXPECT_EQ(form->UpDown3->value(), 3);
    EXPECT_EQ(form->Text4->text(), "100");
    EXPECT_EQ(form->Text1->toPlainText().toStdString(), lines[0]);
    for (int t = 0; t < 3; ++t) {
        EXPECT_EQ(played(t), test::playedNotes(test::hearMml(lines[t]))) << t;
        EXPECT_EQ(state().piece.score[t].trackProgram, 105);
        EXPECT_TRUE(form->Check3[static_cast<std::size_t>(t)]->isChecked());
    }
    EXPECT_TRUE(empty(3));
}

// From the command line or a drop: a file of too many lines, or with a line
// that cannot be read, is refused whole, naming the line.
TEST_F(ReadMmlTest, AnMmlFileThatCannotBeOpenedNamesItsLine) {
    type(QStringLiteral("C4 D4"));
    const auto before = std::make_unique<Piece>(state().piece);
    const fs::path many = dir.path() / "many.txt";
    {
        std::ofstream out(many);
        for (int i = 0; i < 21; ++i)
            out << "C4\n";
    }
    form->openGivenFiles({many});
    dropChanges();
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(notice(),
              "「" + many.string() +
                  "」を開けません：21行目が21番目のトラックになります（トラックは20まで）");
    const fs::path faulty = dir.path() / "faulty.mml";
    std::ofstream(faulty) << "C4\n\nC4 V99\n";
    form->openGivenFiles({faulty});
    dropChanges();
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(notice(),
              "「" + faulty.string() + "」を開けません：3行4列：「V99」：音量は V0〜V15 です");
    EXPECT_TRUE(*before == state().piece);
}

}  // namespace
}  // namespace tsuzuri
