#include "view/score_canvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "view/event_codes.h"
#include "view/glyph_art.h"

namespace tsuzuri {

ScoreCanvas::ScoreCanvas(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(kBorder);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(false);
}

void ScoreCanvas::placeChild(QWidget* child, int x, int y, int width, int height) {
    child->setGeometry(x + kBorder, y + kBorder, width, height);
}

int ScoreCanvas::image4At(double x, double y) const {
    for (int i = static_cast<int>(image4.size()) - 1; i >= 0; --i) {
        if (image4[i].contains(x, y))
            return i;
    }
    return -1;
}

QPointF ScoreCanvas::clientPosition(const QMouseEvent& event) const {
    return event.position() - QPointF(kBorder, kBorder);
}

void ScoreCanvas::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter p(this);
    const QRect client = contentsRect();
    p.fillRect(client, Qt::white);
    p.setClipRect(client);
    p.translate(client.topLeft());
    drawStaffBackground(p);
    const qreal ratio = devicePixelRatioF();
    p.setPen(Qt::black);
    p.drawRect(QRectF(shape1.left, shape1.top, shape1.width - 1, shape1.height - 1));
    for (const GlyphItem& item : image3)
        drawGlyphItem(p, item, ratio);
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
