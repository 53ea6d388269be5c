#pragma once

#include "state/table.h"
#include "view/bordered_panel.h"
#include "score/glyph_item.h"

namespace tsuzuri {

// A straight line drawn on the keyboard panel, in the panel's pixels.
struct LineItem {
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
    bool visible = true;
};

// The keyboard panel: a bordered picture box with its background tile, the 58
// piano keys Image1 (black keys above white ones) and the six guide lines.
// A press goes to the key under the pointer with the position in twips
// relative to the key; the release goes to the key that was pressed.
class KeyboardPanel : public BorderedPanel {
    Q_OBJECT

public:
    explicit KeyboardPanel(QWidget* parent = nullptr);

    Table<GlyphItem, 58> image1;
    Table<LineItem, 6> lines;

    // The key under client position (x, y), black keys first, or -1.
    int keyAt(double x, double y) const;

signals:
    void keyMouseDown(int index, int button, int shift, double x, double y);
    void keyMouseUp(int index, int button, int shift, double x, double y);
    void keyDown(int keyCode, int shift);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int pressedKey_ = -1;
};

}  // namespace tsuzuri
