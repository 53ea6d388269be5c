#pragma once

#include <optional>

#include "state/editor_state.h"
#include "score/note_glyph.h"

namespace tsuzuri {

// A note of the current track: its measure and slot.
struct NoteRef {
    int measure = 0;
    int slot = 0;
};

// The note glyph element g (1..80) shows in the current view, or nothing when
// g is the cursor glyph, lies outside the note blocks or its slot holds no note.
std::optional<NoteRef> noteOfGlyph(const EditorState& s, int g);

// The note of the selected glyph, or nothing when no glyph is selected or the
// selected glyph shows no note.
std::optional<NoteRef> selectedNote(const EditorState& s);

// Removes the frame of the selected glyph and ends the selection.
void dropSelection(EditorState& s, GlyphTable& image4);

// Frames glyph g and makes it the selection.
void selectGlyph(EditorState& s, GlyphTable& image4, int g);

// Right click on glyph g: the note it shows gives its length to the palette
// choice and its picture to the cursor glyph. The cursor glyph and a glyph
// showing no note give nothing; returns whether anything changed.
bool pickUpLength(EditorState& s, GlyphTable& image4, int g);

// A palette choice of index `index` while a note is selected: the note keeps
// its row and x offset and takes the new length or mark with the glyph top
// and stem direction that placing it on that row gives. Returns whether a
// note changed.
bool changeSelectedLength(EditorState& s, int index);

}  // namespace tsuzuri
