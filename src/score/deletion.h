#pragma once

#include "state/editor_state.h"

namespace tsuzuri {

// Removes the note of the selected glyph from its measure and closes the gap;
// the selection stays on the glyph, which then shows the following note.
// Nothing happens when the selected glyph shows no note. Returns whether a
// note was removed.
bool deleteSelected(EditorState& s);

}  // namespace tsuzuri
