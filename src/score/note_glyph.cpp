#include "score/note_glyph.h"

#include "score/canvas_geometry.h"
#include "score/glyph_catalogue.h"

namespace tsuzuri {

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

}  // namespace tsuzuri
