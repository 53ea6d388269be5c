#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>

#include "score/canvas_driver.h"
#include "score/canvas_geometry.h"
#include "support/score_builder.h"

namespace tsuzuri {
namespace {

class PlacementTest : public test::CanvasTest {
protected:
    // A note already in measure m of track 0, drawn, low on the bass staff
    // (row 9, y 138) so that clicks higher up miss its glyph.
    void existingNote(int m, int x) {
        test::appendSlot(state(), 0, m, 9, 8, x);
        attr(m, count(m) - 1, kAttrTop) = 138 - 34;
        form->dispn(state().view.firstMeasure);
    }
    std::string text() { return form->Text1->toPlainText().toStdString(); }
};

TEST_F(PlacementTest, AClickOnTheCursorPlacesWhatItShows) {
    placeAt(250, 78);  // quarter note, row 22, first column
    ASSERT_EQ(count(0), 1);
    EXPECT_EQ(attr(0, 0, kAttrX), 250 - 76);
    EXPECT_EQ(attr(0, 0, kAttrTop), 46);
    EXPECT_EQ(attr(0, 0, kAttrCode), 8);
    EXPECT_EQ(row(0, 0), 22);
    EXPECT_EQ(text(), state().tables.rowNames[22] + "4 ");
    EXPECT_EQ(form->Label6->text().toStdString(),
              " 250 78 20 0 " + state().tables.rowNames[22] + "4 22");
    // The new glyph lies where the cursor glyph was.
    EXPECT_EQ(form->Image4(1).left, form->Image4(0).left);
    EXPECT_EQ(form->Image4(1).top, form->Image4(0).top);
    EXPECT_EQ(form->Image4(1).picture, palettePicture(8));
    // A stem-down note in the third column appends to the text.
    placeAt(520, 100);
    ASSERT_EQ(count(2), 1);
    EXPECT_EQ(attr(2, 0, kAttrX), 520 - 76 - 400);
    EXPECT_EQ(attr(2, 0, kAttrTop), 92);
    EXPECT_EQ(attr(2, 0, kAttrCode), -8);
    EXPECT_EQ(form->Image4(41).picture, stemDownPicture(8));
    EXPECT_EQ(text(), state().tables.rowNames[22] + "4 " + state().tables.rowNames[17] + "4 ");
}

// A key edit draws the moved note through the pointer's glyph values; a click
// on the cursor glyph right after it, with no pointer move between, still
// places the note the cursor glyph shows.
TEST_F(PlacementTest, AClickAfterAKeyEditPlacesWhatTheCursorShows) {
    placeAt(300, 86);   // row 20
    clickAt(300, 80);   // selects it; the cursor glyph stays under the pointer
    key(Qt::Key_Down);  // row 19, drawn stem-down below the pointer
    const GlyphItem cursor = form->Image4(0);
    QTest::mouseClick(canvas(), Qt::LeftButton, {}, at(300, 80));
    ASSERT_EQ(count(1), 2);
    EXPECT_EQ(row(1, 1), 22);
    EXPECT_EQ(attr(1, 1, kAttrTop), cursor.top);
    EXPECT_EQ(attr(1, 1, kAttrCode), 8);
    EXPECT_EQ(form->Image4(22).top, cursor.top);
    EXPECT_EQ(form->Image4(22).picture, cursor.picture);
}

// The preview goes through the one-note player: c.mid gets the key and is played.
TEST_F(PlacementTest, PlacingANoteSoundsItsPitch) {
    placeAt(250, 78);
    const std::string midi = (dir.path() / "c.mid").string();
    ASSERT_FALSE(sequencer.commands.empty());
    EXPECT_EQ(sequencer.commands.back(), "play \"" + midi + "\"");
    const auto bytes = test::readBytes(dir.path() / "c.mid");
    ASSERT_GE(bytes.size(), 28u);
    EXPECT_EQ(bytes[27], state().tables.rowMidi[22]);
}

TEST_F(PlacementTest, RestsAndMarksAddTheirTextAndSoundNothing) {
    choosePalette(20);  // an eighth rest
    placeAt(250, 78);
    EXPECT_EQ(text(), "r8 ");
    EXPECT_EQ(attr(0, 0, kAttrCode), -20);
    choosePalette(40);  // a volume mark writes what it sets
    placeAt(400, 78);
    EXPECT_EQ(text(), "r8 V5 ");
    choosePalette(28);  // the other marks their space
    placeAt(450, 78);
    EXPECT_EQ(text(), "r8 V5  ");
    EXPECT_EQ(count(1), 2);
    EXPECT_TRUE(sequencer.commands.empty());
}

TEST_F(PlacementTest, SlotsFollowTheUnshiftedPointerOffset) {
    existingNote(0, 100);
    placeAt(70 + 103, 30);  // xo 103: after the note at 100, though stored at 97
    ASSERT_EQ(count(0), 2);
    EXPECT_EQ(attr(0, 0, kAttrX), 100);
    EXPECT_EQ(attr(0, 1, kAttrX), 97);
    EXPECT_EQ(row(0, 1), 34);
    placeAt(70 + 93, 30);  // xo 93: before it
    ASSERT_EQ(count(0), 3);
    EXPECT_EQ(attr(0, 0, kAttrX), 87);
    EXPECT_EQ(attr(0, 1, kAttrX), 100);
    EXPECT_EQ(attr(0, 2, kAttrX), 97);
    // Far right appends, over the clefs goes first.
    placeAt(250, 30);
    EXPECT_EQ(attr(0, 3, kAttrX), 174);
    placeAt(30, 30);
    ASSERT_EQ(count(0), 5);
    EXPECT_EQ(attr(0, 0, kAttrX), -46);
    EXPECT_EQ(form->Image4(1).left, 24);
    EXPECT_EQ(row(0, 4), 34);
}

TEST_F(PlacementTest, RightClickPicksUpTheLengthOfAStemDownNote) {
    choosePalette(14);
    form->setBackColor(form->Command2[14], kWhite);
    placeAt(300, 30);
    attr(1, 0, kAttrCode) = -8;  // a quarter note drawn stem-down
    form->dispn(0);
    clickAt(300, 40);  // select it first: the right click drops the selection
    ASSERT_EQ(state().view.selActive, 1);
    const std::string before = text();
    clickAt(300, 40, Qt::RightButton);
    EXPECT_EQ(state().view.curLength, 8);
    EXPECT_EQ(form->Image4(0).picture, stemDownPicture(8));
    EXPECT_EQ(state().view.paletteIndex, 14);
    EXPECT_EQ(test::shownBackColor(form->Command2[14]), kWhite);
    EXPECT_EQ(state().view.selActive, 0);
    EXPECT_FALSE(form->Image4(21).framed);
    EXPECT_EQ(text(), before);
    EXPECT_EQ(count(1), 1);
}

TEST_F(PlacementTest, RightClickOnTheCursorChangesNothing) {
    moveTo(300, 100);
    const int picture = form->Image4(0).picture;
    clickAt(300, 100, Qt::RightButton);
    EXPECT_EQ(state().view.curLength, 8);
    EXPECT_EQ(form->Image4(0).picture, picture);
    EXPECT_EQ(count(1), 0);
    EXPECT_EQ(text(), "");
}

TEST_F(PlacementTest, LeftAndMiddleClicksOnANoteSelectItAndNothingElse) {
    placeAt(300, 78);
    placeAt(400, 78);
    const std::string before = text();
    clickAt(300, 60, Qt::MiddleButton);
    EXPECT_EQ(state().view.selActive, 1);
    EXPECT_EQ(state().view.selGlyph, 21);
    EXPECT_TRUE(form->Image4(21).framed);
    EXPECT_EQ(form->Label6->text().toStdString(),
              " 300 60 15 1 " + state().tables.rowNames[27] + "4 27");
    clickAt(400, 60);
    EXPECT_EQ(state().view.selGlyph, 22);
    EXPECT_FALSE(form->Image4(21).framed);
    EXPECT_TRUE(form->Image4(22).framed);
    EXPECT_EQ(count(1), 2);
    EXPECT_EQ(text(), before);
    // A middle click on the cursor places, and unselects.
    clickAt(600, 30, Qt::MiddleButton);
    EXPECT_EQ(count(2), 1);
    EXPECT_EQ(state().view.selActive, 0);
    EXPECT_FALSE(form->Image4(22).framed);
}

TEST_F(PlacementTest, AClickOnAGlyphGivesTheCanvasTheKeys) {
    form->Text1->setFocus();
    placeAt(300, 78);
    EXPECT_EQ(form->focusWidget(), canvas());
    form->Text1->setFocus();
    clickAt(300, 60, Qt::RightButton);
    EXPECT_EQ(form->focusWidget(), canvas());
    form->Text1->setFocus();
    clickAt(300, 60);
    EXPECT_EQ(form->focusWidget(), canvas());
}

TEST_F(PlacementTest, ATrackGrowsToItsLastPlacedMeasure) {
    EXPECT_EQ(state().piece.score[0].lastMeasure, 3);
    scrollTo(4);
    placeAt(300, 78);  // measure 5
    EXPECT_EQ(state().piece.score[0].lastMeasure, 5);
    EXPECT_EQ(form->Slider1->maximum(), 6);
    scrollTo(0);
    placeAt(500, 78);  // measure 2
    EXPECT_EQ(state().piece.score[0].lastMeasure, 5);
    EXPECT_EQ(form->Slider1->maximum(), 6);
    scrollTo(197);
    placeAt(800, 78);  // measure 200, the last
    EXPECT_EQ(count(200), 1);
    EXPECT_EQ(state().piece.score[0].lastMeasure, 200);
    EXPECT_EQ(form->Slider1->maximum(), 201);
}

// The slider shows the length of the track in view, after a track change and
// after a placement is taken back or done again.
TEST_F(PlacementTest, TheSliderShowsTheLengthOfTheTrackInView) {
    scrollTo(4);
    placeAt(300, 78);  // measure 5 of the first track
    ASSERT_EQ(form->Slider1->maximum(), 6);
    QTest::mouseClick(form->Command4, Qt::LeftButton);  // the second track, measures 0..3
    EXPECT_EQ(form->Slider1->maximum(), 4);
    QTest::mouseClick(form->Command3, Qt::LeftButton);
    EXPECT_EQ(form->Slider1->maximum(), 6);
    QTest::mouseClick(form->Command4, Qt::LeftButton);
    form->undo();  // the first track comes back into view without the note
    ASSERT_EQ(state().view.curTrack, 0);
    EXPECT_EQ(form->Slider1->maximum(), 4);
    form->redo();
    EXPECT_EQ(form->Slider1->maximum(), 6);
}

TEST_F(PlacementTest, AFullMeasureRefusesWithANotice) {
    for (int i = 0; i < 20; ++i)
        test::appendSlot(state(), 0, 1, 9, 8, 190);
    form->dispn(0);
    form->Text1->setPlainText("O4C4 ");
    placeAt(300, 30);
    EXPECT_EQ(count(1), 20);
    EXPECT_EQ(text(), "O4C4 ");
    EXPECT_TRUE(sequencer.commands.empty());
    EXPECT_EQ(form->Notice->text(), QStringLiteral("1小節に置けるのは20個までです"));
    EXPECT_TRUE(form->Notice->isVisible());
    placeAt(500, 30);  // the next measure still takes notes
    EXPECT_EQ(count(2), 1);
}

}  // namespace
}  // namespace tsuzuri
