#include "view/render.h"

#include <algorithm>

#include "music/bars.h"
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

MeasureNumbers measureNumbers(const EditorState& s, int first) {
    first = clampViewStart(first);
    const TrackScore& track = s.piece.score[s.view.curTrack];
    MeasureNumbers numbers;
    for (int k = 0; k < kViewMeasures; ++k) {
        const BarFit fit = measureFit(track, s.piece.meter, first + k).fit;
        numbers[k] = {first + k + 1, fit == BarFit::Short || fit == BarFit::Long};
    }
    return numbers;
}

}  // namespace tsuzuri
