#include "score/placement.h"

#include "score/canvas_geometry.h"
#include "score/score_ops.h"
#include "state/tables.h"

namespace tsuzuri {

namespace {

const char* const kNoPitchRow = "この高さには置けません";
const char* const kMeasureFull = "1小節に置けるのは20個までです";

const char* refusalFor(const EditorState& s, int m, int row) {
    if (!measureInScore(m))
        return kOutsideMeasuresNotice.data();
    if (row < 0 || row >= kNamedRows)
        return kNoPitchRow;
    if (currentMeasure(s, m).noteCount >= kMaxNotesPerMeasure)
        return kMeasureFull;
    return nullptr;
}

}  // namespace

Placement placeNote(EditorState& s) {
    Placement result;
    const int m = s.pointer.mouseMeasure;
    const int t = s.view.curTrack;
    const int row = rowAtY(s.pointer.mouseY);
    if (const char* refusal = refusalFor(s, m, row)) {
        result.refusal = refusal;
        return result;
    }
    if (isNoteLength(s.view.curLength)) {
        result.text = s.tables.rowNames[row] + s.tables.lengthNames[s.view.curLength] + " ";
        result.preview = true;
        result.previewNote = s.tables.rowMidi[row];
    } else {
        result.text = s.tables.lengthNames[s.view.curLength] + " ";
    }
    // The slot follows from the unshifted pointer offset; the stored offset is
    // the glyph's left edge, 6 pixels further left.
    const int xo = s.pointer.mouseX - kNoteOrigin - kColumnWidth * s.pointer.viewCol;
    const SlotData data{static_cast<std::int16_t>(xo - 6), s.pointer.glyphTop, s.pointer.glyphCode,
                        static_cast<std::int16_t>(row)};
    Measure& measure = s.piece.score[t].measures[m];
    insertSlot(measure, insertionSlot(measure, xo), data);
    result.placed = true;
    if (m > s.piece.score[t].lastMeasure) {
        s.piece.score[t].lastMeasure = static_cast<std::int16_t>(m);
        result.trackGrew = true;
        result.sliderMax = m + 1;
    }
    return result;
}

}  // namespace tsuzuri
