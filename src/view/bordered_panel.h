#pragma once

#include <QFrame>
#include <QPointF>

class QBrush;
class QMouseEvent;
class QPainter;

namespace tsuzuri {

// A picture box with a sunken two-pixel border. Its drawing and pointer
// coordinates are pixels of the client area inside the border.
class BorderedPanel : public QFrame {
    Q_OBJECT

public:
    static constexpr int kBorder = 2;

    explicit BorderedPanel(QWidget* parent = nullptr);

protected:
    // The pointer position of `event` in client pixels.
    QPointF clientPosition(const QMouseEvent& event) const;
    // Draws the border, then begins `p` (not yet active) on the panel, fills
    // the client area with `background` and leaves `p` clipped to it, with
    // client pixel (0, 0) at its origin.
    void beginPainting(QPaintEvent* event, QPainter& p, const QBrush& background);
};

}  // namespace tsuzuri
