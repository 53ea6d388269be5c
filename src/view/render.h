#pragma once

#include <cstdint>

#include "state/editor_state.h"
#include "view/glyph_item.h"

namespace tsuzuri {

// The first measure a view may start at: measures first..first+3 must exist.
int clampViewStart(int first);

// The picture a note shows: by its glyph code, except that a sixty-fourth
// note stored stem-down (code 0, its top below the stem-up place) shows its
// stem-down picture.
int notePicture(int code, int top, int row);

// Gives element `item` the place and picture of slot `slot` of `measure`,
// drawn in view column `column`.
void showNote(GlyphItem& item, const Measure& measure, int slot, int column);

// Redraws the view of the current track starting at measure `first` (clamped
// into 0..197): hides glyph elements 1..80 above the canvas, then gives every
// note of the four measures its element (block (m mod 4) * 20 + 1 on), place
// and picture. Elements 0 (the cursor) and 81 are left where they are unless
// a 21st note of a measure reaches 81.
void dispn(EditorState& s, Table<GlyphItem, 82>& image4, int first);

}  // namespace tsuzuri
