// Writes contact sheets of the glyph art for looking at by eye:
//   glyphs_vector.png  every picture drawn 4x as vectors, on white
//   glyphs_pixels.png  every picture rendered at ratio 1, enlarged 4x pixel
//                      for pixel, on white and over a staff line pattern
//   icon.png, icon.svg the program's icon at several sizes, and as SVG
//   glyphs_staff_*.png the canvas background with notes, rests and key
//                      signatures placed as the editor places them: sharps
//                      at ratio 1 enlarged 2x pixel for pixel, flats at
//                      ratio 2
//   glyphs_rows_*.png  every palette glyph at every row a click reaches
//                      (3..42, rising left to right), one staff per glyph,
//                      with its ledger lines, as the editor stores and draws
//                      it; at ratio 1 enlarged 2x pixel for pixel
// Usage: glyph_sheet OUTPUT_DIR

#include <cstdio>
#include <vector>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <QDir>

#include "score/canvas_geometry.h"
#include "view/render.h"
#include "view/glyph_art.h"
#include "score/glyph_catalogue.h"

namespace {

using namespace tsuzuri;

std::vector<int> allPictures() {
    std::vector<int> pictures;
    for (int i = 0; i < kPaletteCount; ++i) {
        if (i != kSelectionToolIndex)
            pictures.push_back(i);
    }
    for (int i = 0; i < kStemDownCount; ++i)
        pictures.push_back(kStemDownBase + i);
    pictures.push_back(kWhiteKeyPicture);
    pictures.push_back(kBlackKeyPicture);
    pictures.push_back(kKeyboardTilePicture);
    return pictures;
}

constexpr int kZoom = 4;
constexpr int kCellWidth = 32 * kZoom + 16;
constexpr int kCellHeight = 40 * kZoom + 24;
constexpr int kColumns = 12;

// Staff lines 8 pixels apart through a cell, aligned with the rows that the
// editor's placement gives a picture of `picture`'s family.
void drawStaffLines(QPainter& p, int picture, int height) {
    const int lineRow = picture < 12 ? 30 : picture >= kStemDownBase && picture < 112 ? 4 : 6;
    for (int y = lineRow % 8; y < height; y += 8)
        p.fillRect(QRect(-4, y, 40, 1), QColor(132, 140, 148));
}

QImage contactSheet(bool pixels, bool overStaff) {
    const std::vector<int> pictures = allPictures();
    const int rows = static_cast<int>((pictures.size() + kColumns - 1) / kColumns);
    QImage sheet(kColumns * kCellWidth, rows * kCellHeight * (overStaff ? 2 : 1),
                 QImage::Format_ARGB32);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    for (int pass = 0; pass < (overStaff ? 2 : 1); ++pass) {
        for (size_t n = 0; n < pictures.size(); ++n) {
            const int picture = pictures[n];
            const PictureSize size = pictureSize(picture);
            // Keys are tall: show them at their own size.
            const int zoom = picture >= kWhiteKeyPicture ? 1 : kZoom;
            const int cellX = static_cast<int>(n % kColumns) * kCellWidth;
            const int cellY = (static_cast<int>(n / kColumns) + pass * rows) * kCellHeight;
            p.setPen(Qt::darkGray);
            p.drawText(cellX + 4, cellY + 14, QString::number(picture));
            p.save();
            p.translate(cellX + 8, cellY + 20);
            if (pixels) {
                QImage one(size.width, size.height, QImage::Format_ARGB32);
                one.fill(Qt::white);
                QPainter op(&one);
                if (pass == 1)
                    drawStaffLines(op, picture, size.height);
                op.drawPixmap(0, 0, picturePixmap(picture, 1.0));
                op.end();
                p.drawImage(QRect(0, 0, size.width * zoom, size.height * zoom), one);
            } else {
                p.scale(zoom, zoom);
                drawPicture(p, picture);
            }
            p.restore();
            p.setPen(QColor(255, 160, 160));
            p.drawRect(cellX + 7, cellY + 19, size.width * zoom + 1, size.height * zoom + 1);
        }
    }
    return sheet;
}

// Places a glyph for palette index `length` at pointer (x, y) the way the
// editor does: stem direction by band, top from the snapped row, left x - 6.
void place(QPainter& p, int length, int x, int y) {
    const qreal dpr = p.device()->devicePixelRatio();
    const int row = rowAtY(y);
    const PlacedGlyph glyph = placedGlyph(length, row);
    GlyphItem item;
    item.left = x - 6;
    item.top = glyph.top;
    item.picture = notePicture(glyph.code, glyph.top, row);
    drawLedgerLines(p, item);
    drawGlyphItem(p, item, dpr);
}

// Key-signature sign positions (left, top), treble then bass.
constexpr int kFlatPlaces[7][4] = {{27, 43, 27, 99}, {32, 31, 32, 87},  {36, 47, 36, 103},
                                   {43, 35, 43, 91}, {48, 51, 48, 107}, {53, 39, 53, 95},
                                   {58, 55, 58, 111}};
constexpr int kSharpPlaces[7][4] = {{26, 32, 26, 88}, {31, 44, 31, 100}, {36, 28, 36, 84},
                                    {41, 40, 41, 96}, {46, 52, 46, 108}, {51, 36, 51, 92},
                                    {56, 48, 56, 104}};

// The flats sheet is rendered at ratio 2, as on a high-density screen; the
// sharps sheet at ratio 1, enlarged pixel for pixel.
QImage staffSheet(bool flats) {
    const qreal dpr = flats ? 2.0 : 1.0;
    QImage canvas(kStaffBackgroundWidth * dpr, kStaffBackgroundHeight * dpr, QImage::Format_ARGB32);
    canvas.setDevicePixelRatio(dpr);
    canvas.fill(Qt::white);
    QPainter p(&canvas);
    drawStaffBackground(p);
    for (const auto& place : flats ? kFlatPlaces : kSharpPlaces) {
        const int picture = flats ? kFlatPicture : kSharpPicture;
        p.drawPixmap(place[0], place[1], picturePixmap(picture, dpr));
        p.drawPixmap(place[2], place[3], picturePixmap(picture, dpr));
    }
    // Measure 1: a scale from middle C up on the treble staff in quarters,
    // pointer y for row r is the snapped row + 2.
    int x = 76;
    for (int y = 84; y >= 28; y -= 4, x += 13)
        place(p, flats ? 8 : 6, x, y);
    // Measure 2: every note length, stem up and stem down.
    x = 276;
    for (int length = 0; length < 14; ++length, x += 13) {
        place(p, length, x, length % 2 ? 68 : 52);
        place(p, length, x, length % 2 ? 98 : 118);
    }
    // Measure 3: every rest pointed at the middle line, plain ones on the
    // treble staff, dotted ones on the bass staff.
    x = 476;
    for (int length = 14; length < 28; length += 2, x += 27) {
        place(p, length, x, 60);
        place(p, length + 1, x, 108);
    }
    // Measure 4: accidentals before notes, arcs, volume marks.
    x = 676;
    for (int mark : {28, 29, 30}) {
        place(p, mark, x, 68);
        place(p, 8, x + 10, 68);
        x += 28;
    }
    place(p, 31, 676, 36);
    place(p, 32, 716, 22);
    place(p, 35 + 8, 770, 136);
    place(p, 35 + 15, 790, 136);
    place(p, 12, 830, 56);
    place(p, 13, 830, 108);
    p.end();
    return flats ? canvas : canvas.scaled(canvas.width() * 2, canvas.height() * 2);
}

// Palette indices from..to, each on its own staff strip, placed on every row a
// click reaches.
QImage rowSheet(int from, int to) {
    constexpr int kStrip = kStaffBackgroundHeight + 4;
    QImage sheet(kStaffBackgroundWidth, (to - from + 1) * kStrip, QImage::Format_ARGB32);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    for (int length = from; length <= to; ++length) {
        p.save();
        p.translate(0, (length - from) * kStrip);
        drawStaffBackground(p);
        p.setPen(Qt::darkGray);
        p.drawText(34, 12, QString::number(length));
        for (int row = 3; row <= 42; ++row) {
            const PlacedGlyph glyph = placedGlyph(length, row);
            GlyphItem item;
            item.left = 70 + (row - 3) * 22;
            item.top = glyph.top;
            item.picture = notePicture(glyph.code, glyph.top, row);
            drawLedgerLines(p, item);
            drawGlyphItem(p, item, 1.0);
        }
        p.restore();
    }
    p.end();
    return sheet.scaled(sheet.width() * 2, sheet.height() * 2);
}

// The icon at the sizes desktops ask for, side by side, and its SVG text.
QImage iconSheet() {
    QImage sheet(16 + 24 + 32 + 48 + 64 + 256 + 70, 256 + 20, QImage::Format_ARGB32);
    sheet.fill(QColor(230, 230, 230));
    QPainter p(&sheet);
    int x = 10;
    for (int size : {16, 24, 32, 48, 64, 256}) {
        p.drawPixmap(x, 10, appIcon().pixmap(size));
        x += size + 10;
    }
    return sheet;
}

bool writeText(const QString& path, const std::string& text) {
    FILE* f = std::fopen(path.toLocal8Bit().constData(), "w");
    if (!f)
        return false;
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: glyph_sheet OUTPUT_DIR\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dir);
    const bool ok = rowSheet(0, 13).save(dir + "/glyphs_rows_notes.png") &&
                    rowSheet(14, 27).save(dir + "/glyphs_rows_rests.png") &&
                    rowSheet(28, 33).save(dir + "/glyphs_rows_marks.png") &&
                    rowSheet(35, 50).save(dir + "/glyphs_rows_volumes.png") && contactSheet(false, false).save(dir + "/glyphs_vector.png") &&
                    contactSheet(true, true).save(dir + "/glyphs_pixels.png") &&
                    staffSheet(false).save(dir + "/glyphs_staff_sharps.png") &&
                    staffSheet(true).save(dir + "/glyphs_staff_flats.png") &&
                    iconSheet().save(dir + "/icon.png") &&
                    writeText(dir + "/icon.svg", appIconSvg());
    return ok ? 0 : 1;
}
