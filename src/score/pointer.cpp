#include "score/pointer.h"

#include <algorithm>
#include <cmath>

#include "score/canvas_geometry.h"
#include "score/glyph_catalogue.h"

namespace tsuzuri {

namespace {

// Far beyond any screen, near enough to zero that a glyph placed from it fits 16 bits.
constexpr double kPointerReach = 32000;

double withinReach(double v) {
    if (std::isnan(v))
        return 0;
    return std::clamp(v, -kPointerReach, kPointerReach);
}

}  // namespace

void disp(EditorState& s, GlyphItem& item, int x, int y) {
    s.prevStemDir = s.stemDir;
    const int snapped = snappedY(y);
    s.stemDir = static_cast<std::int16_t>(stemBand(y));
    if (s.stemDir != s.prevStemDir && s.curLength < 12) {
        item.picture = s.stemDir == 1 ? palettePicture(s.curLength) : stemDownPicture(s.curLength);
    }
    s.stemDir = static_cast<std::int16_t>(stemFor(s.curLength, y));
    if (s.curLength == kSelectionTool)
        return;
    s.glyphTop = static_cast<std::int16_t>(glyphTopAt(s.curLength, snapped, s.stemDir));
    s.glyphLeft = static_cast<std::int16_t>(x - 6);
    s.glyphCode = static_cast<std::int16_t>(s.stemDir * s.curLength);
    item.top = s.glyphTop;
    item.left = s.glyphLeft;
    item.spotX = x;
    item.spotY = snapped - 2;
}

std::int16_t roundPointer(double v) {
    // nearbyint rounds in the default mode: to nearest, ties to even.
    return static_cast<std::int16_t>(std::nearbyint(withinReach(v)));
}

int pointerPixel(double v) {
    return static_cast<int>(std::floor(withinReach(v)));
}

void trackPointer(EditorState& s, double x, double y) {
    s.mouseX = roundPointer(x);
    s.mouseY = std::min(roundPointer(y), static_cast<std::int16_t>(kMouseYCap));
    s.viewCol = static_cast<std::int16_t>(viewColumn(s.mouseX));
    s.mouseMeasure = static_cast<std::int16_t>(s.firstMeasure + s.viewCol);
}

}  // namespace tsuzuri
