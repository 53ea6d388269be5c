#pragma once

#include <optional>
#include <string>

#include "score/selection.h"
#include "state/editor_state.h"

namespace tsuzuri {

// The keys the score canvas acts on.
enum class CanvasKey { Other, Escape, F5, F6, Left, Up, Right, Down, Delete };

// Modifier masks as the key handler receives them, added together.
inline constexpr int kShiftOnly = 1;

// What a canvas key leaves for the window to do after the edit.
struct KeyOutcome {
    bool deleteNote = false;                 // run the deletion of the selected note
    std::optional<std::string> stemReadout;  // new text of Label5 (after Down)
};

// Escape ends the selection. While a glyph showing a note is selected, the
// arrows move the frame within the note's measure (no modifier), nudge the
// glyph top (Left/Right with Shift alone) or move the note one staff row
// (Up/Down, any modifiers: the note takes the glyph top and stem direction
// that placing its length on the new row gives), redisplaying the glyph where
// the renderer draws it; Delete asks for
// the deletion. Moves that would leave the named rows 0..95 or the 16-bit
// range of the glyph top are ignored. F5 and F6 are the window's.
KeyOutcome editWithKey(EditorState& s, GlyphTable& image4, CanvasKey key, int shift);

}  // namespace tsuzuri
