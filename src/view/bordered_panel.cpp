#include "view/bordered_panel.h"

#include <QMouseEvent>
#include <QPainter>

namespace tsuzuri {

BorderedPanel::BorderedPanel(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(kBorder);
}

QPointF BorderedPanel::clientPosition(const QMouseEvent& event) const {
    return event.position() - QPointF(kBorder, kBorder);
}

void BorderedPanel::beginPainting(QPaintEvent* event, QPainter& p, const QBrush& background) {
    QFrame::paintEvent(event);
    p.begin(this);
    const QRect client = contentsRect();
    p.fillRect(client, background);
    p.setClipRect(client);
    p.translate(client.topLeft());
}

}  // namespace tsuzuri
