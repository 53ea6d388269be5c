#include "score/pointer.h"

#include "score/canvas_geometry.h"
#include "view/glyph_catalogue.h"

namespace tsuzuri {

void disp(EditorState& s, GlyphItem& item, int x, int y) {
    s.prevStemDir = s.stemDir;
    const int snapped = snappedY(y);
    s.stemDir = static_cast<std::int16_t>(stemBand(y));
    if (s.stemDir != s.prevStemDir && s.curLength < 12) {
        item.picture = s.stemDir == 1 ? palettePicture(s.curLength) : stemDownPicture(s.curLength);
    }
    int extra = 0;
    if (s.curLength > 11) {
        s.stemDir = -1;
        extra = 2;
    }
    if (s.curLength == kSelectionTool)
        return;
    s.glyphTop = static_cast<std::int16_t>(snapped - 34);
    s.glyphLeft = static_cast<std::int16_t>(x - 6);
    s.glyphCode = static_cast<std::int16_t>(s.stemDir * s.curLength);
    if (s.stemDir == -1)
        s.glyphTop = static_cast<std::int16_t>(s.glyphTop + 26 - extra);
    item.top = s.glyphTop;
    item.left = s.glyphLeft;
}

}  // namespace tsuzuri
