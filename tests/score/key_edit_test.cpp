#include <QLabel>
#include <QPlainTextEdit>

#include "score/canvas_driver.h"
#include "score/canvas_geometry.h"

namespace tsuzuri {
namespace {

class KeyEditTest : public test::CanvasTest {
protected:
    // Three quarter notes in measure 1 at x 300, 350 and 400 of the canvas,
    // on row 22 (y 78, stem up): glyphs 21, 22, 23.
    void threeNotes() {
        for (int x : {300, 350, 400})
            placeAt(x, 78);
        ASSERT_EQ(count(1), 3);
    }
    // A click on the note placed with the pointer at x: on its head at row
    // 22 unless told another height.
    void select(int x, int y = 76) { clickAt(x - 1, y); }
    std::string trackPath() { return (dir.path() / "trk.mid").string(); }
};

TEST_F(KeyEditTest, WithoutASelectionOnlyEscapeF5AndF6Act) {
    threeNotes();
    const Measure before = state().piece.score[0].measures[1];
    for (Qt::Key k : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Delete})
        key(k);
    key(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(count(1), 3);
    for (int slot = 0; slot < 3; ++slot)
        EXPECT_EQ(state().piece.score[0].measures[1].noteAttr[slot][kAttrTop],
                  before.noteAttr[slot][kAttrTop]);
    sequencer.commands.clear();
    key(Qt::Key_F5);
    ASSERT_EQ(sequencer.commands.size(), 2u);
    EXPECT_EQ(sequencer.commands[1], "play \"" + trackPath() + "\"");
    // The empty first measure is a bar of rest in 4/4.
    EXPECT_EQ(form->Text1->toPlainText().toStdString(), "r1 " + state().tables.rowNames[22] + "4 " +
                                                            state().tables.rowNames[22] + "4 " +
                                                            state().tables.rowNames[22] + "4 ");
    key(Qt::Key_F6);
    EXPECT_EQ(sequencer.commands.size(), 4u);
    EXPECT_EQ(sequencer.commands[3], "play \"" + trackPath() + "\"");
}

TEST_F(KeyEditTest, EscapeEndsTheSelectionAndTheArrowsThenDoNothing) {
    threeNotes();
    select(350);
    key(Qt::Key_Escape);
    EXPECT_EQ(state().view.selActive, 0);
    EXPECT_FALSE(form->Image4(22).framed);
    key(Qt::Key_Right);
    key(Qt::Key_Up);
    EXPECT_EQ(state().view.selGlyph, 22);
    EXPECT_FALSE(form->Image4(23).framed);
    EXPECT_EQ(row(1, 1), 22);
}

TEST_F(KeyEditTest, TheFrameStepsWithinTheMeasureAndStopsAtItsEnds) {
    threeNotes();
    placeAt(600, 78);  // a note of the next measure must not be reached
    select(300);
    key(Qt::Key_Left);
    EXPECT_EQ(state().view.selGlyph, 21);
    EXPECT_TRUE(form->Image4(21).framed);
    key(Qt::Key_Right);
    key(Qt::Key_Right);
    EXPECT_EQ(state().view.selGlyph, 23);
    EXPECT_FALSE(form->Image4(21).framed);
    EXPECT_FALSE(form->Image4(22).framed);
    EXPECT_TRUE(form->Image4(23).framed);
    key(Qt::Key_Right);
    EXPECT_EQ(state().view.selGlyph, 23);
    EXPECT_TRUE(form->Image4(23).framed);
    EXPECT_FALSE(form->Image4(24).framed);
    // Only the frame moved.
    EXPECT_EQ(state().piece.score[0].measures[1].noteAttr[2][kAttrTop], 46);
}

TEST_F(KeyEditTest, AFrameLeftOnAnEmptyGlyphStepsBackToTheNotes) {
    threeNotes();
    select(400);
    key(Qt::Key_Delete);  // the last note goes; the frame stays on its glyph
    EXPECT_EQ(count(1), 2);
    EXPECT_TRUE(form->Image4(23).framed);
    key(Qt::Key_Right);
    EXPECT_EQ(state().view.selGlyph, 23);  // no note to the right
    key(Qt::Key_Up);
    key(Qt::Key_Delete);
    EXPECT_EQ(count(1), 2);  // nothing to move or delete there
    key(Qt::Key_Left);
    EXPECT_EQ(state().view.selGlyph, 22);
    EXPECT_TRUE(form->Image4(22).framed);
    key(Qt::Key_Delete);
    EXPECT_EQ(count(1), 1);
}

// Up and Down give the note what placing it on its new row stores, whatever
// direction the pointer last gave the cursor glyph: a stem-up quarter moved
// down into the band between the staves' middles turns stem-down.
TEST_F(KeyEditTest, UpAndDownStoreWhatPlacementOnTheNewRowStores) {
    moveTo(300, 86);  // row 20, stem up
    placeAt(300, 86);
    ASSERT_EQ(row(1, 0), 20);
    select(300, 80);
    moveTo(200, 60);  // the last direction is down, off the note
    ASSERT_EQ(state().pointer.stemDir, -1);
    key(Qt::Key_Up);
    EXPECT_EQ(row(1, 0), 21);
    EXPECT_EQ(attr(1, 0, kAttrTop), 50);
    EXPECT_EQ(attr(1, 0, kAttrCode), 8);
    // The glyph is redisplayed as the pointer on the new row would place it.
    EXPECT_EQ(state().pointer.stemDir, 1);
    EXPECT_EQ(state().pointer.glyphTop, 50);
    EXPECT_EQ(state().pointer.glyphCode, 8);
    EXPECT_EQ(form->Image4(21).left, 294);
    EXPECT_EQ(form->Image4(21).top, 50);
    key(Qt::Key_Down);
    EXPECT_EQ(row(1, 0), 20);
    EXPECT_EQ(attr(1, 0, kAttrTop), 54);
    EXPECT_EQ(form->Label5->text(), " 1 8");
    key(Qt::Key_Down);  // row 19, y 92: the down band
    EXPECT_EQ(row(1, 0), 19);
    EXPECT_EQ(attr(1, 0, kAttrTop), 84);
    EXPECT_EQ(attr(1, 0, kAttrCode), -8);
    EXPECT_EQ(form->Label5->text(), "-1-8");
    EXPECT_EQ(form->Image4(21).picture, stemDownPicture(8));
    EXPECT_EQ(form->Text1->toPlainText().toStdString(), state().tables.rowNames[20] + "4 ");
}

TEST_F(KeyEditTest, ShiftLeftThenShiftRightRestoresTheTopAndOnlyLeftMovesTheGlyph) {
    threeNotes();
    select(350);
    const double glyphTop = form->Image4(22).top;
    key(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(attr(1, 1, kAttrTop), 45);
    EXPECT_EQ(state().view.selGlyph, 22);
    EXPECT_NE(form->Image4(22).top, glyphTop);
    const double moved = form->Image4(22).top;
    key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(attr(1, 1, kAttrTop), 46);
    EXPECT_EQ(form->Image4(22).top, moved);
}

TEST_F(KeyEditTest, CtrlLeftDoesNothingAndCtrlUpActsAsUp) {
    threeNotes();
    select(350);
    key(Qt::Key_Left, Qt::ControlModifier);
    key(Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(state().view.selGlyph, 22);
    EXPECT_EQ(attr(1, 1, kAttrTop), 46);
    key(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(row(1, 1), 23);
    EXPECT_EQ(attr(1, 1, kAttrTop), 42);
}

TEST_F(KeyEditTest, InAScrolledViewTheSecondColumnsNoteIsEdited) {
    scrollTo(1);
    placeAt(500, 78);  // third column: measure 3
    placeAt(320, 78);  // second column: measure 2
    ASSERT_EQ(count(2), 1);
    select(320);
    ASSERT_EQ(state().view.selGlyph, 41);
    key(Qt::Key_Up);
    EXPECT_EQ(row(2, 0), 23);
    EXPECT_EQ(row(3, 0), 22);
    EXPECT_EQ(form->Image4(41).left, attr(2, 0, kAttrX) + 200 + 70);
    EXPECT_EQ(form->Image4(61).left, attr(3, 0, kAttrX) + 400 + 70);
}

TEST_F(KeyEditTest, MovesOutsideTheNamedRowsAreIgnored) {
    moveTo(300, 154);  // row 3 is the lowest a click reaches
    placeAt(300, 154);
    ASSERT_EQ(row(1, 0), 3);
    row(1, 0) = 0;
    select(300, 140);
    key(Qt::Key_Down);
    EXPECT_EQ(row(1, 0), 0);
    EXPECT_EQ(attr(1, 0, kAttrTop), 122);
    row(1, 0) = 95;
    key(Qt::Key_Up);
    EXPECT_EQ(row(1, 0), 95);
    EXPECT_EQ(attr(1, 0, kAttrTop), 122);
}

TEST_F(KeyEditTest, KeysReachTheCanvasThroughTheFocusAfterAClick) {
    threeNotes();
    form->Text1->setFocus();
    select(350);
    ASSERT_EQ(form->focusWidget(), canvas());
    QTest::keyClick(form->focusWidget(), Qt::Key_Up);
    EXPECT_EQ(row(1, 1), 23);
    EXPECT_EQ(form->Text1->toPlainText().toStdString(), state().tables.rowNames[22] + "4 " +
                                                            state().tables.rowNames[22] + "4 " +
                                                            state().tables.rowNames[22] + "4 ");
}

}  // namespace
}  // namespace tsuzuri
