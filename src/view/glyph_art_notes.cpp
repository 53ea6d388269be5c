// Notes and rests. Staff lines are 8 pixels apart: a notehead is about one
// staff space tall (it touches the two lines of its space), 9.4 pixels wide
// and slightly tilted; a stem is one pixel wide on a whole pixel column and
// about three and a half spaces long.

#include <cmath>

#include <QFont>
#include <QPainter>
#include <QTransform>

#include "view/glyph_art_shapes.h"

namespace tsuzuri::art {

namespace {

// Heads are centred on pixel rows: the placement rule puts the head of a
// stem-up picture on row 30, of a stem-down picture on row 4 and of a whole
// note on row 6, so that it lies on the line or space of its pitch.
constexpr qreal kHeadX = 4.8;
constexpr qreal kStemUpHeadY = 30.5;
constexpr qreal kStemDownHeadY = 4.5;
constexpr qreal kWholeHeadY = 6.5;
constexpr qreal kHeadRx = 4.8;
constexpr qreal kHeadRy = 3.5;
constexpr qreal kHeadTilt = -20;
// A stem-up stem fills pixel column 8 (the head's right edge), a stem-down
// stem column 1 (its left edge).
constexpr qreal kStemUpX = 8;
constexpr qreal kStemDownX = 1;
// Dots sit right of the head and a little above it, so that a head on a line
// keeps its dot in the space above.
constexpr qreal kDotX = 10.9;
constexpr qreal kDotRise = 2.5;
constexpr qreal kDotRadius = 1.0;

enum class Head { Black, Half, Whole };

int flagCount(int length) {
    return length < 8 ? 4 - length / 2 : 0;
}

Head headOf(int length) {
    if (length < 10)
        return Head::Black;
    return length < 12 ? Head::Half : Head::Whole;
}

void fillDot(QPainter& p, qreal x, qreal y) {
    p.fillPath(ellipse(x, y, kDotRadius, kDotRadius, 0), kInk);
}

void fillHead(QPainter& p, Head head, qreal cy) {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    if (head == Head::Whole) {
        path.addPath(ellipse(kHeadX + 0.5, cy, 5.3, 3.7, 0));
        path.addPath(ellipse(kHeadX + 0.5, cy, 1.8, 2.95, 20));
    } else {
        path.addPath(ellipse(kHeadX, cy, kHeadRx, kHeadRy, kHeadTilt));
        if (head == Head::Half)
            path.addPath(ellipse(kHeadX, cy, 3.6, 1.45, -32));
    }
    p.fillPath(path, kInk);
}

// One flag of a stem-up note, attached to the stem's right edge at the
// origin and hanging down to the right; a stem-down flag is its mirror image.
// Thin enough that flags 4 pixels apart stay apart on screen.
QPainterPath flagPath() {
    QPainterPath f;
    f.moveTo(-1, 0);
    f.lineTo(0, 0);
    f.cubicTo(0.4, 2.2, 4.6, 3.6, 5.8, 6.8);
    f.cubicTo(6.5, 8.8, 6.0, 11.0, 4.8, 12.8);
    f.cubicTo(5.3, 11.0, 5.3, 9.6, 4.6, 8.4);
    f.cubicTo(3.6, 6.6, 1.4, 5.0, 0, 2.4);
    f.lineTo(-1, 2.4);
    f.closeSubpath();
    return f;
}

void fillFlags(QPainter& p, int count, qreal x, qreal y, bool stemDown) {
    for (int k = 0; k < count; ++k) {
        QTransform t;
        if (stemDown) {
            t.translate(x, y - k * 4);
            t.scale(1, -1);
        } else {
            t.translate(x, y + k * 4);
        }
        p.fillPath(t.map(flagPath()), kInk);
    }
}

void drawStemUpNote(QPainter& p, int length) {
    const int flags = flagCount(length);
    fillHead(p, headOf(length), kStemUpHeadY);
    // Stems lengthen for thirty-seconds and sixty-fourths to hold their flags.
    const qreal top = flags >= 3 ? 4 - flags : 3;
    p.fillRect(QRectF(kStemUpX, top, 1, kStemUpHeadY - top), kInk);
    fillFlags(p, flags, kStemUpX + 1, top, false);
    if (length % 2)
        fillDot(p, kDotX, kStemUpHeadY - kDotRise);
}

void drawStemDownNote(QPainter& p, int length) {
    const int flags = flagCount(length);
    fillHead(p, headOf(length), kStemDownHeadY);
    const qreal bottom = flags >= 3 ? 31 + flags : 32;
    p.fillRect(QRectF(kStemDownX, kStemDownHeadY, 1, bottom - kStemDownHeadY), kInk);
    fillFlags(p, flags, kStemDownX + 1, bottom, true);
    if (length % 2)
        fillDot(p, kDotX, kStemDownHeadY - kDotRise);
}

void drawWholeNote(QPainter& p, bool dotted) {
    fillHead(p, Head::Whole, kWholeHeadY);
    if (dotted)
        fillDot(p, kHeadX + 7.3, kWholeHeadY - kDotRise);
}

// Rests are placed like the whole notes: their reference row is row 6, the
// row a notehead placed at the same pointer would take. Pointed at a staff's
// middle line they take their customary places: flagged rests with the first
// blob in the space above it, the half rest sitting on it.
constexpr qreal kRestRow = 6.5;

// The whole rest hangs from the reference row, the half rest sits on it; a
// short ledger stroke through the row shows which.
void drawBlockRest(QPainter& p, bool whole, bool dotted) {
    p.fillRect(QRectF(1, 6, 13, 1), kInk);
    const qreal top = whole ? 7 : 2;
    p.fillRect(QRectF(3, top, 9, 4), kInk);
    if (dotted)
        fillDot(p, 16.5, whole ? kRestRow + 4 : kRestRow - 4);
}

// The quarter rest of the music font, its middle on the row below the
// reference row so that it spans the staff's middle when pointed there.
void drawQuarterRest(QPainter& p, bool dotted) {
    QFont font(QStringLiteral("Noto Music"));
    font.setPixelSize(64);
    const char32_t symbol = 0x1D13D;
    QPainterPath path;
    path.addText(0, 0, font, QString::fromUcs4(&symbol, 1));
    const qreal scale = 7.0 / 16.0;
    QTransform t;
    t.translate(2.0, kRestRow + 4);
    t.scale(scale, scale);
    t.translate(-path.boundingRect().left(), 32);  // the font's middle staff line
    p.fillPath(t.map(path), kInk);
    if (dotted)
        fillDot(p, 11.2, kRestRow);
}

// Eighth to sixty-fourth rests: a slanted stem with one hooked blob per flag,
// the blobs stepping down the stem.
void drawFlagRest(QPainter& p, int flags, bool dotted) {
    // The first blob lies in the space above the reference row; blobs stand a
    // space apart while they fit, closer for thirty-seconds and sixty-fourths.
    const qreal firstY = flags <= 2 ? 2.5 : 2.0;
    const qreal spacing = flags <= 2 ? 8.0 : flags == 3 ? 5.0 : 3.9;
    const qreal blob = flags == 4 ? 1.3 : 1.5;
    const qreal slope = 0.27;  // the stem leans right going up
    const qreal topY = firstY - 1.9;
    const qreal bottomY = flags == 1 ? 14.0 : 15.8;
    const qreal topX = 10.5;
    auto stemX = [&](qreal y) { return topX - (y - topY) * slope; };
    QPainterPath stem;
    stem.moveTo(topX - 0.6, topY);
    stem.lineTo(topX + 0.6, topY);
    stem.lineTo(stemX(bottomY) + 0.5, bottomY);
    stem.lineTo(stemX(bottomY) - 0.6, bottomY);
    stem.closeSubpath();
    p.fillPath(stem, kInk);
    QPen hookPen(kInk, 1.0, Qt::SolidLine, Qt::RoundCap);
    for (int k = 0; k < flags; ++k) {
        const qreal y = firstY + k * spacing;
        const qreal attachY = y - 1.4;
        const qreal bx = std::floor(stemX(attachY) - 5.0) + 0.5;
        p.fillPath(ellipse(bx, y, blob, blob, 0), kInk);
        QPainterPath hook;
        hook.moveTo(bx + 0.6, y + 1.1);
        hook.cubicTo(bx + 2.4, y + 1.7, stemX(attachY) - 1.6, y + 0.4, stemX(attachY), attachY);
        p.strokePath(hook, hookPen);
    }
    if (dotted)
        fillDot(p, 14.0, firstY);
}

}  // namespace

QPainterPath ellipse(qreal cx, qreal cy, qreal rx, qreal ry, qreal degrees) {
    QPainterPath path;
    path.addEllipse(QPointF(0, 0), rx, ry);
    QTransform t;
    t.translate(cx, cy);
    t.rotate(degrees);
    return t.map(path);
}

void drawNote(QPainter& p, int length, bool stemDown) {
    if (length >= 12)
        drawWholeNote(p, length == 13);
    else if (stemDown)
        drawStemDownNote(p, length);
    else
        drawStemUpNote(p, length);
}

QPointF noteheadCentre(int length, bool stemDown) {
    if (length >= 12)
        return {kHeadX + 0.5, kWholeHeadY};
    return {kHeadX, stemDown ? kStemDownHeadY : kStemUpHeadY};
}

void drawRest(QPainter& p, int length) {
    const bool dotted = length % 2;
    const int kind = length / 2;  // 0 sixty-fourth ... 6 whole
    if (kind >= 5)
        drawBlockRest(p, kind == 6, dotted);
    else if (kind == 4)
        drawQuarterRest(p, dotted);
    else
        drawFlagRest(p, 4 - kind, dotted);
}

}  // namespace tsuzuri::art
