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
    Pointer& p = s.pointer;
    const int length = s.view.curLength;
    const int before = p.stemDir;
    const int snapped = snappedY(y);
    p.stemDir = static_cast<std::int16_t>(stemBand(y));
    if (p.stemDir != before && isStemmedIndex(length))
        item.picture = p.stemDir == 1 ? palettePicture(length) : stemDownPicture(length);
    p.stemDir = static_cast<std::int16_t>(stemFor(length, y));
    if (length == kSelectionToolIndex)
        return;
    p.glyphTop = static_cast<std::int16_t>(glyphTopAt(length, snapped, p.stemDir));
    p.glyphCode = static_cast<std::int16_t>(p.stemDir * length);
    item.top = p.glyphTop;
    item.left = x - kGlyphHotSpotX;
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
    s.pointer.mouseX = roundPointer(x);
    s.pointer.mouseY = std::min(roundPointer(y), static_cast<std::int16_t>(kMouseYCap));
    s.pointer.viewCol = static_cast<std::int16_t>(viewColumn(s.pointer.mouseX));
    s.pointer.mouseMeasure = static_cast<std::int16_t>(s.view.firstMeasure + s.pointer.viewCol);
}

}  // namespace tsuzuri
