#pragma once

namespace tsuzuri {

// Geometry of the score canvas, in canvas pixels. Integer division truncates
// toward zero, as everywhere in the editor.
inline constexpr int kColumnLeft = 65;         // left edge of the first measure column
inline constexpr int kColumnWidth = 200;       // width of one measure column
inline constexpr int kNoteOrigin = 70;         // x where a column's note offsets start
inline constexpr int kTopRow = 42;             // staff row at y = 0
inline constexpr int kMouseYCap = 156;         // the lowest pointer y kept
inline constexpr int kHiddenNoteTop = -100;    // top of a note glyph that shows nothing
inline constexpr int kHiddenCursorTop = -111;  // top of the parked cursor glyph
inline constexpr int kViewMeasures = 4;
inline constexpr int kGlyphsPerMeasure = 20;
inline constexpr int kLastFirstMeasure = 197;  // the view shows measures first..first+3 <= 200

// The measure column (0..3 inside the canvas) under canvas x.
inline int viewColumn(int x) {
    return (x - kColumnLeft) / kColumnWidth;
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
