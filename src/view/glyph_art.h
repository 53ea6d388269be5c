#pragma once

#include "score/glyph_item.h"

#include <string>

#include <QIcon>
#include <QPixmap>

class QPainter;

namespace tsuzuri {

// The window's pictures, drawn as vector art so that they stay sharp at any
// screen scale. Every picture keeps the design size of glyph_catalogue.h and
// has a transparent background.
//
// Note pictures put the notehead where a note placed from snapped row y must
// show it, 4 pixels above that row: stem-up notes (top at y - 34) at picture
// row 30, stem-down notes (top at y - 8) at row 4, the whole notes and every
// other palette picture (top at y - 10) at row 6.

// Draws `picture` with its top-left corner at the painter's origin, one unit
// per design pixel. Draws nothing for kNoPicture; any other number that names
// no picture is a fault.
void drawPicture(QPainter& p, int picture);

// `picture` rendered for a screen of the given device pixel ratio: design size
// times the ratio in device pixels, the ratio set on the pixmap, transparent
// outside the art. Rendered once per picture and ratio and kept for the life of
// the program. An empty pixmap for kNoPicture.
const QPixmap& picturePixmap(int picture, qreal devicePixelRatio);

// Where a click on `picture` counts, in design pixels from its top-left
// corner: the bounding box of its drawn art with a margin of one pixel, two
// above and below the thin arcs. Measured once per picture.
QRectF clickArea(int picture);

// The score canvas's background: the grand staff with its guide lines, bar
// lines and clefs, 989 x 152 design pixels, drawn on transparent (the canvas
// fills white beneath it).
inline constexpr int kStaffBackgroundWidth = 989;
inline constexpr int kStaffBackgroundHeight = 152;
void drawStaffBackground(QPainter& p);

// Short ledger lines for a note glyph whose head lies above or below the
// staves or on middle C's line between them: one per line from the staff to
// the head, a little wider than the head. Nothing for other glyphs.
void drawLedgerLines(QPainter& p, const GlyphItem& item);

// Draws a light element at its place: its picture, and its single-line frame
// when it has one.
void drawGlyphItem(QPainter& p, const GlyphItem& item, qreal devicePixelRatio);

// The program's icon: a scalable picture of beamed notes on a staff, and the
// same art as SVG text for desktop installation.
QIcon appIcon();
std::string appIconSvg();

}  // namespace tsuzuri
