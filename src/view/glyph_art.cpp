#include "view/glyph_art.h"

#include <QPainter>
#include <map>

#include "view/glyph_catalogue.h"

namespace tsuzuri {

void drawPicture(QPainter& p, int picture) {
    const PictureSize s = pictureSize(picture);
    p.setPen(Qt::black);
    p.drawRect(0, 0, s.width - 1, s.height - 1);
}

const QPixmap& picturePixmap(int picture, qreal ratio) {
    static std::map<std::pair<int, qreal>, QPixmap> cache;
    auto& pixmap = cache[{picture, ratio}];
    if (pixmap.isNull() && isPicture(picture)) {
        const PictureSize s = pictureSize(picture);
        pixmap = QPixmap(QSize(s.width, s.height) * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        drawPicture(p, picture);
    }
    return pixmap;
}

void drawStaffBackground(QPainter& p) {
    p.setPen(QColor(132, 140, 148));
    for (int y : {40, 48, 56, 64, 72, 88, 96, 104, 112, 120})
        p.drawLine(0, y, 988, y);
}

}  // namespace tsuzuri
