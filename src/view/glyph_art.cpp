#include "view/glyph_art.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <utility>

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include "state/table.h"
#include "view/glyph_art_shapes.h"
#include "score/glyph_catalogue.h"

namespace tsuzuri {

namespace {

void drawPalettePicture(QPainter& p, int i) {
    if (i < kFirstRestIndex)
        art::drawNote(p, i, false);
    else if (isRestIndex(i))
        art::drawRest(p, i - kFirstRestIndex);
    else if (i == kSharpPicture)
        art::drawSharp(p);
    else if (i == kFlatPicture)
        art::drawFlat(p);
    else if (i == kNaturalIndex)
        art::drawNatural(p);
    else if (i == kArcIndex)
        art::drawArc(p, 0);
    else if (i == kTripletArcIndex)
        art::drawArc(p, 3);
    else if (i == kQuintupletArcIndex)
        art::drawArc(p, 5);
    else if (isVolumeIndex(i))
        art::drawVolume(p, volumeOfIndex(i));
}

// Staff colours of the canvas background.
const QColor kStaffLine{132, 140, 148};
const QColor kGuideLine{222, 222, 247};
const QColor kClefInk{24, 8, 90};

constexpr int kStaffLines[] = {40, 48, 56, 64, 72, 88, 96, 104, 112, 120};
constexpr int kGuideLines[] = {8, 16, 24, 32, 80, 128, 136, 144};
constexpr int kMiddleCLine = 80;
constexpr int kBarLines[] = {265, 465, 665, 865};
constexpr int kTrebleTop = 40;
constexpr int kBassTop = 88;
constexpr int kStaffHeight = 33;  // top line to bottom line, both included

// A clef of the music font placed so that its reference line (the G line for
// the treble clef, the F line between the bass clef's dots; `fontLine` in the
// font's units) lies at canvas y `lineY`, at `space` pixels per staff space,
// its left edge at `left`, widened by `widen`. The font draws four staff
// spaces to the em.
QPainterPath clefPath(char32_t symbol, qreal fontLine, qreal lineY, qreal space, qreal left,
                      qreal widen) {
    QFont font(QStringLiteral("Noto Music"));
    font.setPixelSize(64);
    QPainterPath path;
    path.addText(0, 0, font, QString::fromUcs4(&symbol, 1));
    const qreal scale = space / 16.0;
    const QRectF bounds = path.boundingRect();
    QTransform t;
    t.translate(left, lineY);
    t.scale(scale * widen, scale);
    t.translate(-bounds.left(), -fontLine);
    return t.map(path);
}

void drawClefs(QPainter& p) {
    // The treble clef keeps its curl on the G line (y = 64) and, slightly
    // smaller than a full clef, fits between rows 32 and 80; the bass clef's
    // dots straddle the F line (y = 96). In the font at 64 pixels the G line
    // lies one space (16) above the baseline, the F line midway between the
    // bass clef's dots. The outlines are built once: every redraw of the
    // canvas paints them.
    static const QPainterPath treble = clefPath(0x1D11E, -16.0, 64.0, 6.4, 3.0, 1.12);
    static const QPainterPath bass = clefPath(0x1D122, -41.24, 96.5, 7.6, 3.0, 1.0);
    p.fillPath(treble, kClefInk);
    p.fillPath(bass, kClefInk);
}

QPixmap renderPicture(int picture, qreal dpr) {
    const PictureSize size = pictureSize(picture);
    QPixmap pixmap(static_cast<int>(std::ceil(size.width * dpr)),
                   static_cast<int>(std::ceil(size.height * dpr)));
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    drawPicture(p, picture);
    return pixmap;
}

}  // namespace

void drawPicture(QPainter& p, int picture) {
    if (picture == kNoPicture)
        return;
    if (!isPicture(picture))
        indexFault(picture, kPaletteCount);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    if (picture < kPaletteCount)
        drawPalettePicture(p, picture);
    else if (picture < kStemDownBase + kStemDownCount)
        art::drawNote(p, picture - kStemDownBase, true);
    else if (picture == kWhiteKeyPicture)
        art::drawWhiteKey(p);
    else if (picture == kBlackKeyPicture)
        art::drawBlackKey(p);
    else
        art::drawKeyboardTile(p);
    p.restore();
}

const QPixmap& picturePixmap(int picture, qreal devicePixelRatio) {
    static const QPixmap none;
    if (picture == kNoPicture)
        return none;
    if (!isPicture(picture))
        indexFault(picture, kPaletteCount);
    // Ratios are keyed in thousandths: screens report values such as 1.25.
    // The cache is never destroyed: static destruction would free pixmaps
    // after the application object is gone, which is unsafe.
    static auto* cache = new std::map<std::pair<int, long>, QPixmap>;
    const std::pair<int, long> key{picture, std::lround(devicePixelRatio * 1000)};
    auto it = cache->find(key);
    if (it == cache->end())
        it = cache->emplace(key, renderPicture(picture, devicePixelRatio)).first;
    return it->second;
}

QRectF clickArea(int picture) {
    if (!isPicture(picture))
        indexFault(picture, kPaletteCount);
    static auto* areas = new std::map<int, QRectF>;
    auto it = areas->find(picture);
    if (it != areas->end())
        return it->second;
    // Measured at ratio 4, where faint edge pixels are a quarter pixel wide.
    constexpr int kRatio = 4;
    const QImage image = renderPicture(picture, kRatio).toImage().convertToFormat(QImage::Format_ARGB32);
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) < 64)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    QRectF area(QPointF(left, top) / kRatio, QPointF(right + 1, bottom + 1) / kRatio);
    const bool arc = isArcIndex(picture);
    area.adjust(-1, arc ? -2 : -1, 1, arc ? 2 : 1);
    return areas->emplace(picture, area).first->second;
}

void drawStaffBackground(QPainter& p) {
    p.save();
    // Lines are whole design pixels, so they cover exactly their rows at any
    // integer ratio and need no smoothing.
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int y : kGuideLines)
        p.fillRect(QRectF(0, y, kStaffBackgroundWidth, 1), kGuideLine);
    for (int y : kStaffLines)
        p.fillRect(QRectF(0, y, kStaffBackgroundWidth, 1), kStaffLine);
    for (int x : kBarLines) {
        p.fillRect(QRectF(x, kTrebleTop, 1, kStaffHeight), kStaffLine);
        p.fillRect(QRectF(x, kBassTop, 1, kStaffHeight), kStaffLine);
    }
    p.setRenderHint(QPainter::Antialiasing);
    drawClefs(p);
    p.restore();
}

void drawLedgerLines(QPainter& p, const GlyphItem& item) {
    const int picture = item.picture;
    const bool stemUp = isNoteIndex(picture);
    const bool stemDown = picture >= kStemDownBase && picture < kStemDownBase + kStemDownCount;
    if (!stemUp && !stemDown)
        return;
    const QPointF head = QPointF(item.left, item.top) +
                         art::noteheadCentre(stemUp ? picture : picture - kStemDownBase, stemDown);
    const int row = static_cast<int>(std::floor(head.y()));
    if (row < -4)
        return;  // a glyph moved out of sight above the canvas
    constexpr qreal kHalfWidth = 6.9;
    auto ledger = [&](int y) { p.fillRect(QRectF(head.x() - kHalfWidth, y, 2 * kHalfWidth, 1), kStaffLine); };
    // A head nudged one pixel off its line keeps its ledger line.
    for (int y = kStaffLines[0] - 8; y >= 0 && y >= row - 1; y -= 8)
        ledger(y);
    if (std::abs(row - kMiddleCLine) <= 1)
        ledger(kMiddleCLine);
    for (int y = kStaffLines[9] + 8; y <= kStaffBackgroundHeight && y <= row + 1; y += 8)
        ledger(y);
}

void drawGlyphItem(QPainter& p, const GlyphItem& item, qreal devicePixelRatio) {
    if (item.picture != kNoPicture)
        p.drawPixmap(QPointF(item.left, item.top), picturePixmap(item.picture, devicePixelRatio));
    if (item.framed) {
        const PictureSize size = item.size();
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(item.left, item.top, size.width - 1, size.height - 1));
    }
}

}  // namespace tsuzuri
