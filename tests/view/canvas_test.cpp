#include <QSignalSpy>
#include <QTest>

#include "support/form_fixture.h"
#include "view/event_codes.h"
#include "view/keyboard_panel.h"
#include "view/score_canvas.h"

namespace tsuzuri {
namespace {

using CanvasTest = test::FormTest;

QPoint onCanvas(double x, double y) {
    return QPoint(static_cast<int>(x) + ScoreCanvas::kBorder,
                  static_cast<int>(y) + ScoreCanvas::kBorder);
}

TEST_F(CanvasTest, ANoteGlyphLiesAboveTheCursorGlyph) {
    ScoreCanvas* canvas = form->Picture2;
    canvas->image4[0] = {100, 50, 8, false, {}};
    canvas->image4[5] = {104, 52, 8, false, {24, 34}};
    QSignalSpy down(canvas, &ScoreCanvas::glyphMouseDown);
    QTest::mousePress(canvas, Qt::LeftButton, Qt::ShiftModifier, onCanvas(110, 60));
    ASSERT_EQ(down.count(), 1);
    EXPECT_EQ(down[0][0].toInt(), 5);
    EXPECT_EQ(down[0][1].toInt(), kLeftButton);
    EXPECT_EQ(down[0][2].toInt(), kShiftMask);
    EXPECT_DOUBLE_EQ(down[0][3].toDouble(), 6 * 15.0);  // twips relative to the glyph
    EXPECT_DOUBLE_EQ(down[0][4].toDouble(), 8 * 15.0);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, onCanvas(110, 60));
    // The left end of the cursor glyph's head, clear of the note's art.
    QTest::mousePress(canvas, Qt::RightButton, {}, onCanvas(100, 80));
    ASSERT_EQ(down.count(), 2);
    EXPECT_EQ(down[1][0].toInt(), 0);
    EXPECT_EQ(down[1][1].toInt(), kRightButton);
    QTest::mouseRelease(canvas, Qt::RightButton, {}, onCanvas(100, 80));
    // Right of the note's head and stem nothing is drawn: the canvas's own.
    QTest::mousePress(canvas, Qt::LeftButton, {}, onCanvas(118, 84));
    EXPECT_EQ(down.count(), 2);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, onCanvas(118, 84));
}

TEST_F(CanvasTest, MovesReachTheCanvasInPixelsOrTheGlyphUnderThePointer) {
    ScoreCanvas* canvas = form->Picture2;
    for (int i = 0; i < kImage4Count; ++i)
        canvas->image4[i].top = -100;
    canvas->image4[3] = {200, 40, 8, false, {24, 34}};
    QSignalSpy onCanvasMoves(canvas, &ScoreCanvas::canvasMouseMove);
    QSignalSpy onGlyph(canvas, &ScoreCanvas::glyphMouseMove);
    QTest::mouseMove(canvas, onCanvas(300, 90));
    ASSERT_EQ(onCanvasMoves.count(), 1);
    EXPECT_DOUBLE_EQ(onCanvasMoves[0][2].toDouble(), 300);
    EXPECT_DOUBLE_EQ(onCanvasMoves[0][3].toDouble(), 90);
    QTest::mouseMove(canvas, onCanvas(205, 50));
    ASSERT_EQ(onGlyph.count(), 1);
    EXPECT_EQ(onGlyph[0][0].toInt(), 3);
}

TEST_F(CanvasTest, BlackKeysLieAboveTheirWhiteNeighbours) {
    KeyboardPanel* panel = form->Picture1;
    // Key 1 (C#) spans x 16..33 over white keys 0 (0..25) and 2 (26..51).
    EXPECT_EQ(panel->keyAt(20, 30), 1);
    EXPECT_EQ(panel->keyAt(20, 80), 0);  // below the black key
    EXPECT_EQ(panel->keyAt(30, 30), 1);
    EXPECT_EQ(panel->keyAt(30, 80), 2);
    QSignalSpy down(panel, &KeyboardPanel::keyMouseDown);
    QSignalSpy up(panel, &KeyboardPanel::keyMouseUp);
    QTest::mousePress(panel, Qt::LeftButton, {},
                      QPoint(20 + KeyboardPanel::kBorder, 30 + KeyboardPanel::kBorder));
    QTest::mouseRelease(panel, Qt::LeftButton, {},
                        QPoint(60, 80));  // released elsewhere: the pressed key
    ASSERT_EQ(down.count(), 1);
    ASSERT_EQ(up.count(), 1);
    EXPECT_EQ(down[0][0].toInt(), 1);
    EXPECT_DOUBLE_EQ(down[0][3].toDouble(), 4 * 15.0);
    EXPECT_DOUBLE_EQ(down[0][4].toDouble(), 30 * 15.0);
    EXPECT_EQ(up[0][0].toInt(), 1);
}

}  // namespace
}  // namespace tsuzuri
