#pragma once

#include <cstdint>

#include "state/editor_state.h"
#include "score/glyph_item.h"

namespace tsuzuri {

// The cursor glyph follows the pointer only while the pointer y is above this.
inline constexpr double kCursorTrackLimit = 200;

// Positions glyph `item` for the integer canvas position x, y as the cursor
// glyph shows the current palette length there: recomputes the stem direction
// from y, switches the picture between stem-up and stem-down forms when the
// direction changed, and sets the cursor glyph's top and code. With the
// selection tool (palette index 34) nothing is moved.
void disp(EditorState& s, GlyphItem& item, int x, int y);

// A pointer coordinate as stored: rounded to the nearest integer, halves to
// even. Positions no screen holds are pulled in first so that the glyph
// arithmetic on them stays inside 16 bits.
std::int16_t roundPointer(double v);

// A pointer coordinate as the glyph positioning takes it: rounded down.
int pointerPixel(double v);

// Keeps the pointer position x, y (canvas pixels) and the measure under it:
// mouseX, mouseY (never below the staff's last row, 156), viewCol, mouseMeasure.
void trackPointer(EditorState& s, double x, double y);

// The pointer at canvas position x, y as a move there leaves it: the position
// trackPointer keeps, and the stem direction, top and glyph code of the cursor
// glyph that the current palette length shows there (disp).
Pointer pointerAt(const EditorState& s, double x, double y);

// A position a glyph element reports, in twips from its top-left corner, as
// canvas pixels.
struct CanvasPoint {
    double x = 0;
    double y = 0;
};
CanvasPoint canvasPoint(const GlyphItem& item, double x, double y);

}  // namespace tsuzuri
