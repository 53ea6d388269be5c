#pragma once

#include <QRectF>
#include <vector>

#include "state/table.h"
#include "view/bordered_panel.h"
#include "view/render.h"
#include "score/note_glyph.h"

namespace tsuzuri {

// A rectangle shape drawn on the canvas surface (outline only).
struct ShapeItem {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// The score canvas: a bordered picture box whose background is the grand
// staff, and on it the light glyph elements Image3 (key signature), Image4
// (cursor and note glyphs) and Shape1, painted in stacking order. Coordinates
// are pixels of the client area inside the border. Pointer events go to the
// topmost note glyph under the pointer (position in twips relative to it),
// otherwise to the canvas itself (pixels); a pressed button keeps sending
// moves to what it was pressed on.
class ScoreCanvas : public BorderedPanel {
    Q_OBJECT

public:
    explicit ScoreCanvas(QWidget* parent = nullptr);

    GlyphTable image4;
    Table<GlyphItem, 14> image3;
    ShapeItem shape1;
    // The numbers of the measures in view, drawn above their bar lines.
    MeasureNumbers measureNumbers;

    // The topmost Image4 element whose drawn art (its click area) lies under
    // client position (x, y), or -1.
    int image4At(double x, double y) const;
    // While the cursor glyph follows the pointer the user aims with the
    // glyph's notehead, so the arrow is hidden over the canvas; it shows while
    // the selection tool is chosen.
    void showArrowPointer(bool show);
    // Moves a child widget to client position (x, y) in pixels.
    void placeChild(QWidget* child, int x, int y, int width, int height);

signals:
    void canvasMouseMove(int button, int shift, double x, double y);
    void glyphMouseDown(int index, int button, int shift, double x, double y);
    void glyphMouseMove(int index, int button, int shift, double x, double y);
    void keyDown(int keyCode, int shift);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    bool glyphHit(int i, double x, double y) const;
    std::vector<QRectF> numberObstacles() const;
    int pressedGlyph_ = -1;  // the element a held button was pressed on
    bool pressedCanvas_ = false;
};

}  // namespace tsuzuri
