#include "view/measure_numbers.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <cmath>
#include <optional>

#include "score/canvas_geometry.h"

namespace tsuzuri {

namespace {

const QColor kNumberInk{24, 8, 90};  // the clefs' ink
constexpr int kNumberPixels = 10;
// The digits rest one pixel above the top staff line (y 40).
constexpr qreal kHomeBaseline = 39;
// How far digits move aside from their bar line, at most, to clear a note.
constexpr int kMostAside = 12;

QFont numberFont() {
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPixelSize(kNumberPixels);
    return font;
}

// The baseline at which digits whose drawn box, relative to the baseline, is
// `ink` clear every glyph: home, or above the glyphs in the way; nothing when
// they reach the top of the canvas.
std::optional<qreal> clearBaseline(const QRectF& ink, const std::vector<QRectF>& obstacles) {
    qreal baseline = kHomeBaseline;
    for (bool moved = true; moved;) {
        moved = false;
        for (const QRectF& glyph : obstacles) {
            if (!glyph.intersects(ink.translated(0, baseline)))
                continue;
            baseline = glyph.top() - ink.bottom();
            moved = true;
        }
        if (baseline + ink.top() < 0)
            return std::nullopt;
    }
    return baseline;
}

// Where digits centred on the bar line go: above it if they can, else as
// little aside as clears the glyphs there, else at home under them.
QPointF numberPlace(const QRectF& ink, const std::vector<QRectF>& obstacles) {
    for (int step = 0; step <= 2 * kMostAside; ++step) {
        const qreal dx = step % 2 == 0 ? step / 2 : -(step + 1) / 2;
        if (const auto baseline = clearBaseline(ink.translated(dx, 0), obstacles))
            return {dx, *baseline};
    }
    return {0, kHomeBaseline};
}

}  // namespace

void drawMeasureNumbers(QPainter& p, const MeasureNumbers& numbers,
                        const std::vector<QRectF>& obstacles) {
    p.save();
    const QFont font = numberFont();
    const QFontMetricsF metrics(font);
    p.setFont(font);
    for (int k = 0; k < kViewMeasures; ++k) {
        const QString text = QString::number(numbers[k].number);
        const qreal barX = kColumnLeft + kColumnWidth * k;
        const qreal left = std::round(barX - metrics.horizontalAdvance(text) / 2);
        const QRectF ink = metrics.tightBoundingRect(text).translated(left, 0);
        const QPointF place = numberPlace(ink, obstacles);
        // The guide lines of ledger positions stop short of the digits.
        p.fillRect(ink.translated(place).adjusted(-1, -1, 1, 1), Qt::white);
        p.setPen(numbers[k].red ? kMeasureNumberRed : kNumberInk);
        p.drawText(QPointF(left + place.x(), place.y()), text);
    }
    p.restore();
}

}  // namespace tsuzuri
