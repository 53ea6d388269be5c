#pragma once

#include "state/editor_state.h"
#include "view/glyph_item.h"

namespace tsuzuri {

// Positions glyph `item` for the integer canvas position x, y as the cursor
// glyph shows the current palette length there: recomputes the stem direction
// from y, switches the picture between stem-up and stem-down forms when the
// direction changed, and sets glyphTop, glyphLeft and glyphCode. With the
// selection tool (palette index 34) nothing is moved.
void disp(EditorState& s, GlyphItem& item, int x, int y);

}  // namespace tsuzuri
