#include "score/key_edit.h"

#include <cstdlib>
#include <limits>

#include "score/canvas_geometry.h"
#include "score/pointer.h"
#include "state/spaced.h"
#include "score/note_glyph.h"

namespace tsuzuri {

namespace {

bool fitsInt16(int v) {
    return v >= std::numeric_limits<std::int16_t>::min() &&
           v <= std::numeric_limits<std::int16_t>::max();
}

// Shows the edited note's glyph as the renderer draws it. The glyph is first
// positioned with `disp` as if the pointer stood on the note's row, so that
// the stem direction and the cursor values follow the edited note.
void redisplay(EditorState& s, GlyphTable& image4, int g, const NoteRef& note) {
    const Measure& measure = currentMeasure(s, note.measure);
    const int column = note.measure - clampViewStart(s.view.firstMeasure);
    const int x =
        column * kColumnWidth + kNoteOrigin + measure.noteAttr[note.slot][kAttrX] + kGlyphHotSpotX;
    disp(s, image4[g], x, rowSnappedY(measure.noteRow[note.slot]));
    showNote(image4[g], measure, note.slot, column);
}

void moveFrame(EditorState& s, GlyphTable& image4, int step) {
    image4[s.view.selGlyph].framed = false;
    s.view.selGlyph = static_cast<std::int16_t>(s.view.selGlyph + step);
    image4[s.view.selGlyph].framed = true;
}

// Left and Right without modifiers: the frame steps to the neighbouring note
// of its measure, and stays at the measure's first and last note. A frame left
// on a glyph without a note (its note deleted) steps back towards the notes.
void stepFrame(EditorState& s, GlyphTable& image4, int step) {
    const int slot = slotOfGlyph(s.view.selGlyph);
    const int measure = measureOfGlyph(s.view.selGlyph, clampViewStart(s.view.firstMeasure));
    const bool inMeasure = step < 0 ? slot > 0 : slot + 1 < currentMeasure(s, measure).noteCount;
    moveFrame(s, image4, inMeasure ? step : 0);
}

// Left and Right with Shift alone: the glyph top moves by one pixel (only
// Left shows it at once).
void nudge(EditorState& s, GlyphTable& image4, const NoteRef& note, int step, int shift) {
    if (shift != kShiftOnly)
        return;
    auto& top = currentMeasure(s, note.measure).noteAttr[note.slot][kAttrTop];
    if (!fitsInt16(top + step))
        return;
    top = static_cast<std::int16_t>(top + step);
    if (step < 0)
        redisplay(s, image4, s.view.selGlyph, note);
}

// Up and Down: one staff row. The note keeps its length and takes the glyph
// top and stem direction that placing it on the new row gives.
KeyOutcome vertical(EditorState& s, GlyphTable& image4, const NoteRef& note, int rows) {
    KeyOutcome outcome;
    auto& attr = currentMeasure(s, note.measure).noteAttr[note.slot];
    auto& row = currentMeasure(s, note.measure).noteRow[note.slot];
    const int newRow = row + rows;
    if (!rowHasPitch(newRow))
        return outcome;
    const PlacedGlyph glyph = placedGlyph(std::abs(attr[kAttrCode]), newRow);
    attr[kAttrTop] = static_cast<std::int16_t>(glyph.top);
    attr[kAttrCode] = static_cast<std::int16_t>(glyph.code);
    row = static_cast<std::int16_t>(newRow);
    redisplay(s, image4, s.view.selGlyph, note);
    if (rows < 0)
        outcome.stemReadout = spaced(s.pointer.stemDir) + spaced(attr[kAttrCode]);
    return outcome;
}

// Glyphs 1..80 show the notes of the view; 0 is the cursor glyph.
bool isViewGlyph(int g) {
    return g >= 1 && g <= kNoteGlyphs;
}

}  // namespace

KeyOutcome editWithKey(EditorState& s, GlyphTable& image4, CanvasKey key, int shift) {
    if (key == CanvasKey::Escape) {
        dropSelection(s, image4);
        return {};
    }
    const bool sideways = key == CanvasKey::Left || key == CanvasKey::Right;
    const int step = key == CanvasKey::Left ? -1 : 1;
    if (sideways && shift == 0 && s.view.selActive != 0 && isViewGlyph(s.view.selGlyph)) {
        stepFrame(s, image4, step);
        return {};
    }
    const std::optional<NoteRef> note = selectedNote(s);
    if (!note)
        return {};
    switch (key) {
        case CanvasKey::Left:
        case CanvasKey::Right:
            nudge(s, image4, *note, step, shift);
            return {};
        case CanvasKey::Up:
            return vertical(s, image4, *note, 1);
        case CanvasKey::Down:
            return vertical(s, image4, *note, -1);
        case CanvasKey::Delete:
            return {.deleteNote = true, .stemReadout = std::nullopt};
        default:
            return {};
    }
}

}  // namespace tsuzuri
