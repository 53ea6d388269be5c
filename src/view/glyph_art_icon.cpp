// The program's icon: two beamed eighth notes on a staff, white on a dark
// blue tile. Drawn from one set of outlines both by the painter and as SVG,
// so that the installed icon and the window's icon are the same picture.

#include <algorithm>
#include <vector>

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include "view/glyph_art.h"
#include "view/glyph_art_shapes.h"

namespace tsuzuri {

namespace {

constexpr qreal kIconSize = 64;  // design units of the icon's outlines

struct Layer {
    QPainterPath path;  // non-overlapping outline, filled even-odd
    QColor colour;
};

QPainterPath roundedTile() {
    QPainterPath tile;
    tile.addRoundedRect(QRectF(2, 2, 60, 60), 13, 13);
    return tile;
}

QPainterPath staffLines() {
    QPainterPath lines;
    for (int k = 0; k < 5; ++k)
        lines.addRect(QRectF(8, 19 + 7 * k, 48, 1.6));
    return lines.simplified();
}

QPainterPath beamedNotes() {
    QPainterPath notes;
    notes.addPath(art::ellipse(21.5, 46, 6.4, 4.6, -20));
    notes.addPath(art::ellipse(42.5, 39, 6.4, 4.6, -20));
    notes.addRect(QRectF(25.6, 17, 2.6, 28));
    notes.addRect(QRectF(46.6, 11, 2.6, 27));
    QPainterPath beam;
    beam.moveTo(25.6, 15.5);
    beam.lineTo(49.2, 9.5);
    beam.lineTo(49.2, 16.5);
    beam.lineTo(25.6, 22.5);
    beam.closeSubpath();
    notes.addPath(beam);
    // Filled as one non-overlapping outline so that even-odd filling leaves
    // no holes where head, stem and beam meet.
    notes.setFillRule(Qt::WindingFill);
    return notes.simplified();
}

const std::vector<Layer>& iconLayers() {
    static const std::vector<Layer> layers{
        {roundedTile(), QColor(40, 20, 120)},
        {staffLines(), QColor(150, 140, 210)},
        {beamedNotes(), QColor(255, 255, 255)},
    };
    return layers;
}

void paintIcon(QPainter& p, const QRectF& rect) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal side = std::min(rect.width(), rect.height());
    p.translate(rect.center().x() - side / 2, rect.center().y() - side / 2);
    p.scale(side / kIconSize, side / kIconSize);
    for (const Layer& layer : iconLayers())
        p.fillPath(layer.path, layer.colour);
    p.restore();
}

// Paints the icon afresh for every size asked, so it is sharp at all of them.
class AppIconEngine : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        paintIcon(*painter, rect);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode, QIcon::State, qreal scale) override {
        QPixmap pm(size * scale);
        pm.setDevicePixelRatio(scale);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        paintIcon(p, QRectF(QPointF(0, 0), QSizeF(size)));
        return pm;
    }
    QIconEngine* clone() const override { return new AppIconEngine; }
    QString key() const override { return QStringLiteral("tsuzuri-app-icon"); }
};

std::string number(qreal v) {
    return QString::number(v, 'g', 6).toStdString();
}

std::string svgPathData(const QPainterPath& path) {
    std::string d;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        const std::string xy = number(e.x) + " " + number(e.y);
        if (e.isMoveTo()) {
            d += (d.empty() ? "M" : "Z M") + xy;
        } else if (e.isLineTo()) {
            d += " L" + xy;
        } else if (e.isCurveTo()) {
            const QPainterPath::Element c2 = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            d += " C" + xy + " " + number(c2.x) + " " + number(c2.y) + " " + number(end.x) + " " +
                 number(end.y);
            i += 2;
        }
    }
    return d + " Z";
}

}  // namespace

QIcon appIcon() {
    return QIcon(new AppIconEngine);
}

std::string appIconSvg() {
    std::string svg =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\" "
        "viewBox=\"0 0 64 64\">\n";
    for (const Layer& layer : iconLayers()) {
        svg += "  <path fill=\"" + layer.colour.name().toStdString() +
               "\" fill-rule=\"evenodd\" d=\"" + svgPathData(layer.path) + "\"/>\n";
    }
    return svg + "</svg>\n";
}

}  // namespace tsuzuri
