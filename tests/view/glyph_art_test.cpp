#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <vector>

#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QXmlStreamReader>

#include "score/canvas_geometry.h"
#include "view/glyph_art.h"
#include "score/glyph_catalogue.h"

namespace tsuzuri {
namespace {

std::vector<int> allPictures() {
    std::vector<int> pictures;
    for (int i = 0; i < kPaletteCount; ++i) {
        if (i != kSelectionToolIndex)
            pictures.push_back(i);
    }
    for (int i = 0; i < kStemDownCount; ++i)
        pictures.push_back(stemDownPicture(i));
    pictures.insert(pictures.end(), {kWhiteKeyPicture, kBlackKeyPicture, kKeyboardTilePicture});
    return pictures;
}

QImage rendered(int picture, qreal dpr = 1.0) {
    return picturePixmap(picture, dpr).toImage().convertToFormat(QImage::Format_ARGB32);
}

int alphaAt(const QImage& img, int x, int y) {
    return qAlpha(img.pixel(x, y));
}

// The column holding the most ink: a note's stem.
int stemColumn(const QImage& img) {
    int best = 0;
    double bestInk = -1;
    for (int x = 0; x < img.width(); ++x) {
        double ink = 0;
        for (int y = 0; y < img.height(); ++y)
            ink += alphaAt(img, x, y) / 255.0;
        if (ink > bestInk) {
            bestInk = ink;
            best = x;
        }
    }
    return best;
}

struct Point {
    double x = 0;
    double y = 0;
};

// The centre of a notehead, found as the band of rows holding at least three
// pixels of ink beside the stem (the head is the only such band at the stem's
// far end: flags are thinner). `last` picks the lowest band, as for stem-up
// notes. Vertically the ink's centre beside the stem, horizontally the middle
// of the band's solid ink. In design pixels, pixel centres at +0.5.
std::optional<Point> headCentre(const QImage& img, int stem, bool last) {
    const double scale = img.devicePixelRatio();
    std::vector<std::pair<int, int>> bands;
    for (int y = 0; y < img.height(); ++y) {
        double ink = 0;
        for (int x = 0; x < img.width(); ++x) {
            if (x != stem)
                ink += alphaAt(img, x, y) / 255.0;
        }
        const bool inked = ink >= 3.0 * scale;
        if (inked && (bands.empty() || bands.back().second != y - 1))
            bands.push_back({y, y});
        else if (inked)
            bands.back().second = y;
    }
    if (bands.empty())
        return std::nullopt;
    const auto [from, to] = last ? bands.back() : bands.front();
    double sum = 0, sy = 0;
    int left = img.width(), right = -1;
    for (int y = from; y <= to; ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const int a = alphaAt(img, x, y);
            if (a >= 128) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
            if (x != stem) {
                sum += a;
                sy += a * (y + 0.5);
            }
        }
    }
    return Point{(left + right + 1) / 2.0 / scale, sy / sum / scale};
}

// Plain note pictures: the stem-up and stem-down forms of 64th..half, and
// the whole notes.
constexpr int kPlainStemmed[] = {0, 2, 4, 6, 8, 10};

TEST(GlyphArt, EveryPictureKeepsItsSizeAndStaysInsideItsBox) {
    for (int picture : allPictures()) {
        const PictureSize size = pictureSize(picture);
        const QImage img = rendered(picture);
        ASSERT_EQ(img.size(), QSize(size.width, size.height)) << picture;
        // Drawn with a margin around it, nothing may fall outside the box:
        // the pixmaps would cut it off.
        QImage wide(size.width + 20, size.height + 20, QImage::Format_ARGB32);
        wide.fill(Qt::transparent);
        QPainter p(&wide);
        p.translate(10, 10);
        drawPicture(p, picture);
        p.end();
        int inside = 0, outside = 0;
        for (int y = 0; y < wide.height(); ++y) {
            for (int x = 0; x < wide.width(); ++x) {
                const int a = alphaAt(wide, x, y);
                const bool in = x >= 10 && y >= 10 && x < 10 + size.width && y < 10 + size.height;
                if (in && a > 0)
                    ++inside;
                if (!in && a > 24)
                    ++outside;
            }
        }
        EXPECT_GT(inside, 12) << picture;
        EXPECT_EQ(outside, 0) << picture;
    }
}

TEST(GlyphArt, GlyphsHaveTransparentBackgroundsAndKeysAreSolid) {
    for (int picture : allPictures()) {
        if (picture >= kWhiteKeyPicture)
            continue;
        const QImage img = rendered(picture);
        int clear = 0;
        for (int y = 0; y < img.height(); ++y) {
            for (int x = 0; x < img.width(); ++x)
                clear += alphaAt(img, x, y) == 0;
        }
        EXPECT_GT(clear, img.width() * img.height() * 2 / 5) << picture;
    }
    const QImage white = rendered(kWhiteKeyPicture);
    EXPECT_EQ(white.pixel(12, 50), qRgb(255, 255, 255));
    const QImage black = rendered(kBlackKeyPicture);
    EXPECT_EQ(alphaAt(black, 8, 30), 255);
    EXPECT_LT(qGray(black.pixel(8, 30)), 40);
    const QImage tile = rendered(kKeyboardTilePicture);
    for (QPoint corner : {QPoint(0, 0), QPoint(16, 0), QPoint(0, 64), QPoint(16, 64)})
        EXPECT_EQ(alphaAt(tile, corner.x(), corner.y()), 255);
}

TEST(GlyphArt, NoPictureIsEmptyAndAnUnknownNumberIsAFault) {
    EXPECT_TRUE(picturePixmap(kNoPicture, 1.0).isNull());
    QImage img(8, 8, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    drawPicture(p, kNoPicture);
    p.end();
    EXPECT_EQ(img.pixel(4, 4), 0u);
    EXPECT_DEATH(picturePixmap(kSelectionToolIndex, 1.0), "table index 34");
    EXPECT_DEATH(picturePixmap(114, 1.0), "table index 114");
}

// The head lies 4 pixels above the snapped row: on row 30 of a stem-up
// picture (placed 34 above the row), row 4 of a stem-down one (8 above) and
// row 6 of a whole note (10 above). Up and down forms share the head's x, so
// that the cursor glyph does not jump sideways when it turns its stem.
TEST(GlyphArt, NoteheadsSitWherePlacementPutsThePitch) {
    for (int length : kPlainStemmed) {
        const QImage up = rendered(palettePicture(length));
        const QImage down = rendered(stemDownPicture(length));
        const auto upHead = headCentre(up, stemColumn(up), true);
        const auto downHead = headCentre(down, stemColumn(down), false);
        ASSERT_TRUE(upHead && downHead) << length;
        EXPECT_NEAR(upHead->y, 30.5, 0.3) << length;
        EXPECT_NEAR(downHead->y, 4.5, 0.3) << length;
        EXPECT_NEAR(upHead->x, 5, 1.0) << length;
        EXPECT_NEAR(downHead->x, upHead->x, 1.0) << length;
    }
    for (int picture : {12, 112}) {
        const auto head = headCentre(rendered(picture), -1, false);
        ASSERT_TRUE(head) << picture;
        EXPECT_NEAR(head->y, 6.5, 0.3) << picture;
        EXPECT_NEAR(head->x, 5.3, 1.0) << picture;
    }
}

// A stem-down whole note has no stem: it is the same picture as the palette's.
TEST(GlyphArt, StemDownWholeNotesMatchThePalette) {
    EXPECT_EQ(rendered(stemDownPicture(12)), rendered(12));
    EXPECT_EQ(rendered(stemDownPicture(13)), rendered(13));
}

// A dotted picture is its plain picture plus a dot right of the head, raised
// so that it stays off the line a head sits on.
TEST(GlyphArt, DottedNotesAddOnlyADotRightOfTheHead) {
    std::vector<std::pair<int, int>> pairs;
    for (int length : kPlainStemmed) {
        pairs.push_back({palettePicture(length), palettePicture(length + 1)});
        pairs.push_back({stemDownPicture(length), stemDownPicture(length + 1)});
    }
    pairs.push_back({12, 13});
    for (const auto& [plain, dotted] : pairs) {
        const QImage a = rendered(plain);
        const QImage b = rendered(dotted);
        const QImage dottedWide = b.width() == a.width() ? b : b.copy(0, 0, a.width(), a.height());
        const auto head = headCentre(a, plain == 12 ? -1 : stemColumn(a), plain < 12);
        ASSERT_TRUE(head) << plain;
        int changed = 0;
        double sy = 0;
        for (int y = 0; y < a.height(); ++y) {
            for (int x = 0; x < a.width(); ++x) {
                if (a.pixel(x, y) == dottedWide.pixel(x, y))
                    continue;
                ++changed;
                sy += y + 0.5;
                EXPECT_GT(x, head->x + 3.5) << dotted << " at " << x << "," << y;
            }
        }
        ASSERT_GT(changed, 2) << dotted;
        EXPECT_LT(sy / changed, head->y - 1) << dotted;
    }
}

// Placing a quarter note the way the editor does puts its head on the line
// of its pitch: the top treble line for row 31, middle C's guide line for row
// 21, the top bass line for row 19, the treble middle line from above (stem
// down).
TEST(GlyphArt, PlacedNotesLandOnTheirStaffLines) {
    QImage staff(kStaffBackgroundWidth, kStaffBackgroundHeight, QImage::Format_ARGB32);
    staff.fill(Qt::transparent);
    QPainter sp(&staff);
    drawStaffBackground(sp);
    sp.end();
    const int x = 300;
    for (auto [pointerY, lineY] : {std::pair{44, 40}, {84, 80}, {92, 88}, {60, 56}, {124, 120}}) {
        const int snapped = snappedY(pointerY);
        const bool down = stemBand(pointerY) < 0;
        const int picture = down ? stemDownPicture(8) : palettePicture(8);
        const int top = snapped - (down ? 8 : 34);
        QImage canvas(kStaffBackgroundWidth, kStaffBackgroundHeight, QImage::Format_ARGB32);
        canvas.fill(Qt::transparent);
        QPainter p(&canvas);
        p.drawPixmap(x - 6, top, picturePixmap(picture, 1.0));
        p.end();
        const QImage glyph = canvas.copy(x - 6, top, 13, 37);
        const auto head = headCentre(glyph, stemColumn(glyph), !down);
        ASSERT_TRUE(head) << pointerY;
        EXPECT_NEAR(top + head->y, lineY + 0.5, 0.3) << pointerY;
        EXPECT_EQ(alphaAt(staff, x, lineY), 255) << "no line at " << lineY;
    }
}

// Centroid of ink rows from `fromColumn` rightwards.
double inkRowCentre(const QImage& img, int fromColumn = 0) {
    double sum = 0, sy = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = fromColumn; x < img.width(); ++x) {
            sum += alphaAt(img, x, y);
            sy += alphaAt(img, x, y) * (y + 0.5);
        }
    }
    return sy / sum;
}

// Key signatures place these pictures at fixed spots: a sharp's centre on
// row 8, a flat's bowl on row 13 (the first flat, top 43, on the B line 56).
TEST(GlyphArt, AccidentalsCentreOnTheirDegree) {
    EXPECT_NEAR(inkRowCentre(rendered(kSharpPicture)), 8.5, 0.6);
    EXPECT_NEAR(inkRowCentre(rendered(kNaturalIndex)), 8.5, 0.8);
    const QImage flat = rendered(kFlatPicture);
    EXPECT_NEAR(inkRowCentre(flat, stemColumn(flat) + 1), 13.5, 0.6);
}

// Pointed at a staff's middle line (row 6 of the picture), the half rest
// sits on it and the whole rest hangs from it.
TEST(GlyphArt, HalfRestSitsOnItsLineAndWholeRestHangsFromIt) {
    auto wideRows = [](const QImage& img) {
        std::vector<int> rows;
        for (int y = 0; y < img.height(); ++y) {
            int ink = 0;
            for (int x = 0; x < img.width(); ++x)
                ink += alphaAt(img, x, y) > 128;
            if (ink >= 8)
                rows.push_back(y);
        }
        return rows;
    };
    EXPECT_EQ(wideRows(rendered(kFirstRestIndex + 10)), (std::vector<int>{2, 3, 4, 5, 6}));
    EXPECT_EQ(wideRows(rendered(kFirstRestIndex + 12)), (std::vector<int>{6, 7, 8, 9, 10}));
}

TEST(GlyphArt, HigherRatiosRenderSharperNotBlurred) {
    const QImage one = rendered(8, 1.0);
    const QImage two = rendered(8, 2.0);
    EXPECT_EQ(picturePixmap(8, 2.0).devicePixelRatio(), 2.0);
    ASSERT_EQ(two.size(), QSize(26, 74));
    // The quarter note's stem: one whole column at ratio 1, two at ratio 2,
    // with clear columns beside it.
    EXPECT_EQ(alphaAt(one, 8, 12), 255);
    EXPECT_EQ(alphaAt(one, 7, 12), 0);
    EXPECT_EQ(alphaAt(one, 9, 12), 0);
    EXPECT_EQ(alphaAt(two, 16, 24), 255);
    EXPECT_EQ(alphaAt(two, 17, 24), 255);
    EXPECT_EQ(alphaAt(two, 15, 24), 0);
    EXPECT_EQ(alphaAt(two, 18, 24), 0);
    const auto head = headCentre(two, 16, true);
    ASSERT_TRUE(head);
    EXPECT_NEAR(head->y, 30.5, 0.3);
    // Rendered once per ratio and kept.
    EXPECT_EQ(&picturePixmap(8, 2.0), &picturePixmap(8, 2.0));
    EXPECT_NE(&picturePixmap(8, 2.0), &picturePixmap(8, 1.0));
}

class StaffBackground : public ::testing::Test {
protected:
    static QImage paint(qreal dpr) {
        QImage img(qRound(kStaffBackgroundWidth * dpr), qRound(kStaffBackgroundHeight * dpr),
                   QImage::Format_ARGB32);
        img.setDevicePixelRatio(dpr);
        img.fill(Qt::transparent);
        QPainter p(&img);
        drawStaffBackground(p);
        return img;
    }
};

constexpr QRgb kLine = qRgb(132, 140, 148);
constexpr QRgb kGuide = qRgb(222, 222, 247);

TEST_F(StaffBackground, LinesLieOnTheirRowsInTheirColours) {
    const QImage img = paint(1.0);
    for (int y : {40, 48, 56, 64, 72, 88, 96, 104, 112, 120}) {
        for (int x : {40, 100, 300, 988})
            EXPECT_EQ(img.pixel(x, y), kLine) << x << "," << y;
        EXPECT_EQ(alphaAt(img, 100, y - 1), 0) << y;
        EXPECT_EQ(alphaAt(img, 100, y + 1), 0) << y;
    }
    for (int y : {8, 16, 24, 32, 80, 128, 136, 144}) {
        for (int x : {0, 100, 988})
            EXPECT_EQ(img.pixel(x, y), kGuide) << x << "," << y;
        EXPECT_EQ(alphaAt(img, 100, y + 1), 0) << y;
    }
    for (int x : {265, 465, 665, 865}) {
        for (int y = 40; y <= 72; ++y)
            EXPECT_EQ(img.pixel(x, y), kLine) << x << "," << y;
        for (int y = 88; y <= 120; ++y)
            EXPECT_EQ(img.pixel(x, y), kLine) << x << "," << y;
        EXPECT_EQ(alphaAt(img, x - 1, 44), 0) << x;
        EXPECT_EQ(alphaAt(img, x + 1, 100), 0) << x;
        for (int y : {36, 76, 84, 124})
            EXPECT_NE(img.pixel(x, y), kLine) << x << "," << y;
    }
    // Nothing else anywhere right of the clefs.
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 40; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            ASSERT_TRUE(qAlpha(c) == 0 || c == kLine || c == kGuide) << x << "," << y;
        }
    }
}

TEST_F(StaffBackground, ClefsFillTheirBoxesAndNothingElse) {
    EXPECT_EQ(QFontInfo(QFont(QStringLiteral("Noto Music"))).family(), "Noto Music");
    const QImage img = paint(1.0);
    const QRect treble(2, 32, 21, 49);
    const QRect bass(3, 88, 27, 34);
    int trebleInk = 0, bassInk = 0, solid = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < 40; ++x) {
            const QRgb c = img.pixel(x, y);
            if (qAlpha(c) == 0 || c == kLine || c == kGuide)
                continue;
            // Clef ink: dark blue (faint edge pixels carry too little colour).
            if (qAlpha(c) >= 64) {
                EXPECT_GT(qBlue(c), qRed(c)) << x << "," << y;
            }
            solid += c == qRgb(24, 8, 90);
            trebleInk += treble.contains(x, y);
            bassInk += bass.contains(x, y);
            EXPECT_TRUE(treble.contains(x, y) || bass.contains(x, y)) << x << "," << y;
        }
    }
    EXPECT_GT(trebleInk, 150);
    EXPECT_GT(bassInk, 150);
    EXPECT_GT(solid, 100) << "clef colour where the clefs cover whole pixels";
}

// At ratio 2 a line covers exactly its two device rows at full colour.
TEST_F(StaffBackground, LinesStaySharpAtRatioTwo) {
    const QImage img = paint(2.0);
    for (int y : {40, 120}) {
        EXPECT_EQ(img.pixel(400, 2 * y), kLine);
        EXPECT_EQ(img.pixel(400, 2 * y + 1), kLine);
        EXPECT_EQ(alphaAt(img, 400, 2 * y - 1), 0);
        EXPECT_EQ(alphaAt(img, 400, 2 * y + 2), 0);
    }
    EXPECT_EQ(img.pixel(2 * 265, 2 * 50), kLine);
    EXPECT_EQ(img.pixel(2 * 265 + 1, 2 * 50), kLine);
    EXPECT_EQ(alphaAt(img, 2 * 265 + 2, 2 * 50), 0);
}

TEST(AppIcon, DrawnSharpAtEverySizeOnATransparentTile) {
    for (int size : {16, 48, 256}) {
        const QImage img =
            appIcon().pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(img.width(), size);
        EXPECT_EQ(alphaAt(img, 0, 0), 0) << size;
        EXPECT_EQ(alphaAt(img, size / 2, size - size / 8), 255) << size;
        int light = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x)
                light += qGray(img.pixel(x, y)) > 200;
        }
        EXPECT_GT(light, size * size / 20) << "the white notes, " << size;
    }
}

// Reads back the path data that appIconSvg writes (absolute M, L, C, Z).
QPainterPath parsePathData(const QString& d) {
    QString spaced;
    for (QChar c : d)
        spaced += c.isLetter() ? QString(" %1 ").arg(c) : QString(c);
    const QStringList tokens = spaced.split(' ', Qt::SkipEmptyParts);
    QPainterPath path;
    for (qsizetype i = 0; i < tokens.size();) {
        const QString cmd = tokens[i++];
        auto num = [&] { return tokens[i++].toDouble(); };
        if (cmd == "M") {
            const double x = num(), y = num();
            path.moveTo(x, y);
        } else if (cmd == "L") {
            const double x = num(), y = num();
            path.lineTo(x, y);
        } else if (cmd == "C") {
            double v[6];
            for (double& n : v)
                n = num();
            path.cubicTo(v[0], v[1], v[2], v[3], v[4], v[5]);
        } else if (cmd == "Z") {
            path.closeSubpath();
        } else {
            ADD_FAILURE() << "unexpected path command " << cmd.toStdString();
            break;
        }
    }
    return path;
}

TEST(AppIcon, SvgTextIsTheSamePicture) {
    QXmlStreamReader xml(QString::fromStdString(appIconSvg()));
    QImage fromSvg(64, 64, QImage::Format_ARGB32);
    fromSvg.fill(Qt::transparent);
    QPainter p(&fromSvg);
    p.setRenderHint(QPainter::Antialiasing);
    int paths = 0;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"svg") {
            EXPECT_EQ(xml.attributes().value("viewBox"), u"0 0 64 64");
            continue;
        }
        ASSERT_EQ(xml.name(), u"path");
        ++paths;
        const QColor fill(xml.attributes().value("fill").toString());
        ASSERT_TRUE(fill.isValid());
        p.fillPath(parsePathData(xml.attributes().value("d").toString()), fill);
        xml.skipCurrentElement();
    }
    p.end();
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_GE(paths, 3);
    const QImage painted =
        appIcon().pixmap(QSize(64, 64)).toImage().convertToFormat(QImage::Format_ARGB32);
    int differ = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const QRgb a = painted.pixel(x, y), b = fromSvg.pixel(x, y);
            differ += std::abs(qGray(a) - qGray(b)) > 48 || std::abs(qAlpha(a) - qAlpha(b)) > 48;
        }
    }
    EXPECT_LT(differ, 64 * 64 / 100);
}

}  // namespace
}  // namespace tsuzuri
