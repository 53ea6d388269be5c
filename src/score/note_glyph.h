#pragma once

#include "score/canvas_geometry.h"
#include "score/glyph_item.h"
#include "state/editor_state.h"

namespace tsuzuri {

// The canvas's glyph elements Image4: element 0 is the cursor glyph, 1..80
// show the notes of the four measures in view (20 a measure), and 81 takes a
// 21st note of the last measure's block.
inline constexpr int kNoteGlyphs = kViewMeasures * kGlyphsPerMeasure;
inline constexpr int kImage4Count = kNoteGlyphs + 2;
using GlyphTable = Table<GlyphItem, kImage4Count>;

// The picture a note shows: by its glyph code, except that a sixty-fourth
// note stored stem-down (code 0, its top below the stem-up place) shows its
// stem-down picture.
int notePicture(int code, int top, int row);

// Gives element `item` the place and picture of slot `slot` of `measure`,
// drawn in view column `column`.
void showNote(GlyphItem& item, const Measure& measure, int slot, int column);

}  // namespace tsuzuri
