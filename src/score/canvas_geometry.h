#pragma once

#include <algorithm>

#include "state/palette_index.h"
#include "state/piece.h"

namespace tsuzuri {

// Geometry of the score canvas, in canvas pixels. Integer division truncates
// toward zero, as everywhere in the editor.
inline constexpr int kColumnLeft = 65;         // left edge of the first measure column
inline constexpr int kColumnWidth = 200;       // width of one measure column
inline constexpr int kNoteOrigin = 70;         // x where a column's note offsets start
// The pointer stands this far right of the left edge of the glyph it places:
// a glyph's stored x offset is its left edge, the pointer's offset 6 more.
inline constexpr int kGlyphHotSpotX = 6;
inline constexpr int kTopRow = 42;             // staff row at y = 0
inline constexpr int kMouseYCap = 156;         // the lowest pointer y kept
inline constexpr int kHiddenNoteTop = -100;    // top of a note glyph that shows nothing
inline constexpr int kHiddenCursorTop = -111;  // top of the parked cursor glyph
inline constexpr int kViewMeasures = 4;
inline constexpr int kGlyphsPerMeasure = 20;
inline constexpr int kLastFirstMeasure = kMeasureCount - kViewMeasures;  // shows 197..200

// The first measure a view may start at: measures first..first+3 must exist.
inline int clampViewStart(int first) {
    return std::clamp(first, 0, kLastFirstMeasure);
}

// The measure column (0..3 inside the canvas) under canvas x.
inline int viewColumn(int x) {
    return (x - kColumnLeft) / kColumnWidth;
}

// Canvas x as an offset inside view column `column`, the measure of stored
// x offsets.
inline int columnOffset(int x, int column) {
    return x - kNoteOrigin - kColumnWidth * column;
}

// The staff row under canvas y, and the y a row snaps to.
inline int rowAtY(int y) {
    return kTopRow - (y + 2) / 4;
}
inline int snappedY(int y) {
    return ((y + 2) / 4) * 4;
}

// The stem direction a glyph takes at pointer y: down above the treble staff's
// middle and between the staves' middles, up elsewhere.
inline int stemBand(int y) {
    if (y < 62)
        return -1;
    if (y < 90)
        return 1;
    if (y < 110)
        return -1;
    return 1;
}

// The y of a staff row: the snapped y of every pointer y on that row.
inline int rowSnappedY(int row) {
    return (kTopRow - row) * 4;
}

// The stem direction of a glyph of palette index `length` at pointer y:
// whole notes, rests and marks are always stored stem-down.
inline int stemFor(int length, int y) {
    return isStemmedIndex(length) ? stemBand(y) : -1;
}

// The top a glyph of palette index `length` takes above snapped row y with
// stem direction `dir`. Note pictures put their head 4 pixels above the row:
// stem-up pictures have their bottom edge on the row, stem-down ones their
// top 8 pixels above it, whole notes, rests and other marks 10 pixels above.
// The accidentals sit with their centre (the flat: its bowl) on the row's
// line or space, as the key signature shows them: the sharp and the natural
// 12 pixels above the row, the flat 17.
inline int glyphTopAt(int length, int snapped, int dir) {
    if (length == kSharpIndex || length == kNaturalIndex)
        return snapped - 12;
    if (length == kFlatIndex)
        return snapped - 17;
    if (!isStemmedIndex(length))
        return snapped - 10;
    return dir == 1 ? snapped - 34 : snapped - 8;
}

// What placing palette index `length` on staff row `row` stores: the glyph
// top and the signed glyph code (stem direction times length).
struct PlacedGlyph {
    int top = 0;
    int code = 0;
};
inline PlacedGlyph placedGlyph(int length, int row) {
    const int snapped = rowSnappedY(row);
    const int dir = stemFor(length, snapped);
    return {glyphTopAt(length, snapped, dir), dir * length};
}

// Whether a note is drawn stem-down. The code carries the direction except
// for the sixty-fourth note, whose code 0 has no sign: its glyph top tells,
// stem-down tops lying 26 pixels below stem-up ones (a one-pixel nudge of
// the top leaves the answer alone).
inline bool drawnStemDown(int code, int top, int row) {
    if (code != 0)
        return code < 0;
    return top > rowSnappedY(row) - 21;
}

// The Image4 element that shows slot `slot` of measure m.
inline int glyphForSlot(int m, int slot) {
    return (m % 4) * kGlyphsPerMeasure + slot + 1;
}

// The measure shown in the view starting at `first` whose glyph block holds
// element g (1..80), and the slot it shows.
inline int measureOfGlyph(int g, int first) {
    const int block = (g - 1) / kGlyphsPerMeasure;
    for (int m = first; m < first + kViewMeasures; ++m) {
        if (m % 4 == block)
            return m;
    }
    return first;  // unreachable: four consecutive measures cover every block
}
inline int slotOfGlyph(int g) {
    return (g - 1) % kGlyphsPerMeasure;
}

}  // namespace tsuzuri
