#include "score/placement.h"

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
    if (isNoteIndex(s.view.curLength)) {
        result.text = s.tables.rowNames[row] + s.tables.lengthNames[s.view.curLength] + " ";
        result.preview = true;
        result.previewNote = s.tables.rowMidi[row];
    } else {
        result.text = s.tables.lengthNames[s.view.curLength] + " ";
    }
    // The slot follows from the pointer offset; the stored offset is the
    // glyph's left edge.
    const int xo = columnOffset(place.mouseX, place.viewCol);
    const SlotData data{static_cast<std::int16_t>(xo - kGlyphHotSpotX), place.glyphTop,
                        place.glyphCode, static_cast<std::int16_t>(row)};
    Measure& measure = s.piece.score[t].measures[m];
    insertSlot(measure, insertionSlot(measure, xo), data);
    result.placed = true;
    result.trackGrew = raiseLastMeasure(s.piece.score[t], m);
    return result;
}

}  // namespace tsuzuri
