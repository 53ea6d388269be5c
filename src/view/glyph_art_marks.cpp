// Accidentals, arcs, volume marks and the piano keys.

#include <algorithm>

#include <QFont>
#include <QPainter>
#include <QTransform>

#include "view/glyph_art_shapes.h"

namespace tsuzuri::art {

namespace {

// The key signature places a sharp's centre and a natural's centre on row 8
// of their pictures, a flat's bowl on row 13. Key-signature signs stand
// 5 pixels apart, so they are kept about that narrow.
constexpr qreal kAccidentalCentreY = 8.5;
constexpr qreal kFlatBowlY = 13.5;

// A thick stroke rising to the right from x0 to x1, centred on height y at
// the middle of its run.
QPainterPath slantedBeam(qreal x0, qreal x1, qreal y, qreal rise, qreal thickness) {
    const qreal mid = (x0 + x1) / 2;
    auto at = [&](qreal x) { return y - (x - mid) * rise / (x1 - x0); };
    QPainterPath beam;
    beam.moveTo(x0, at(x0) - thickness / 2);
    beam.lineTo(x1, at(x1) - thickness / 2);
    beam.lineTo(x1, at(x1) + thickness / 2);
    beam.lineTo(x0, at(x0) + thickness / 2);
    beam.closeSubpath();
    return beam;
}

}  // namespace

QPainterPath textInBox(const QString& text, const QFont& font, const QRectF& box) {
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF b = path.boundingRect();
    const qreal sy = box.height() / b.height();
    const qreal sx = std::min(sy, box.width() / b.width());
    QTransform t;
    t.translate(box.center().x(), box.center().y());
    t.scale(sx, sy);
    t.translate(-b.center().x(), -b.center().y());
    return t.map(path);
}

void drawSharp(QPainter& p) {
    const qreal c = kAccidentalCentreY;
    p.fillRect(QRectF(3, c - 6.5, 1, 15), kInk);
    p.fillRect(QRectF(6, c - 8.5, 1, 15), kInk);
    p.fillPath(slantedBeam(1.2, 8.8, c - 2.9, 2.2, 2.0), kInk);
    p.fillPath(slantedBeam(1.2, 8.8, c + 2.9, 2.2, 2.0), kInk);
}

void drawFlat(QPainter& p) {
    const qreal c = kFlatBowlY;
    // The stem starts three rows down, clear of the bowl of the sign before
    // it in a key signature.
    p.fillRect(QRectF(2, 3, 1, c + 1.5), kInk);
    // The bowl is heavy on its right, thin where it leaves the stem.
    QPainterPath bowl;
    bowl.moveTo(3, c - 2.0);
    bowl.cubicTo(4.6, c - 4.4, 8.4, c - 4.4, 8.1, c - 1.0);
    bowl.cubicTo(7.9, c + 1.6, 5.2, c + 3.4, 2.5, c + 4.6);
    bowl.lineTo(3, c + 2.9);
    bowl.cubicTo(4.6, c + 1.8, 5.8, c + 0.4, 5.8, c - 0.9);
    bowl.cubicTo(5.8, c - 2.3, 4.4, c - 2.5, 3, c - 0.5);
    bowl.closeSubpath();
    p.fillPath(bowl, kInk);
}

void drawNatural(QPainter& p) {
    const qreal c = kAccidentalCentreY;
    p.fillRect(QRectF(2, c - 8.5, 1, 12.3), kInk);
    p.fillRect(QRectF(6, c - 3.8, 1, 12.3), kInk);
    p.fillPath(slantedBeam(2, 7, c - 2.4, 1.2, 1.7), kInk);
    p.fillPath(slantedBeam(2, 7, c + 2.4, 1.2, 1.7), kInk);
}

void drawArc(QPainter& p, int figure) {
    // A slur over notes: thick in the middle, tapering to its ends.
    const qreal ends = figure ? 21.0 : 7.8;
    QPainterPath arc;
    arc.moveTo(1, ends);
    arc.cubicTo(7, ends - 9.1, 25, ends - 9.1, 31, ends);
    arc.cubicTo(25, ends - 6.2, 7, ends - 6.2, 1, ends);
    p.fillPath(arc, kInk);
    if (figure) {
        QFont font(QStringLiteral("Noto Serif"));
        font.setBold(true);
        font.setItalic(true);
        font.setPixelSize(32);
        p.fillPath(textInBox(QString::number(figure), font, QRectF(12, 2, 8, 9)), kInk);
    }
}

void drawVolume(QPainter& p, int volume) {
    QFont font(QStringLiteral("Noto Sans"));
    font.setBold(true);
    font.setPixelSize(32);
    p.fillPath(textInBox(QStringLiteral("V%1").arg(volume), font, QRectF(0.5, 3.5, 16, 9)), kInk);
}

void drawWhiteKey(QPainter& p) {
    QPainterPath key;
    key.addRoundedRect(QRectF(0.5, -2, 24, 107.5), 2, 2);
    p.setClipRect(QRectF(0, 0, 25, 106));
    p.fillPath(key, QColor(255, 255, 255));
    // The key's front edge, slightly shaded.
    p.fillRect(QRectF(1, 100, 23, 5), QColor(232, 232, 236));
    p.strokePath(key, QPen(QColor(120, 120, 128), 1));
}

void drawBlackKey(QPainter& p) {
    QPainterPath key;
    key.addRoundedRect(QRectF(0, -2, 17, 67), 1.5, 1.5);
    p.setClipRect(QRectF(0, 0, 17, 65));
    p.fillPath(key, QColor(22, 22, 26));
    // Lit sides and a lighter front face give the key its depth.
    p.fillRect(QRectF(1, 0, 1, 58), QColor(70, 70, 78));
    p.fillRect(QRectF(15, 0, 1, 58), QColor(50, 50, 56));
    p.fillRect(QRectF(2, 58, 13, 5), QColor(62, 62, 70));
}

void drawKeyboardTile(QPainter& p) {
    // The felt strip behind the keys, opaque like the panel's backdrop.
    QLinearGradient felt(0, 0, 0, 65);
    felt.setColorAt(0, QColor(92, 20, 28));
    felt.setColorAt(1, QColor(60, 12, 18));
    p.fillRect(QRectF(0, 0, 17, 65), felt);
}

}  // namespace tsuzuri::art
