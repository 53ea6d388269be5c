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
    const int m = s.mouseMeasure;
    const int t = s.curTrack;
    const int row = rowAtY(s.mouseY);
    if (const char* refusal = refusalFor(s, m, row)) {
        result.refusal = refusal;
        return result;
    }
    if (isNoteLength(s.curLength)) {
        result.text = s.rowNames[row] + s.lengthNames[s.curLength] + " ";
        result.preview = true;
        result.previewNote = s.rowMidi[row];
    } else {
        result.text = s.lengthNames[s.curLength] + " ";
    }
    // The slot follows from the unshifted pointer offset; the stored offset is
    // the glyph's left edge, 6 pixels further left.
    const int xo = s.mouseX - kNoteOrigin - kColumnWidth * s.viewCol;
    const SlotData data{static_cast<std::int16_t>(xo - 6), s.glyphTop, s.glyphCode,
                        static_cast<std::int16_t>(row)};
    Measure& measure = s.score[t].measures[m];
    insertSlot(measure, insertionSlot(measure, xo), data);
    result.placed = true;
    if (m > s.score[t].lastMeasure) {
        s.score[t].lastMeasure = static_cast<std::int16_t>(m);
        result.trackGrew = true;
        result.sliderMax = m + 1;
    }
    return result;
}

}  // namespace tsuzuri
