#pragma once

#include <QPixmap>

class QPainter;

namespace tsuzuri {

void drawPicture(QPainter& p, int picture);
const QPixmap& picturePixmap(int picture, qreal devicePixelRatio);
void drawStaffBackground(QPainter& p);

}  // namespace tsuzuri
