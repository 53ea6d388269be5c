#pragma once

#include <cstdint>
#include <string>

#include "state/editor_state.h"

namespace tsuzuri {

// What placing a note asks of the window.
struct Placement {
    bool placed = false;
    // Appended to the track's MML text: the slot's token as the compiler
    // writes it, a note with the pitch it sounds where it stands.
    std::string text;
    bool preview = false;          // sound `previewNote` (notes only, not rests or marks)
    std::uint8_t previewNote = 0;  // the pitch the placed note sounds
    bool trackGrew = false;        // the track's last measure rose to the note's measure
    std::string refusal;           // why nothing was placed, for the user
};

// Places a note of the current palette length where the pointer `place` (as
// pointerAt gives it for a click) shows the cursor glyph: at its measure and
// row, into the slot its x offset calls for, with the cursor glyph's top and
// glyph code. Refuses, changing nothing, a measure outside 0..200, a row
// without a pitch and a measure already full.
Placement placeNote(EditorState& s, const Pointer& place);

}  // namespace tsuzuri
