#include "score/selection.h"

#include <algorithm>
#include <cstdlib>

#include "score/canvas_geometry.h"

namespace tsuzuri {

std::optional<NoteRef> noteOfGlyph(const EditorState& s, int g) {
    if (g < 1 || g > kNoteGlyphs)
        return std::nullopt;
    const NoteRef note{measureOfGlyph(g, clampViewStart(s.view.firstMeasure)), slotOfGlyph(g)};
    if (note.slot >= currentMeasure(s, note.measure).noteCount)
        return std::nullopt;
    return note;
}

std::optional<NoteRef> selectedNote(const EditorState& s) {
    if (s.view.selActive == 0)
        return std::nullopt;
    return noteOfGlyph(s, s.view.selGlyph);
}

void dropSelection(EditorState& s, GlyphTable& image4) {
    s.view.selActive = 0;
    image4[s.view.selGlyph].framed = false;
}

void selectGlyph(EditorState& s, GlyphTable& image4, int g) {
    image4[g].framed = true;
    s.view.selActive = 1;
    s.view.selGlyph = static_cast<std::int16_t>(g);
}

bool pickUpLength(EditorState& s, GlyphTable& image4, int g) {
    const std::optional<NoteRef> note = noteOfGlyph(s, g);
    if (!note)
        return false;
    const int code = currentMeasure(s, note->measure).noteAttr[note->slot][kAttrCode];
    s.view.curLength = static_cast<std::int16_t>(std::abs(code));
    image4[0].picture = image4[g].picture;
    return true;
}

bool changeSelectedLength(EditorState& s, int index) {
    const std::optional<NoteRef> note = selectedNote(s);
    if (!note)
        return false;
    Measure& measure = currentMeasure(s, note->measure);
    const PlacedGlyph glyph = placedGlyph(index, measure.noteRow[note->slot]);
    measure.noteAttr[note->slot][kAttrTop] = static_cast<std::int16_t>(glyph.top);
    measure.noteAttr[note->slot][kAttrCode] = static_cast<std::int16_t>(glyph.code);
    return true;
}

}  // namespace tsuzuri
