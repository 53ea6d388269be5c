// The window's history through its real widgets: random runs of edits taken
// back and done again, each kind of step once, what the window shows after a
// step, the unsaved mark, and the memory a long history holds.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUndoStack>

#include "midi/track_compiler.h"
#include "score/canvas_geometry.h"
#include "score/random_events.h"
#include "ui/updown.h"
#include "view/event_codes.h"

namespace tsuzuri {
namespace {

// What the history must give back: the scores of all tracks, the settings of
// the piece and the tables they fill, and every track as the compiler writes it.
struct Record {
    Table<TrackScore, kStoredTracks> score;
    int keySignature = 0;
    int trackCount = 0;
    int octave = 0;
    Meter meter;
    int tempo = 0;
    std::string tempoShown;
    Table<std::string, kRowCount> rowNames;
    Table<std::uint8_t, kRowCount> rowMidi;
    std::vector<std::vector<std::uint8_t>> chunks;

    bool operator==(const Record&) const = default;
};

class UndoTest : public test::RandomEvents {
protected:
    QUndoStack& history() { return *form->undoStack(); }

    std::unique_ptr<Record> record() {
        auto r = std::make_unique<Record>();
        const EditorState& s = state();
        r->score = s.piece.score;
        r->keySignature = s.piece.keySignature;
        r->trackCount = s.piece.trackCount;
        r->octave = form->UpDown1->value();
        r->meter = s.piece.meter;
        r->tempo = s.piece.tempo;
        r->tempoShown = form->Text4->text().toStdString();
        r->rowNames = s.tables.rowNames;
        r->rowMidi = s.tables.rowMidi;
        for (int t = 0; t < kWindowTracks; ++t)
            r->chunks.push_back(compileTrack(s.piece, s.tables, t).chunk);
        return r;
    }

    // Where the two records first differ, for the failure message.
    static std::string difference(const Record& a, const Record& b) {
        for (int t = 0; t < kStoredTracks; ++t) {
            if (a.score[t].trackProgram != b.score[t].trackProgram)
                return "program of track " + std::to_string(t);
            if (a.score[t].lastMeasure != b.score[t].lastMeasure)
                return "last measure of track " + std::to_string(t);
            for (int m = 0; m < kMeasureCount; ++m) {
                if (!(a.score[t].measures[m] == b.score[t].measures[m]))
                    return "measure " + std::to_string(m) + " of track " + std::to_string(t);
            }
        }
        if (a.keySignature != b.keySignature)
            return "key signature";
        if (a.trackCount != b.trackCount)
            return "track count";
        if (a.octave != b.octave)
            return "octave";
        if (a.tempo != b.tempo || a.tempoShown != b.tempoShown)
            return "tempo";
        if (a.meter != b.meter)
            return "meter";
        if (!(a.rowNames == b.rowNames) || !(a.rowMidi == b.rowMidi))
            return "row tables";
        return a.chunks == b.chunks ? "" : "compiled chunks";
    }

    // Ctrl+Z and Ctrl+Y as the user presses them, with the canvas focused.
    void undoKey() { key(Qt::Key_Z, Qt::ControlModifier); }
    void redoKey() { key(Qt::Key_Y, Qt::ControlModifier); }

    // `action` must be one step named `text`; undoing it gives back the
    // record before it, redoing it the record after it.
    template <class Action>
    void expectStep(const char* text, Action action) {
        SCOPED_TRACE(text);
        const auto before = record();
        const int steps = history().count();
        action();
        QApplication::processEvents();
        ASSERT_EQ(history().count(), steps + 1);
        EXPECT_EQ(history().undoText(), QString::fromUtf8(text));
        const auto after = record();
        ASSERT_NE(*before, *after);
        canvas()->setFocus();
        undoKey();
        EXPECT_EQ(difference(*record(), *before), "");
        EXPECT_EQ(form->Notice->text(), QStringLiteral("元に戻しました：") + QString::fromUtf8(text));
        redoKey();
        EXPECT_EQ(difference(*record(), *after), "");
        EXPECT_EQ(form->Notice->text(),
                  QStringLiteral("やり直しました：") + QString::fromUtf8(text));
    }

    void selectAt(int x, int y = 60) { clickAt(x, y); }
};

// Runs of random edits from wherever the last run left the piece: undoing the
// run gives back its start, redoing it gives its end, and a new edit after an
// undo leaves nothing to redo.
TEST_F(UndoTest, RandomRunsUndoToTheirStartAndRedoToTheirEnd) {
    constexpr int kRuns = 1500;
    int undone = 0;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = record();
        const int first = history().index();
        std::ostringstream what;
        for (int n = uniform(1, 25); n > 0; --n) {
            randomEvent(what);
            what << "; ";
        }
        repeatsLeft = 0;
        canvas()->setFocus();
        const auto end = record();
        const int last = history().index();
        ASSERT_GE(last, first) << what.str();
        while (history().index() > first)
            undoKey();
        ASSERT_EQ(difference(*record(), *start), "") << "run " << run << ": " << what.str();
        while (history().index() < last)
            redoKey();
        ASSERT_EQ(difference(*record(), *end), "") << "run " << run << ": " << what.str();
        undone += last - first;

        if (last > first && chance(30)) {
            undoKey();
            const int steps = history().count();
            for (int tries = 0; tries < 20 && history().count() >= steps; ++tries)
                randomEvent(what);
            repeatsLeft = 0;
            canvas()->setFocus();
            if (history().count() < steps) {
                const auto now = record();
                EXPECT_FALSE(history().canRedo()) << what.str();
                redoKey();
                ASSERT_EQ(difference(*record(), *now), "") << what.str();
            }
        }
    }
    EXPECT_GT(undone, 2 * kRuns);
}

TEST_F(UndoTest, EveryKindOfEditIsOneStep) {
    expectStep("音符の配置", [&] { placeAt(300, 78); });
    choosePalette(20);  // an eighth rest
    expectStep("休符の配置", [&] { placeAt(350, 100); });
    choosePalette(40);  // a volume mark
    expectStep("記号の配置", [&] { placeAt(400, 78); });
    choosePalette(8);
    placeAt(450, 78);
    selectAt(450);
    expectStep("音の高さ", [&] { key(Qt::Key_Up); });
    expectStep("音の高さ", [&] { key(Qt::Key_Down); });
    expectStep("位置の調整", [&] { key(Qt::Key_Left, Qt::ShiftModifier); });
    expectStep("位置の調整", [&] { key(Qt::Key_Right, Qt::ShiftModifier); });
    expectStep("音長の変更", [&] { choosePalette(4); });
    expectStep("削除", [&] { key(Qt::Key_Delete); });
    selectAt(300);
    expectStep("削除", [&] { QTest::mouseClick(form->Command17, Qt::LeftButton); });
    expectStep("調号", [&] { QTest::mouseClick(form->Command5, Qt::LeftButton); });
    expectStep("調号", [&] { QTest::mouseClick(form->Command6, Qt::LeftButton); });
    expectStep("調号", [&] { QTest::mouseClick(form->Command6, Qt::LeftButton); });
    expectStep("楽器の変更", [&] { form->Combo1->setCurrentIndex(3); });
    expectStep("トラック数", [&] { QTest::mouseClick(form->UpDown3->upButton(), Qt::LeftButton); });
    expectStep("オクターブ", [&] { QTest::mouseClick(form->UpDown1->upButton(), Qt::LeftButton); });
    expectStep("拍子", [&] { form->Combo2->setCurrentIndex(4); });
    expectStep("テンポ", [&] {
        form->Text4->setText("90");
        QTest::keyClick(form->Text4, Qt::Key_Return);
    });
    form->resize(889, 530);
    QApplication::processEvents();
    QTest::mouseClick(form->Command16, Qt::LeftButton);  // keyboard entry on
    expectStep("鍵盤入力", [&] {
        const GlyphItem& c = form->Image1(36);
        const QPoint p(static_cast<int>(c.left) + 9 + KeyboardPanel::kBorder,
                       static_cast<int>(c.top) + 90 + KeyboardPanel::kBorder);
        QTest::mousePress(form->Picture1, Qt::LeftButton, {}, p);
        QTest::mouseRelease(form->Picture1, Qt::LeftButton, {}, p);
    });
    // A selection, Escape, scrolling and playing are no steps.
    const int steps = history().count();
    key(Qt::Key_Escape);
    key(Qt::Key_F5);
    QTest::mousePress(form->Command13, Qt::LeftButton);
    QTest::mouseRelease(form->Command13, Qt::LeftButton);
    EXPECT_EQ(history().count(), steps);
}

// After a step the window shows it: its track, its measure among the four in
// view, the canvas drawn from the score, no frame on a note that is gone.
TEST_F(UndoTest, AStepTakenBackIsShownWhereItHappened) {
    placeAt(300, 78);  // measure 1 of track 1
    ASSERT_EQ(count(1), 1);
    QTest::mouseClick(form->Command4, Qt::LeftButton);  // track 2
    ASSERT_EQ(state().view.curTrack, 1);
    scrollTo(50);
    canvas()->setFocus();
    undoKey();
    EXPECT_EQ(state().view.curTrack, 0);
    EXPECT_EQ(form->Text5->text(), "1");
    EXPECT_LE(state().view.firstMeasure, 1);
    EXPECT_EQ(count(1), 0);
    redoKey();
    EXPECT_EQ(count(1), 1);
    const GlyphItem& glyph = form->Image4(glyphForSlot(1, 0));
    EXPECT_EQ(glyph.top, attr(1, 0, kAttrTop));
    EXPECT_EQ(glyph.left, attr(1, 0, kAttrX) + (1 - state().view.firstMeasure) * 200 + 70);

    // A measure already in view stays where it is.
    scrollTo(0);
    placeAt(500, 78);  // measure 2
    const int first = state().view.firstMeasure;
    undoKey();
    EXPECT_EQ(state().view.firstMeasure, first);

    // A deletion taken back leaves no frame on a glyph without a note.
    selectAt(300);
    ASSERT_EQ(state().view.selActive, 1);
    key(Qt::Key_Up);
    undoKey();
    undoKey();  // the note itself goes
    EXPECT_EQ(state().view.selActive, 0);
    EXPECT_EQ(count(1), 0);
}

TEST_F(UndoTest, TheTextBoxesKeepTheirOwnUndo) {
    placeAt(300, 78);
    const QString text = form->Text1->toPlainText();
    form->Text1->setFocus();
    QTest::keyClicks(form->Text1, "cde");
    QTest::keyClick(form->Text1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(count(1), 1);  // the note stays
    EXPECT_NE(form->Text1->toPlainText(), text + "cde");
}

TEST_F(UndoTest, UndoingBackToTheSavedStepClearsTheUnsavedMark) {
    EXPECT_FALSE(form->hasUnsavedChanges());
    placeAt(300, 78);
    EXPECT_TRUE(form->hasUnsavedChanges());
    EXPECT_TRUE(form->windowTitle().endsWith(QStringLiteral(" *")));
    undoKey();
    EXPECT_FALSE(form->hasUnsavedChanges());
    EXPECT_FALSE(form->windowTitle().endsWith(QStringLiteral(" *")));
    redoKey();
    EXPECT_TRUE(form->hasUnsavedChanges());
    // Playing a key of the piano only writes the MML text: that stays a change.
    undoKey();
    form->Image1_MouseDown(36, kLeftButton, 0, 30, 90);
    EXPECT_TRUE(form->hasUnsavedChanges());
}

// A long history: ten thousand placements and deletions stay well under 20 MB,
// and the oldest steps go beyond the history's limit.
TEST_F(UndoTest, ALongHistoryStaysSmall) {
    constexpr int kSteps = 10100;
    for (int i = 0; history().count() < kSteps && i < kSteps; ++i) {
        const int x = 90 + (i % kViewMeasures) * 200 + (i % 15) * 10;
        placeAt(x, 78);
        selectAt(x);
        key(Qt::Key_Delete);
        // The MML text of the placements is not what is measured here.
        if (i % 100 == 0)
            form->Text1->clear();
    }
    EXPECT_EQ(history().count(), history().undoLimit());
    EXPECT_GE(history().undoLimit(), 1000);
    EXPECT_LT(form->historyBytes(), 20u * 1000 * 1000);
    RecordProperty("historyBytes", std::to_string(form->historyBytes()));
}

}  // namespace
}  // namespace tsuzuri
