#pragma once

#include "score/glyph_catalogue.h"

namespace tsuzuri {

// A light picture element drawn by its container (a glyph on the canvas, a
// piano key): its place in the container's pixels, its picture and whether it
// shows a single-line frame. It takes its picture's size; without a picture it
// keeps `emptySize`, so that an element showing no picture can still be hit.
struct GlyphItem {
    double left = 0;
    double top = 0;
    int picture = kNoPicture;
    bool framed = false;
    PictureSize emptySize{};
    // The pointer pixel the glyph was last positioned for (column spotX, the
    // four rows from spotY that snap to the same staff row): the cursor glyph
    // always lies under the pointer it follows.
    int spotX = 0;
    int spotY = 0;

    PictureSize size() const { return picture == kNoPicture ? emptySize : pictureSize(picture); }
    bool contains(double x, double y) const {
        const PictureSize s = size();
        return x >= left && x < left + s.width && y >= top && y < top + s.height;
    }
};

}  // namespace tsuzuri
