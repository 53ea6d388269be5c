#include "view/render.h"

#include <algorithm>

#include "score/canvas_geometry.h"
#include "view/glyph_catalogue.h"

namespace tsuzuri {

int clampViewStart(int first) {
    return std::clamp(first, 0, kLastFirstMeasure);
}

void dispn(EditorState& s, Table<GlyphItem, 82>& image4, int first) {
    first = clampViewStart(first);
    for (int i = 1; i <= 80; ++i)
        image4[i].top = kHiddenNoteTop;
    s.glyphIndex = 1;
    const int t = s.curTrack;
    for (int m = first; m < first + kViewMeasures; ++m) {
        s.glyphIndex = static_cast<std::int16_t>(glyphForSlot(m, 0));
        const Measure& measure = s.score[t].measures[m];
        for (int slot = 0; slot < measure.noteCount; ++slot) {
            const auto& attr = measure.noteAttr[slot];
            GlyphItem& item = image4[s.glyphIndex];
            item.left = attr[kAttrX] + (m - first) * kColumnWidth + kNoteOrigin;
            item.top = attr[kAttrTop];
            item.picture = pictureForGlyphCode(attr[kAttrCode]);
            ++s.glyphIndex;
        }
    }
}

}  // namespace tsuzuri
