#include <gtest/gtest.h>

#include <limits>

#include "score/canvas_geometry.h"
#include "score/deletion.h"
#include "score/key_edit.h"
#include "score/placement.h"
#include "score/pointer.h"
#include "score/readout.h"
#include "score/score_ops.h"
#include "support/score_builder.h"

namespace tsuzuri {
namespace {

using test::appendSlot;

struct ScoreLogicTest : ::testing::Test {
    // The pointer at canvas position x, y, the cursor glyph positioned there.
    void pointer(double x, double y) {
        trackPointer(*s, x, y);
        disp(*s, image4[0], pointerPixel(x), pointerPixel(y));
    }
    void selectSlot(int m, int slot) {
        s->view.selActive = 1;
        s->view.selGlyph = static_cast<std::int16_t>(glyphForSlot(m, slot));
    }
    std::unique_ptr<EditorState> s = test::newState();
    GlyphTable image4;
};

TEST_F(ScoreLogicTest, PointerRoundingTiesGoToEven) {
    EXPECT_EQ(roundPointer(2.5), 2);
    EXPECT_EQ(roundPointer(3.5), 4);
    EXPECT_EQ(roundPointer(-2.5), -2);
    EXPECT_EQ(roundPointer(-3.5), -4);
    EXPECT_EQ(roundPointer(7.49), 7);
    EXPECT_EQ(pointerPixel(-0.5), -1);
    // Positions no screen holds stay inside 16 bits instead of wrapping.
    EXPECT_EQ(roundPointer(1e9), 32000);
    EXPECT_EQ(roundPointer(-1e9), -32000);
    EXPECT_EQ(plainNumber(250), "250");
    EXPECT_EQ(plainNumber(250.25), "250.25");
    EXPECT_EQ(plainNumber(-3.5), "-3.5");
}

TEST_F(ScoreLogicTest, PlacementOutsideTheScoreIsRefusedAndChangesNothing) {
    s->view.firstMeasure = 197;
    pointer(900, 78);  // a fifth column: measure 201
    ASSERT_EQ(s->pointer.mouseMeasure, 201);
    Placement p = placeNote(*s, s->pointer);
    EXPECT_FALSE(p.placed);
    EXPECT_FALSE(p.refusal.empty());
    EXPECT_EQ(s->piece.score[0].lastMeasure, 3);
    s->view.firstMeasure = 0;
    pointer(-200, 78);  // dragged far left: measure -1
    ASSERT_EQ(s->pointer.mouseMeasure, -1);
    EXPECT_FALSE(placeNote(*s, s->pointer).placed);
    pointer(300, -218);  // row 96 has no pitch
    p = placeNote(*s, s->pointer);
    EXPECT_FALSE(p.placed);
    EXPECT_EQ(p.refusal, "この高さには置けません");
    EXPECT_EQ(s->piece.score[0].measures[1].noteCount, 0);
    pointer(300, -214);  // row 95 is the highest
    EXPECT_TRUE(placeNote(*s, s->pointer).placed);
    EXPECT_EQ(s->piece.score[0].measures[1].noteRow[0], 95);
}

TEST_F(ScoreLogicTest, AMeasureHoldsTwentyNotes) {
    pointer(300, 78);
    for (int i = 0; i < kMaxNotesPerMeasure; ++i)
        ASSERT_TRUE(placeNote(*s, s->pointer).placed) << i;
    const Placement p = placeNote(*s, s->pointer);
    EXPECT_FALSE(p.placed);
    EXPECT_EQ(p.text, "");
    EXPECT_FALSE(p.preview);
    EXPECT_EQ(s->piece.score[0].measures[1].noteCount, kMaxNotesPerMeasure);
}

TEST_F(ScoreLogicTest, PlacementReportsTextPreviewAndGrowth) {
    s->view.firstMeasure = 4;
    pointer(700, 78);  // measure 7
    const Placement p = placeNote(*s, s->pointer);
    EXPECT_EQ(p.text, s->tables.rowNames[22] + "4 ");
    EXPECT_TRUE(p.preview);
    EXPECT_EQ(p.previewNote, s->tables.rowMidi[22]);
    EXPECT_TRUE(p.trackGrew);
    EXPECT_EQ(s->piece.score[0].lastMeasure, 7);
}

// With twenty notes the last slot's glyph number is a multiple of 20; the
// frame still stops at the measure's end instead of entering the next block.
TEST_F(ScoreLogicTest, RightStopsAtTheTwentiethNote) {
    for (int i = 0; i < 20; ++i)
        appendSlot(*s, 0, 0, 22, 8, 5 * i);
    appendSlot(*s, 0, 1, 22, 8);
    selectSlot(0, 19);
    editWithKey(*s, image4, CanvasKey::Right, 0);
    EXPECT_EQ(s->view.selGlyph, 20);
    EXPECT_TRUE(image4[20].framed);
    EXPECT_FALSE(image4[21].framed);
    editWithKey(*s, image4, CanvasKey::Left, 0);
    EXPECT_EQ(s->view.selGlyph, 19);
}

TEST_F(ScoreLogicTest, KeyEditsAndDeletionIgnoreAGlyphWithoutANote) {
    appendSlot(*s, 0, 0, 22, 8);
    selectSlot(0, 1);  // the slot after the only note
    for (CanvasKey k : {CanvasKey::Right, CanvasKey::Up, CanvasKey::Down})
        editWithKey(*s, image4, k, 0);
    editWithKey(*s, image4, CanvasKey::Left, kShiftOnly);
    EXPECT_FALSE(editWithKey(*s, image4, CanvasKey::Delete, 0).deleteNote);
    EXPECT_FALSE(deleteSelected(*s));
    EXPECT_EQ(s->view.selGlyph, 2);
    EXPECT_EQ(s->piece.score[0].measures[0].noteRow[1], 0);
    EXPECT_EQ(s->piece.score[0].measures[0].noteAttr[1][kAttrTop], 0);
    editWithKey(*s, image4, CanvasKey::Left, 0);  // the frame goes back to the note
    EXPECT_EQ(s->view.selGlyph, 1);
    EXPECT_TRUE(deleteSelected(*s));
    EXPECT_FALSE(deleteSelected(*s));
    EXPECT_EQ(s->piece.score[0].measures[0].noteCount, 0);
}

TEST_F(ScoreLogicTest, TheGlyphTopStaysInside16Bits) {
    appendSlot(*s, 0, 0, 22, 8);
    auto& top = s->piece.score[0].measures[0].noteAttr[0][kAttrTop];
    top = std::numeric_limits<std::int16_t>::min();
    selectSlot(0, 0);
    editWithKey(*s, image4, CanvasKey::Left, kShiftOnly);
    EXPECT_EQ(top, std::numeric_limits<std::int16_t>::min());
    top = std::numeric_limits<std::int16_t>::max();
    editWithKey(*s, image4, CanvasKey::Right, kShiftOnly);
    EXPECT_EQ(top, std::numeric_limits<std::int16_t>::max());
    // Up and Down give the top of the new row, whatever the old top was.
    editWithKey(*s, image4, CanvasKey::Up, 0);
    EXPECT_EQ(s->piece.score[0].measures[0].noteRow[0], 23);
    EXPECT_EQ(top, 76 - 34);
}

TEST_F(ScoreLogicTest, TheSelectionFollowsTheDrawnView) {
    appendSlot(*s, 0, 5, 22, 8);
    s->view.firstMeasure = 4;
    selectSlot(5, 0);  // glyph 21: measure 5 of the view 4..7
    ASSERT_TRUE(selectedNote(*s));
    EXPECT_EQ(selectedNote(*s)->measure, 5);
    s->view.firstMeasure = 6;  // the same glyph shows measure 9 now, which is empty
    EXPECT_FALSE(selectedNote(*s));
    s->view.selGlyph = 81;  // not a glyph of the view
    EXPECT_FALSE(selectedNote(*s));
}

}  // namespace
}  // namespace tsuzuri
