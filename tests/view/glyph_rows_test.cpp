// Every note drawn on the line or space of its row, read from the canvas's
// pixels: after placing, after Up and Down, after a palette change of the
// selected note, and after the next full redraw.
#include <QImage>

#include "score/canvas_driver.h"
#include "score/canvas_geometry.h"
#include "view/glyph_art.h"

namespace tsuzuri {
namespace {

class GlyphRowsTest : public test::CanvasTest {
protected:
    static constexpr int kX = 300;  // the pointer x of every placement: measure 1

    // The canvas without the cursor glyph, which follows the pointer, and
    // without the selection frame.
    // The canvas columns from `left` - 2, 16 wide, at full height.
    QImage canvasImage(int left) {
        const double top = form->Image4(0).top;
        const bool framed = form->Image4(21).framed;
        form->Image4(0).top = -111;
        form->Image4(21).framed = false;
        const QImage image =
            canvas()
                ->grab(canvas()->contentsRect().adjusted(left - 2, 0, 0, 0).intersected(
                    QRect(canvas()->contentsRect().x() + left - 2, 0, 16, 1000)))
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
        form->Image4(0).top = top;
        form->Image4(21).framed = framed;
        return image;
    }

    void checkLengths(int from, int to);
    static bool dark(QRgb pixel) { return qGray(pixel) < 110; }

    // Checks the note glyph drawn with its left edge at `left` for staff row
    // `row`: its head centred on the row's line or space (4 pixels above the
    // row's snapped y) within a pixel, and for stemmed notes its stem on the
    // side the row's band gives. Heads out of the canvas are not checked.
    void expectOnRow(int left, int row, int length, const char* when) {
        const int headRow = rowSnappedY(row) - 4;
        if (headRow < 8 || headRow > 146)
            return;
        const QImage image = canvasImage(left);
        auto darkAt = [&](int x, int y) { return dark(image.pixel(x - left + 2, y)); };
        // Head columns, clear of the stems at left + 1 and left + 8.
        double sum = 0;
        int count = 0;
        for (int y = headRow - 6; y <= headRow + 6; ++y) {
            for (int x = left + 2; x <= left + 7; ++x) {
                if (darkAt(x, y)) {
                    sum += y + 0.5;
                    ++count;
                }
            }
        }
        ASSERT_GT(count, 8) << when << ": length " << length << " row " << row;
        EXPECT_NEAR(sum / count, headRow + 0.5, 1.0) << when << ": length " << length << " row " << row;
        if (length >= 12)
            return;
        auto stemInk = [&](int x, int from, int to) {
            int ink = 0;
            for (int y = std::max(from, 0); y <= std::min(to, image.height() - 1); ++y)
                ink += darkAt(x, y) ? 1 : 0;
            return ink;
        };
        const bool down = stemBand(rowSnappedY(row)) < 0;
        const int upInk = stemInk(left + 8, headRow - 20, headRow - 8);
        const int downInk = stemInk(left + 1, headRow + 8, headRow + 20);
        EXPECT_GT(down ? downInk : upInk, 10) << when << ": length " << length << " row " << row;
        EXPECT_LT(down ? upInk : downInk, 3) << when << ": length " << length << " row " << row;
    }

    // Checks the drawing now and after a full redraw.
    void expectOnRowNowAndRedrawn(int left, int row, int length, const char* when) {
        expectOnRow(left, row, length, when);
        form->dispn(state().view.firstMeasure);
        expectOnRow(left, row, length, when);
    }

    void clearMeasures() {
        key(Qt::Key_Escape);
        for (int m : {1, 2})
            state().piece.score[0].measures[m] = Measure{};
        form->dispn(state().view.firstMeasure);
    }
};

// For every note length at every row a click reaches: place, select by the
// head, Up, Down, Down, then a palette change to another length. After each
// edit the stored glyph top and code are those a click on that row stores.
void GlyphRowsTest::checkLengths(int from, int to) {
    for (int length = from; length <= to; ++length) {
        for (int row = 3; row <= 42; ++row) {
            clearMeasures();
            choosePalette(length);
            const int y = rowSnappedY(row) + row % 4 - 2;  // every pointer y of a row in turn
            placeAt(kX, y);
            ASSERT_EQ(count(1), 1);
            ASSERT_EQ(this->row(1, 0), row);
            const int left = kX - 6;
            expectOnRowNowAndRedrawn(left, row, length, "placed");
            clickAt(left + 5, rowSnappedY(row) - 4);  // on the head
            ASSERT_EQ(state().view.selGlyph, 21) << "length " << length << " row " << row;
            // A click on the same row of the next measure stores the reference.
            auto expectAsPlaced = [&](int atRow, int len, const char* when) {
                state().piece.score[0].measures[2] = Measure{};
                const int saved = state().view.curLength;
                state().view.curLength = static_cast<std::int16_t>(len);
                moveTo(kX + 200, rowSnappedY(atRow));
                QTest::mouseClick(canvas(), Qt::LeftButton, {}, at(kX + 200, rowSnappedY(atRow)));
                state().view.curLength = static_cast<std::int16_t>(saved);
                ASSERT_EQ(count(2), 1) << when;
                EXPECT_EQ(attr(1, 0, kAttrTop), attr(2, 0, kAttrTop)) << when << " row " << atRow;
                EXPECT_EQ(attr(1, 0, kAttrCode), attr(2, 0, kAttrCode)) << when << " row " << atRow;
                state().piece.score[0].measures[2] = Measure{};
                key(Qt::Key_Escape);
                form->dispn(state().view.firstMeasure);
                clickAt(left + 5, rowSnappedY(atRow) - 4);
                ASSERT_EQ(state().view.selGlyph, 21) << when;
            };
            key(Qt::Key_Up);
            expectOnRowNowAndRedrawn(left, row + 1, length, "up");
            key(Qt::Key_Down);
            expectOnRowNowAndRedrawn(left, row, length, "up, down");
            key(Qt::Key_Down);
            expectOnRowNowAndRedrawn(left, row - 1, length, "up, down, down");
            expectAsPlaced(row - 1, length, "keys");
            const int other = (length + 5) % 14;
            choosePalette(other);
            expectOnRowNowAndRedrawn(left, row - 1, other, "palette");
            expectAsPlaced(row - 1, other, "palette");
            if (HasFailure())
                return;
        }
    }
}

// The centre of what is drawn of a picture: the middle of its ink's box.
QPointF inkCentre(int picture) {
    const QImage image = picturePixmap(picture, 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 128) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return {(left + right + 1) / 2.0, (top + bottom + 1) / 2.0};
}

// Every palette element at every row and every pointer height of the row:
// the cursor glyph takes a click at the pointer and at the centre of its art,
// and a real click there places the element on that row. Placed, the glyph
// takes a click at its art's centre and none a few pixels right of its art.
TEST_F(GlyphRowsTest, EveryPaletteElementTakesTheClickWhereItIsDrawn) {
    for (int element = 0; element < kPaletteCount; ++element) {
        if (element == kSelectionToolIndex)
            continue;
        clearMeasures();
        choosePalette(element);
        for (int row = 3; row <= 42; ++row) {
            for (int dy = -2; dy <= 1; ++dy) {
                const int y = rowSnappedY(row) + dy;
                moveTo(kX + 0.5, y + 0.5);
                const GlyphItem& cursor = form->Image4(0);
                const QPointF centre = QPointF(cursor.left, cursor.top) + inkCentre(cursor.picture);
                EXPECT_EQ(canvas()->image4At(kX + 0.5, y + 0.5), 0) << element << " at y " << y;
                EXPECT_EQ(canvas()->image4At(centre.x(), centre.y()), 0) << element << " at y " << y;
            }
        }
        const int row = 10 + element % 30;
        placeAt(kX, rowSnappedY(row));
        ASSERT_EQ(count(1), 1) << element;
        EXPECT_EQ(this->row(1, 0), row) << element;
        const GlyphItem& placed = form->Image4(21);
        const QPointF centre = QPointF(placed.left, placed.top) + inkCentre(placed.picture);
        EXPECT_EQ(canvas()->image4At(centre.x(), centre.y()), 21) << element;
        const QRectF art = clickArea(placed.picture).translated(placed.left, placed.top);
        EXPECT_LE(art.right(), placed.left + pictureSize(placed.picture).width + 1) << element;
        EXPECT_NE(canvas()->image4At(art.right() + 3, centre.y()), 21) << element;
        if (HasFailure())
            return;
    }
}

TEST_F(GlyphRowsTest, EveryEditDrawsShortNotesOnTheirRows) {
    checkLengths(0, 6);  // sixty-fourth to eighth, stem-down sixty-fourths among them
}

TEST_F(GlyphRowsTest, EveryEditDrawsLongNotesOnTheirRows) {
    checkLengths(7, 13);
}

}  // namespace
}  // namespace tsuzuri
