#include <QPlainTextEdit>
#include <QPushButton>

#include "score/canvas_driver.h"
#include "score/canvas_geometry.h"

namespace tsuzuri {
namespace {

class DeletionTest : public test::CanvasTest {
protected:
    // Notes A, B, C in measure 1 on rows 22, 23, 24, drawn by glyphs 21..23.
    void threeNotes() {
        placeAt(300, 78);
        placeAt(350, 74);
        placeAt(400, 70);
        ASSERT_EQ(count(1), 3);
    }
    void pressCross() { QTest::mouseClick(form->Command17, Qt::LeftButton); }
};

TEST_F(DeletionTest, DeleteClosesTheGapAndTheFrameShowsTheNextNote) {
    threeNotes();
    clickAt(352, 60);  // B
    ASSERT_EQ(state().view.selGlyph, 22);
    key(Qt::Key_Delete);
    ASSERT_EQ(count(1), 2);
    EXPECT_EQ(row(1, 0), 22);
    EXPECT_EQ(row(1, 1), 24);
    EXPECT_EQ(attr(1, 1, kAttrX), 124);
    EXPECT_EQ(state().view.selActive, 1);
    EXPECT_TRUE(form->Image4(22).framed);
    EXPECT_EQ(form->Image4(22).left, 394);  // the glyph now shows C
    EXPECT_EQ(form->Image4(23).top, kHiddenNoteTop);
    key(Qt::Key_Delete);
    ASSERT_EQ(count(1), 1);
    EXPECT_EQ(row(1, 0), 22);
    // The text keeps what was placed; the next compile rebuilds it.
    EXPECT_EQ(form->Text1->toPlainText().toStdString(), state().tables.rowNames[22] + "4 " +
                                                            state().tables.rowNames[23] + "4 " +
                                                            state().tables.rowNames[24] + "4 ");
}

TEST_F(DeletionTest, TheCrossRemovesTheLastNoteAndKeepsTheSelection) {
    threeNotes();
    clickAt(402, 60);  // C
    form->Text1->setFocus();
    pressCross();
    ASSERT_EQ(count(1), 2);
    EXPECT_EQ(state().view.selActive, 1);
    EXPECT_EQ(state().view.selGlyph, 23);
    EXPECT_EQ(form->Image4(23).top, kHiddenNoteTop);
    EXPECT_EQ(form->focusWidget(), canvas());
    // The framed glyph shows nothing now: further deletions and edits do
    // nothing, while Left takes the frame back to the last note.
    pressCross();
    key(Qt::Key_Delete);
    key(Qt::Key_Up);
    EXPECT_EQ(count(1), 2);
    EXPECT_EQ(row(1, 1), 23);
    EXPECT_EQ(state().view.selGlyph, 23);
    key(Qt::Key_Left);
    EXPECT_EQ(state().view.selGlyph, 22);
}

TEST_F(DeletionTest, WithoutASelectionNothingIsDeleted) {
    threeNotes();
    pressCross();
    key(Qt::Key_Delete);
    clickAt(352, 60);
    key(Qt::Key_Escape);
    pressCross();
    EXPECT_EQ(count(1), 3);
}

TEST_F(DeletionTest, InAScrolledViewOnlyTheShownMeasureLosesItsNote) {
    placeAt(100, 78);  // measure 0
    placeAt(300, 78);  // measure 1
    placeAt(500, 78);  // measure 2
    scrollTo(1);
    clickAt(100, 60);  // measure 1, now in the first column
    ASSERT_EQ(state().view.selGlyph, 21);
    key(Qt::Key_Delete);
    EXPECT_EQ(count(0), 1);
    EXPECT_EQ(count(1), 0);
    EXPECT_EQ(count(2), 1);
    EXPECT_EQ(form->Image4(41).left, 100 - 6 + 200);
}

}  // namespace
}  // namespace tsuzuri
