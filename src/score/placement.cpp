#include "score/placement.h"

#include "mml/mml_writer.h"
#include "music/interpretation.h"
#include "score/canvas_geometry.h"
#include "score/score_ops.h"
#include "state/tables.h"

namespace tsuzuri {

namespace {

const char* const kNoPitchRow = "この高さには置けません";

const char* refusalFor(const EditorState& s, int m, int row) {
    if (!measureInScore(m))
        return kOutsideMeasuresNotice.data();
    if (!rowHasPitch(row))
        return kNoPitchRow;
    if (currentMeasure(s, m).noteCount >= kMaxNotesPerMeasure)
        return kMeasureFullNotice.data();
    return nullptr;
}

}  // namespace

Placement placeNote(EditorState& s, const Pointer& place) {
    Placement result;
    const int m = place.mouseMeasure;
    const int t = s.view.curTrack;
    const int row = rowAtY(place.mouseY);
    if (const char* refusal = refusalFor(s, m, row)) {
        result.refusal = refusal;
        return result;
    }
    // The slot follows from the pointer offset; the stored offset is the
    // glyph's left edge.
    const int xo = columnOffset(place.mouseX, place.viewCol);
    const SlotData data{static_cast<std::int16_t>(xo - kGlyphHotSpotX), place.glyphTop,
                        place.glyphCode, static_cast<std::int16_t>(row)};
    Measure& measure = s.piece.score[t].measures[m];
    const int slot = insertionSlot(measure, xo);
    // The text and the preview say what the slot sounds where it goes: a note
    // with the sign the marks before it on its row in its measure give it.
    const MusicEvent placed =
        placedEvent(measure, slot, row, s.view.curLength, staffRowsOf(s.tables));
    appendMmlToken(result.text, placed);
    if (placed.kind == EventKind::Note) {
        result.preview = true;
        result.previewNote = placed.pitch.key;
    }
    insertSlot(measure, slot, data);
    result.placed = true;
    result.trackGrew = raiseLastMeasure(s.piece.score[t], m);
    return result;
}

}  // namespace tsuzuri
