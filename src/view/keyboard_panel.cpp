#include "view/keyboard_panel.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "view/event_codes.h"
#include "view/glyph_art.h"

namespace tsuzuri {

namespace {

bool isBlack(const GlyphItem& key) {
    return key.picture == kBlackKeyPicture;
}

}  // namespace

KeyboardPanel::KeyboardPanel(QWidget* parent) : BorderedPanel(parent) {
    setFocusPolicy(Qt::ClickFocus);
}

int KeyboardPanel::keyAt(double x, double y) const {
    for (bool black : {true, false}) {
        for (int i = 0; i < static_cast<int>(image1.size()); ++i) {
            if (isBlack(image1[i]) == black && image1[i].contains(x, y))
                return i;
        }
    }
    return -1;
}

void KeyboardPanel::paintEvent(QPaintEvent* event) {
    QPainter p;
    beginPainting(event, p, palette().window());
    const qreal ratio = devicePixelRatioF();
    p.drawPixmap(QPointF(0, 0), picturePixmap(kKeyboardTilePicture, ratio));
    for (bool black : {false, true}) {
        for (const GlyphItem& key : image1) {
            if (isBlack(key) != black)
                continue;
            drawGlyphItem(p, key, ratio);
        }
    }
    p.setPen(QPen(QColor(255, 255, 0), 1));
    for (const LineItem& line : lines) {
        if (line.visible)
            p.drawLine(QPointF(line.x1, line.y1), QPointF(line.x2, line.y2));
    }
}

void KeyboardPanel::mousePressEvent(QMouseEvent* event) {
    const QPointF pos = clientPosition(*event);
    const int index = keyAt(pos.x(), pos.y());
    if (index < 0)
        return;
    pressedKey_ = index;
    const GlyphItem& key = image1[index];
    emit keyMouseDown(index, buttonCode(event->button()), shiftMask(event->modifiers()),
                      (pos.x() - key.left) * kTwipsPerPixel, (pos.y() - key.top) * kTwipsPerPixel);
}

void KeyboardPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (pressedKey_ < 0)
        return;
    const int index = pressedKey_;
    if (event->buttons() == Qt::NoButton)
        pressedKey_ = -1;
    const QPointF pos = clientPosition(*event);
    const GlyphItem& key = image1[index];
    emit keyMouseUp(index, buttonCode(event->button()), shiftMask(event->modifiers()),
                    (pos.x() - key.left) * kTwipsPerPixel, (pos.y() - key.top) * kTwipsPerPixel);
}

void KeyboardPanel::keyPressEvent(QKeyEvent* event) {
    emit keyDown(keyCode(*event), shiftMask(event->modifiers()));
}

}  // namespace tsuzuri
