// The window as the user sees it, drawn offscreen and checked by its pixels.
#include <QImage>

#include "score/canvas_geometry.h"
#include "support/form_fixture.h"
#include "support/score_builder.h"
#include "view/score_canvas.h"

namespace tsuzuri {
namespace {

struct WindowPictureTest : test::FormTest {
    // The canvas's client area, pixel for pixel.
    QImage canvasImage() {
        return form->Picture2->grab(form->Picture2->contentsRect())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
    static bool dark(QRgb pixel) { return qGray(pixel) < 100; }
    static int darkIn(const QImage& image, int left, int top, int width, int height) {
        int count = 0;
        for (int y = top; y < top + height; ++y) {
            for (int x = left; x < left + width; ++x)
                count += dark(image.pixel(x, y)) ? 1 : 0;
        }
        return count;
    }
};

TEST_F(WindowPictureTest, TheGrandStaffItsBarLinesAndClefs) {
    const QImage image = canvasImage();
    const QRgb line = qRgb(132, 140, 148);
    const QRgb guide = qRgb(222, 222, 247);
    for (int y : {40, 48, 56, 64, 72, 88, 96, 104, 112, 120})
        EXPECT_EQ(image.pixel(150, y), line) << y;
    for (int y : {8, 16, 24, 32, 80, 128, 136, 144})
        EXPECT_EQ(image.pixel(150, y), guide) << y;
    EXPECT_EQ(image.pixel(150, 44), qRgb(255, 255, 255));
    for (int x : {265, 465, 665}) {
        EXPECT_EQ(image.pixel(x, 60), line) << x;
        EXPECT_EQ(image.pixel(x, 100), line) << x;
        EXPECT_EQ(image.pixel(x, 84), qRgb(255, 255, 255)) << "bar lines stop between the staves";
    }
    EXPECT_GT(darkIn(image, 2, 32, 21, 49), 60) << "treble clef";
    EXPECT_GT(darkIn(image, 3, 88, 27, 34), 40) << "bass clef";
}

// Glyphs moved out of sight above the canvas draw no ledger lines there,
// wherever the hidden cursor glyph was left.
TEST_F(WindowPictureTest, HiddenGlyphsLeaveNoLedgerLines) {
    for (double left : {20.0, 150.0, 400.0, 800.0}) {
        form->Image4(0).left = left;
        form->Image4(0).top = -111;
        form->dispn(0);
        const QImage image = canvasImage();
        for (int y : {0, 8, 16, 24, 32, 128, 136, 144}) {
            for (int x = 0; x < image.width(); ++x)
                ASSERT_NE(image.pixel(x, y), qRgb(132, 140, 148)) << x << "," << y;
        }
    }
}

TEST_F(WindowPictureTest, APlacedNoteSitsOnTheLineOfItsPitch) {
    // Row 31, the F on the top treble line, and row 21, middle C on the guide
    // line between the staves: a quarter note placed as the cursor would, stem up.
    for (const auto& [row, lineY] : {std::pair{31, 40}, std::pair{21, 80}}) {
        auto& s = state();
        init(s);
        const int snapped = (kTopRow - row) * 4;
        test::appendSlot(s, 0, 0, row, 8, 30);
        s.piece.score[0].measures[0].noteAttr[0][kAttrTop] =
            static_cast<std::int16_t>(snapped - 34);
        form->dispn(0);
        const QImage image = canvasImage();
        // The notehead: the dark pixels of the glyph below its stem's reach.
        long sumY = 0;
        int count = 0;
        for (int y = lineY - 6; y <= lineY + 6; ++y) {
            for (int x = 100; x < 108; ++x) {
                if (dark(image.pixel(x, y))) {
                    sumY += y;
                    ++count;
                }
            }
        }
        ASSERT_GT(count, 20) << "row " << row;
        EXPECT_NEAR(static_cast<double>(sumY) / count, lineY + 0.5, 1.0) << "row " << row;
    }
}

}  // namespace
}  // namespace tsuzuri
