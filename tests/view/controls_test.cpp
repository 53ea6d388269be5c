#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include "score/canvas_geometry.h"
#include "support/form_fixture.h"
#include "support/score_builder.h"
#include "ui/updown.h"
#include "view/keyboard_panel.h"
#include "view/score_canvas.h"

namespace tsuzuri {
namespace {

struct ControlsTest : test::FormTest {
    void press(QPushButton* button) {
        QTest::mousePress(button, Qt::LeftButton);
        QTest::mouseRelease(button, Qt::LeftButton);
    }
    void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    void type(QLineEdit* field, const QString& text) {
        field->selectAll();
        QTest::keyClicks(field, text);
    }
};

TEST_F(ControlsTest, PreviousTrackWrapsAndNextTrackStops) {
    click(form->Command3);
    EXPECT_EQ(state().view.curTrack, 2);
    EXPECT_EQ(form->Text5->text(), "3");
    EXPECT_EQ(form->UpDown2->value(), 3);
    EXPECT_TRUE(form->Picture2->hasFocus());
    click(form->Command4);
    EXPECT_EQ(state().view.curTrack, 2);
    click(form->Command3);
    click(form->Command3);
    click(form->Command4);
    EXPECT_EQ(state().view.curTrack, 1);
    EXPECT_EQ(form->Text5->text(), "2");
}

TEST_F(ControlsTest, TrackCountZeroAndATrackBeyondTheCount) {
    form->UpDown3->setValue(0);
    EXPECT_EQ(form->Text6->text(), "0");
    EXPECT_EQ(state().piece.trackCount, 0);
    click(form->Command3);
    click(form->Command4);
    EXPECT_EQ(state().view.curTrack, 0);

    form->UpDown3->setValue(20);
    for (int i = 0; i < 25; ++i)
        click(form->Command4);
    EXPECT_EQ(state().view.curTrack, 19);  // never track 20
    form->UpDown3->setValue(2);
    click(form->Command4);
    EXPECT_EQ(state().view.curTrack, 19);  // beyond the count: next does nothing
    click(form->Command3);
    EXPECT_EQ(state().view.curTrack, 0);  // previous brings it back into range: (19 + 1) mod 2
}

TEST_F(ControlsTest, EachTrackKeepsItsInstrument) {
    click(form->Command4);
    click(form->Command4);
    form->Combo1->setCurrentIndex(3);  // フルート for track 2
    EXPECT_EQ(state().piece.score[2].trackProgram, 74);
    EXPECT_EQ(state().piece.score[1].trackProgram, 105);
    state().piece.score[1].trackProgram = 25;
    click(form->Command3);
    EXPECT_EQ(form->Combo1->currentIndex(), 1);  // マンダリン
    EXPECT_EQ(state().piece.score[1].trackProgram, 25);
    click(form->Command3);
    EXPECT_EQ(form->Combo1->currentIndex(), 0);  // never given an instrument: リュート
    click(form->Command4);
    click(form->Command4);
    test::appendSlot(state(), 2, 0, 21, 8);
    click(form->Command1);
    EXPECT_EQ(state().trackBuffer[2][10], 74);  // program change data byte
    EXPECT_EQ(state().trackBuffer[2][9], 0xC2);
}

TEST_F(ControlsTest, OctaveFieldTakesTheLeadingNumberRoundedAndClamped) {
    type(form->Text3, "5.5");
    EXPECT_EQ(form->UpDown1->value(), 6);
    EXPECT_EQ(form->Text3->text(), "6");
    EXPECT_EQ(state().tables.rowNames[21], "O6C");
    type(form->Text3, "x");
    EXPECT_EQ(form->UpDown1->value(), 0);
    EXPECT_EQ(form->Text3->text(), "0");
    type(form->Text3, "12");
    EXPECT_EQ(form->UpDown1->value(), 8);
    EXPECT_EQ(form->Text3->text(), "8");
    form->UpDown1->setValue(4);
    EXPECT_EQ(form->Text3->text(), "4");
    EXPECT_EQ(state().tables.rowNames[21], "O4C");
}

TEST_F(ControlsTest, NoteCountFieldFollowsItsSpinner) {
    form->UpDown4->setValue(3);
    EXPECT_EQ(form->Text7->text(), "3");
}

TEST_F(ControlsTest, GuideLinesShowAndHide) {
    click(form->Check1);
    for (int i = 0; i < 6; ++i)
        EXPECT_FALSE(form->Picture1->lines[i].visible);
    click(form->Check1);
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(form->Picture1->lines[i].visible);
}

TEST_F(ControlsTest, ScrollingStopsAtBothEnds) {
    test::appendSlot(state(), 0, 1, 21, 8, 30);
    press(form->Command12);
    EXPECT_EQ(state().view.firstMeasure, 0);
    EXPECT_EQ(form->Image4(glyphForSlot(1, 0)).left, 30 + 200 + 70);  // still redrawn
    press(form->Command13);
    EXPECT_EQ(state().view.firstMeasure, 1);
    EXPECT_EQ(form->Image4(glyphForSlot(1, 0)).left, 30 + 70);
    EXPECT_TRUE(form->Picture2->hasFocus());
    for (int i = 0; i < 210; ++i)
        press(form->Command13);
    EXPECT_EQ(state().view.firstMeasure, 197);
}

TEST_F(ControlsTest, PointerOverTheButtonsHidesTheCursorGlyph) {
    for (QWidget* w : std::initializer_list<QWidget*>{
             form->Command3, form->Command4, form->Command12, form->Command13, form->Slider1}) {
        form->Image4(0).top = 50;
        QTest::mouseMove(w, QPoint(3, 3));
        EXPECT_EQ(form->Image4(0).top, kHiddenCursorTop) << w->objectName().toStdString();
    }
    form->Slider1->setFocus();
    EXPECT_TRUE(form->Picture2->hasFocus());
}

TEST_F(ControlsTest, PaletteHighlightAndCursorPicture) {
    click(form->Command2[10]);
    EXPECT_EQ(state().view.curLength, 10);
    EXPECT_EQ(state().view.paletteIndex, 10);
    EXPECT_EQ(test::shownBackColor(form->Command2[10]), kWhite);
    EXPECT_EQ(test::shownBackColor(form->Command2[8]), kButtonFace);
    EXPECT_EQ(form->Image4(0).picture, 10);
    EXPECT_TRUE(form->Picture2->hasFocus());
    click(form->Command2[10]);
    EXPECT_EQ(test::shownBackColor(form->Command2[10]), kWhite);
    click(form->Command2[34]);
    EXPECT_EQ(form->Image4(0).picture, kNoPicture);
}

// The selected note takes the new length with the glyph top and stem that
// placing it on its row gives, whatever the cursor's stem: stem up on row 22
// (y 80), stem down on row 27 (y 60), a mark's top for a sharp.
TEST_F(ControlsTest, PaletteChangesTheSelectedNoteAsPlacementOnItsRowWould) {
    test::appendSlot(state(), 0, 2, 21, 8);
    test::appendSlot(state(), 0, 2, 22, 8);
    test::appendSlot(state(), 0, 2, 27, 8);
    test::appendSlot(state(), 0, 6, 22, 8);  // measure 6 shares glyph block 2 with measure 2
    press(form->Command13);  // view starts at measure 1
    state().view.selActive = 1;
    state().view.selGlyph = 42;  // second glyph of measure 2
    state().pointer.stemDir = -1;
    click(form->Command2[10]);
    const auto& m2 = state().piece.score[0].measures[2];
    EXPECT_EQ(m2.noteAttr[1][kAttrCode], 10);
    EXPECT_EQ(m2.noteAttr[1][kAttrTop], 80 - 34);
    EXPECT_EQ(m2.noteAttr[0][kAttrCode], 8);
    EXPECT_EQ(form->Image4(42).picture, 10);
    EXPECT_EQ(state().view.selActive, 1);
    state().view.selGlyph = 43;
    state().pointer.stemDir = 1;
    click(form->Command2[10]);
    EXPECT_EQ(m2.noteAttr[2][kAttrCode], -10);
    EXPECT_EQ(m2.noteAttr[2][kAttrTop], 60 - 8);
    EXPECT_EQ(form->Image4(43).picture, kStemDownBase + 10);
    click(form->Command2[kSharpPicture]);
    EXPECT_EQ(m2.noteAttr[2][kAttrCode], -kSharpPicture);
    EXPECT_EQ(m2.noteAttr[2][kAttrTop], 60 - 12);

    state().view.selGlyph = 44;  // shows no note: nothing changes
    click(form->Command2[4]);
    EXPECT_EQ(m2.noteAttr[3][kAttrCode], 0);
    state().view.selActive = 0;
    click(form->Command2[6]);
    EXPECT_EQ(m2.noteAttr[1][kAttrCode], 10);
    EXPECT_EQ(state().piece.score[0].measures[6].noteAttr[0][kAttrCode], 8);
}

// In a scrolled view the selected glyph's note is the one of the measure
// drawn there, also when the view start was left beyond the last measures.
TEST_F(ControlsTest, APaletteChangeInAScrolledViewChangesTheDrawnNote) {
    test::appendSlot(state(), 0, 2, 22, 8);
    test::appendSlot(state(), 0, 6, 22, 8);
    test::appendSlot(state(), 0, 198, 22, 8);
    for (int i = 0; i < 5; ++i)
        press(form->Command13);  // measures 5..8: glyph block 2 shows measure 6
    ASSERT_EQ(state().view.firstMeasure, 5);
    state().view.selActive = 1;
    state().view.selGlyph = 41;
    click(form->Command2[6]);
    EXPECT_EQ(state().piece.score[0].measures[6].noteAttr[0][kAttrCode], 6);
    EXPECT_EQ(state().piece.score[0].measures[2].noteAttr[0][kAttrCode], 8);
    state().view.firstMeasure = 250;  // drawn from 197: block 2 shows measure 198
    form->dispn(state().view.firstMeasure);
    click(form->Command2[4]);
    EXPECT_EQ(state().piece.score[0].measures[198].noteAttr[0][kAttrCode], 4);
    EXPECT_EQ(form->Image4(41).picture, 4);
}

TEST_F(ControlsTest, KeyboardEntryToggleAddsAMeasureEachTimeItIsSwitchedOn) {
    click(form->Command16);
    EXPECT_EQ(state().view.keyEntryMode, 1);
    EXPECT_EQ(test::shownBackColor(form->Command16), kRed);
    EXPECT_EQ(state().piece.score[0].lastMeasure, 4);
    EXPECT_EQ(state().view.entryMeasure, 3);
    EXPECT_EQ(state().view.entrySlot, 0);
    EXPECT_EQ(state().view.firstMeasure, 1);  // measure 3 in the third column
    click(form->Command16);
    EXPECT_EQ(state().view.keyEntryMode, 0);
    EXPECT_EQ(test::shownBackColor(form->Command16), kButtonFace);
    click(form->Command16);
    EXPECT_EQ(state().piece.score[0].lastMeasure, 5);
    EXPECT_EQ(state().view.entryMeasure, 4);
    EXPECT_EQ(state().view.firstMeasure, 2);
}

TEST_F(ControlsTest, KeyboardEntryNeverPassesTheLastMeasure) {
    state().piece.score[0].lastMeasure = 200;
    click(form->Command16);
    EXPECT_EQ(state().piece.score[0].lastMeasure, 200);
    EXPECT_EQ(state().view.entryMeasure, 200);
    EXPECT_EQ(state().view.firstMeasure, 197);
    state().piece.score[0].lastMeasure = 1;
    click(form->Command16);
    click(form->Command16);
    EXPECT_EQ(state().view.firstMeasure, 0);
}

TEST_F(ControlsTest, KeyIndicatorAndPressedLookOfTheStemDownPictures) {
    form->Command8->setFocus();
    QTest::keyPress(form->Command8, Qt::Key_A);
    EXPECT_EQ(test::shownBackColor(form->Command9), kRed);
    QTest::keyRelease(form->Command8, Qt::Key_A);
    EXPECT_EQ(test::shownBackColor(form->Command9), kWhite);
    form->Image2_MouseDown(3);
    EXPECT_TRUE(form->Image2(3).framed);
    form->Image2_MouseUp(3);
    EXPECT_FALSE(form->Image2(3).framed);
}

}  // namespace
}  // namespace tsuzuri
