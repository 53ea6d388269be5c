#include "view/render.h"

#include <algorithm>

#include "score/canvas_geometry.h"
#include "view/glyph_catalogue.h"

namespace tsuzuri {

int clampViewStart(int first) {
    return std::clamp(first, 0, kLastFirstMeasure);
}

int notePicture(int code, int top, int row) {
    if (code == 0 && drawnStemDown(code, top, row))
        return stemDownPicture(0);
    return pictureForGlyphCode(code);
}

void showNote(GlyphItem& item, const Measure& measure, int slot, int column) {
    const auto& attr = measure.noteAttr[slot];
    item.left = attr[kAttrX] + column * kColumnWidth + kNoteOrigin;
    item.top = attr[kAttrTop];
    item.picture = notePicture(attr[kAttrCode], attr[kAttrTop], measure.noteRow[slot]);
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
            showNote(image4[s.glyphIndex], measure, slot, m - first);
            ++s.glyphIndex;
        }
    }
}

}  // namespace tsuzuri
