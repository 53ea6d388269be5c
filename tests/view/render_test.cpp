#include <gtest/gtest.h>

#include "score/canvas_geometry.h"
#include "support/score_builder.h"
#include "view/render.h"

namespace tsuzuri {
namespace {

using test::appendSlot;

struct RenderTest : ::testing::Test {
    void SetUp() override {
        for (int i = 0; i < kImage4Count; ++i) {
            image4[i].top = 5;
            image4[i].left = 7;
            image4[i].picture = 3;
        }
    }
    // A note with x offset x, glyph top `top` and glyph code `code`.
    void note(int m, int x, int top, int code, int t = 0) {
        appendSlot(*s, t, m, 20, code, x);
        Measure& measure = s->piece.score[t].measures[m];
        measure.noteAttr[measure.noteCount - 1][kAttrTop] = static_cast<std::int16_t>(top);
    }
    std::unique_ptr<EditorState> s = test::newState();
    GlyphTable image4;
};

TEST_F(RenderTest, AnEmptyTrackHidesEveryNoteElementAndNothingElse) {
    dispn(*s, image4, 0);
    for (int i = 1; i <= kNoteGlyphs; ++i)
        EXPECT_EQ(image4[i].top, kHiddenNoteTop) << i;
    for (int i : {0, 81}) {
        EXPECT_EQ(image4[i].top, 5) << i;
        EXPECT_EQ(image4[i].left, 7) << i;
        EXPECT_EQ(image4[i].picture, 3) << i;
    }
}

TEST_F(RenderTest, MeasuresKeepTheirElementBlockWhereverTheyAreShown) {
    for (int m = 5; m <= 8; ++m)
        note(m, 10 * m, 40 + m, 8);
    dispn(*s, image4, 5);
    // Measures 5, 6, 7, 8 use blocks 21.., 41.., 61.. and 1.. in columns 0..3.
    const int element[4] = {21, 41, 61, 1};
    for (int k = 0; k < 4; ++k) {
        const int m = 5 + k;
        EXPECT_EQ(image4[element[k]].left, 10 * m + 200 * k + 70) << m;
        EXPECT_EQ(image4[element[k]].top, 40 + m) << m;
    }
    dispn(*s, image4, 6);  // one measure on: every glyph 200 pixels to the left
    EXPECT_EQ(image4[41].left, 60 + 70);
    EXPECT_EQ(image4[1].left, 80 + 400 + 70);
    EXPECT_EQ(image4[21].top, kHiddenNoteTop);  // measure 5 left the view
}

TEST_F(RenderTest, ThirdColumnOffset) {
    note(2, 100, 50, 8);
    dispn(*s, image4, 0);
    EXPECT_EQ(image4[41].left, 570);
}

TEST_F(RenderTest, PicturesByGlyphCode) {
    const std::pair<int, int> cases[] = {{8, 8},
                                         {0, 0},
                                         {-8, kStemDownBase + 8},
                                         {-12, kStemDownBase + 12},
                                         {-13, 13},
                                         {-14, 14},
                                         {-27, 27},
                                         {-35, 35},
                                         {-34, kNoPicture}};
    for (const auto& [code, picture] : cases)
        note(0, 0, 0, code);
    dispn(*s, image4, 0);
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
        EXPECT_EQ(image4[1 + i].picture, cases[i].second) << "code " << cases[i].first;
    }
}

TEST_F(RenderTest, OnlyTheCurrentTrackIsShown) {
    note(0, 0, 30, 8, 1);
    dispn(*s, image4, 0);
    EXPECT_EQ(image4[1].top, kHiddenNoteTop);
    s->view.curTrack = 1;
    dispn(*s, image4, 0);
    EXPECT_EQ(image4[1].top, 30);
}

TEST_F(RenderTest, AViewStartOutsideTheScoreIsClamped) {
    note(200, 0, 30, 8);
    dispn(*s, image4, 198);  // would read measure 201
    EXPECT_EQ(image4[glyphForSlot(200, 0)].left, 0 + 3 * 200 + 70);
    dispn(*s, image4, -4);
    EXPECT_EQ(clampViewStart(-4), 0);
    EXPECT_EQ(clampViewStart(500), 197);
}

TEST_F(RenderTest, ATwentyFirstNoteOfTheLastBlockTakesElement81) {
    for (int i = 0; i < 21; ++i)
        note(3, i, 60, 6);
    dispn(*s, image4, 0);
    EXPECT_EQ(image4[81].top, 60);
    EXPECT_EQ(image4[81].left, 20 + 600 + 70);
}

}  // namespace
}  // namespace tsuzuri
