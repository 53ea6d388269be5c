#include "view/score_canvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "view/event_codes.h"
#include "view/glyph_art.h"
#include "view/measure_numbers.h"

namespace tsuzuri {

ScoreCanvas::ScoreCanvas(QWidget* parent) : BorderedPanel(parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(false);
    setCursor(Qt::BlankCursor);  // the cursor glyph follows the pointer from the start
}

void ScoreCanvas::placeChild(QWidget* child, int x, int y, int width, int height) {
    child->setGeometry(x + kBorder, y + kBorder, width, height);
}

// A glyph takes the clicks that land on what is drawn of it. An element
// without a picture keeps its empty box; the cursor glyph also takes the
// pointer it follows, wherever its art lies relative to the pointer.
bool ScoreCanvas::glyphHit(int i, double x, double y) const {
    const GlyphItem& item = image4[i];
    if (item.picture == kNoPicture)
        return item.contains(x, y);
    if (clickArea(item.picture).translated(item.left, item.top).contains(x, y))
        return true;
    return i == 0 && x >= item.spotX && x < item.spotX + 1 && y >= item.spotY &&
           y < item.spotY + 4;
}

int ScoreCanvas::image4At(double x, double y) const {
    for (int i = static_cast<int>(image4.size()) - 1; i >= 0; --i) {
        if (glyphHit(i, x, y))
            return i;
    }
    return -1;
}

// The drawn art of the key signature and of the notes in view, which the
// measure numbers keep clear of; the cursor glyph, which follows the pointer,
// is not among them.
std::vector<QRectF> ScoreCanvas::numberObstacles() const {
    std::vector<QRectF> art;
    auto add = [&art](const GlyphItem& item) {
        if (item.picture != kNoPicture)
            art.push_back(clickArea(item.picture).translated(item.left, item.top));
    };
    for (const GlyphItem& item : image3)
        add(item);
    for (int i = 1; i < static_cast<int>(image4.size()); ++i)
        add(image4[i]);
    return art;
}

void ScoreCanvas::showArrowPointer(bool show) {
    const Qt::CursorShape shape = show ? Qt::ArrowCursor : Qt::BlankCursor;
    if (cursor().shape() != shape)
        setCursor(shape);
}

void ScoreCanvas::paintEvent(QPaintEvent* event) {
    QPainter p;
    beginPainting(event, p, Qt::white);
    drawStaffBackground(p);
    const qreal ratio = devicePixelRatioF();
    p.setPen(Qt::black);
    p.drawRect(QRectF(shape1.left, shape1.top, shape1.width - 1, shape1.height - 1));
    for (const GlyphItem& item : image3)
        drawGlyphItem(p, item, ratio);
    drawMeasureNumbers(p, measureNumbers, numberObstacles());
    for (const GlyphItem& item : image4)
        drawLedgerLines(p, item);
    for (const GlyphItem& item : image4)
        drawGlyphItem(p, item, ratio);
}

void ScoreCanvas::mousePressEvent(QMouseEvent* event) {
    const QPointF pos = clientPosition(*event);
    const int index = image4At(pos.x(), pos.y());
    if (index < 0) {
        pressedCanvas_ = true;  // the canvas itself has no press handler
        return;
    }
    pressedGlyph_ = index;
    const GlyphItem& item = image4[index];
    emit glyphMouseDown(index, buttonCode(event->button()), shiftMask(event->modifiers()),
                        (pos.x() - item.left) * kTwipsPerPixel,
                        (pos.y() - item.top) * kTwipsPerPixel);
}

void ScoreCanvas::mouseMoveEvent(QMouseEvent* event) {
    const QPointF pos = clientPosition(*event);
    const int button = buttonMask(event->buttons());
    const int shift = shiftMask(event->modifiers());
    const int index =
        button != 0 ? (pressedCanvas_ ? -1 : pressedGlyph_) : image4At(pos.x(), pos.y());
    if (index < 0) {
        emit canvasMouseMove(button, shift, pos.x(), pos.y());
        return;
    }
    const GlyphItem& item = image4[index];
    emit glyphMouseMove(index, button, shift, (pos.x() - item.left) * kTwipsPerPixel,
                        (pos.y() - item.top) * kTwipsPerPixel);
}

void ScoreCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (event->buttons() == Qt::NoButton) {
        pressedGlyph_ = -1;
        pressedCanvas_ = false;
    }
}

void ScoreCanvas::keyPressEvent(QKeyEvent* event) {
    emit keyDown(keyCode(*event), shiftMask(event->modifiers()));
}

// Tab stays on the canvas: its keys are the editor's, not focus navigation.
bool ScoreCanvas::focusNextPrevChild(bool) {
    return false;
}

}  // namespace tsuzuri
