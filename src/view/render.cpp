#include "view/render.h"

#include <algorithm>

#include "score/canvas_geometry.h"

namespace tsuzuri {

void dispn(const EditorState& s, GlyphTable& image4, int first) {
    first = clampViewStart(first);
    for (int i = 1; i <= kNoteGlyphs; ++i)
        image4[i].top = kHiddenNoteTop;
    const TrackScore& track = s.piece.score[s.view.curTrack];
    for (int m = first; m < first + kViewMeasures; ++m) {
        const Measure& measure = track.measures[m];
        for (int slot = 0; slot < measure.noteCount; ++slot)
            showNote(image4[glyphForSlot(m, slot)], measure, slot, m - first);
    }
}

}  // namespace tsuzuri
