#include <QLabel>

#include "score/canvas_driver.h"
#include "score/canvas_geometry.h"

namespace tsuzuri {
namespace {

using PointerTest = test::CanvasTest;

TEST_F(PointerTest, ColumnsStartAt65AndTheReadOutCountsMeasuresFromOne) {
    moveTo(264, 80);
    EXPECT_EQ(state().pointer.viewCol, 0);
    EXPECT_EQ(state().pointer.mouseMeasure, 0);
    EXPECT_EQ(form->Label10->text(), QStringLiteral("第 1小節"));
    moveTo(265, 80);
    EXPECT_EQ(state().pointer.viewCol, 1);
    EXPECT_EQ(form->Label10->text(), QStringLiteral("第 2小節"));
    scrollTo(4);
    moveTo(700, 80);
    EXPECT_EQ(state().pointer.mouseMeasure, 7);
    EXPECT_EQ(form->Label10->text(), QStringLiteral("第 8小節"));
    // Over the clefs the first column still counts.
    moveTo(30, 80);
    EXPECT_EQ(state().pointer.viewCol, 0);
    EXPECT_EQ(form->Image4(0).left, 24);
}

TEST_F(PointerTest, PositionsAreRoundedHalfToEvenAndTheGlyphFromTheFloor) {
    moveTo(250.5, 80.5);
    EXPECT_EQ(state().pointer.mouseX, 250);
    EXPECT_EQ(state().pointer.mouseY, 80);
    moveTo(251.5, 78.5);
    EXPECT_EQ(state().pointer.mouseX, 252);
    EXPECT_EQ(state().pointer.mouseY, 78);
    EXPECT_EQ(form->Image4(0).left, 245);
    EXPECT_EQ(form->Label2->text(), "251.5");
    EXPECT_EQ(form->Label3->text(), "46");
    // x, y, y step, column, the row's name, the length text.
    EXPECT_EQ(form->Label6->text().toStdString(),
              " 252 78 20 0 " + state().tables.rowNames[22] + "4");
    moveTo(300, 80);
    EXPECT_EQ(form->Label2->text(), "300");
}

TEST_F(PointerTest, DraggedBelowTheStaffTheRowStopsAt156AndFarBelowTheGlyphStays) {
    QTest::mousePress(canvas(), Qt::LeftButton, {}, at(400, 60));  // no glyph there
    QTest::mouseMove(canvas(), at(400, 170));
    EXPECT_EQ(state().pointer.mouseY, 156);
    EXPECT_EQ(form->Image4(0).top, 172 - 34);  // positioned for y 170, stem up
    const QString x = form->Label2->text(), top = form->Label3->text(),
                  landing = form->Label4->text();
    QTest::mouseMove(canvas(), at(500, 250));
    EXPECT_EQ(state().pointer.mouseX, 500);
    EXPECT_EQ(state().pointer.mouseMeasure, 2);
    EXPECT_EQ(form->Label10->text(), QStringLiteral("第 3小節"));
    EXPECT_TRUE(form->Label6->text().startsWith(" 500 156"));
    EXPECT_EQ(form->Image4(0).top, 138);
    EXPECT_EQ(form->Image4(0).left, 394);
    EXPECT_EQ(form->Label2->text(), x);
    EXPECT_EQ(form->Label3->text(), top);
    EXPECT_EQ(form->Label4->text(), landing);
    QTest::mouseRelease(canvas(), Qt::LeftButton, {}, at(500, 250));
}

TEST_F(PointerTest, FarAboveTheCanvasTheReadOutNamesNoPitch) {
    QTest::mousePress(canvas(), Qt::LeftButton, {}, at(400, 60));
    QTest::mouseMove(canvas(), at(400, -218));  // row 96, which has no pitch
    EXPECT_EQ(form->Label6->text(), " 400-218-54 1 4");
    QTest::mouseMove(canvas(), at(400, -400));
    EXPECT_EQ(form->Label6->text(), " 400-400-99 1 4");
    QTest::mouseRelease(canvas(), Qt::LeftButton, {}, at(400, -400));
}

TEST_F(PointerTest, StemBandsGiveTheGlyphTopAndCode) {
    struct Case {
        int length, y, top, code, dir;
    };
    for (const Case& c : {Case{8, 80, 46, 8, 1}, Case{8, 100, 92, -8, -1}, Case{8, 40, 32, -8, -1},
                          Case{8, 61, 52, -8, -1}, Case{8, 62, 30, 8, 1}, Case{8, 110, 78, 8, 1},
                          Case{14, 80, 70, -14, -1}, Case{12, 120, 110, -12, -1}}) {
        choosePalette(c.length);
        moveTo(300, c.y);
        EXPECT_EQ(state().pointer.glyphTop, c.top) << c.length << " at " << c.y;
        EXPECT_EQ(form->Image4(0).top, c.top) << c.y;
        EXPECT_EQ(form->Image4(0).left, 294) << c.y;
        EXPECT_EQ(state().pointer.glyphCode, c.code) << c.y;
        EXPECT_EQ(state().pointer.stemDir, c.dir) << c.y;
    }
}

TEST_F(PointerTest, ThePictureSwitchesOnlyWhenTheBandChanges) {
    moveTo(300, 80);
    EXPECT_EQ(form->Image4(0).picture, palettePicture(8));
    moveTo(300, 100);
    EXPECT_EQ(form->Image4(0).picture, stemDownPicture(8));
    form->Image4(0).picture = palettePicture(3);
    moveTo(300, 104);  // same band: the picture is left alone
    EXPECT_EQ(form->Image4(0).picture, palettePicture(3));
    choosePalette(14);
    moveTo(300, 80);  // a rest keeps the picture the palette gave it
    EXPECT_EQ(form->Image4(0).picture, palettePicture(14));
}

TEST_F(PointerTest, TheCursorHidesOverTheWindowAndComesBack) {
    moveTo(300, 80);
    const QPoint background(5, 150);
    ASSERT_EQ(form->childAt(background), nullptr);
    QTest::mouseMove(form.get(), background);
    EXPECT_EQ(form->Image4(0).top, kHiddenCursorTop);
    moveTo(300, 80);
    EXPECT_EQ(form->Image4(0).top, 46);
}

TEST_F(PointerTest, TrackingGoesOnOverNoteGlyphs) {
    placeAt(300, 78);
    ASSERT_EQ(count(1), 1);
    const GlyphItem& note = form->Image4(21);
    ASSERT_EQ(note.left, 294);
    QTest::mouseMove(canvas(), at(297, 60));  // over the note's glyph
    EXPECT_EQ(state().pointer.mouseX, 297);
    EXPECT_EQ(state().pointer.mouseY, 60);
    EXPECT_EQ(form->Image4(0).left, 291);
    EXPECT_EQ(form->Image4(0).top, 52);
}

TEST_F(PointerTest, Label4ShowsTheMeasureAndSlotAClickWouldFill) {
    placeAt(300, 78);  // measure 1, x offset 224
    moveTo(280, 30);
    EXPECT_EQ(form->Label4->text(), " 1: 0");
    moveTo(320, 30);
    EXPECT_EQ(form->Label4->text(), " 1: 1");
    moveTo(100, 30);
    EXPECT_EQ(form->Label4->text(), " 0: 0");
}

}  // namespace
}  // namespace tsuzuri
