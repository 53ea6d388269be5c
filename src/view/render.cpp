#include "view/render.h"

#include <algorithm>

#include "score/canvas_geometry.h"

namespace tsuzuri {

void dispn(EditorState& s, GlyphTable& image4, int first) {
    first = clampViewStart(first);
    for (int i = 1; i <= kNoteGlyphs; ++i)
        image4[i].top = kHiddenNoteTop;
    s.glyphIndex = 1;
    const int t = s.curTrack;
    for (int m = first; m < first + kViewMeasures; ++m) {
        s.glyphIndex = static_cast<std::int16_t>(glyphForSlot(m, 0));
        const Measure& measure = s.score[t].measures[m];
        for (int slot = 0; slot < measure.noteCount; ++slot) {
            showNote(image4[s.glyphIndex], measure, slot, m - first);
            ++s.glyphIndex;
        }
    }
}

}  // namespace tsuzuri
