#include "score/pointer.h"

#include <algorithm>
#include <cmath>

#include "score/canvas_geometry.h"
#include "score/glyph_catalogue.h"
#include "state/units.h"

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
    const Pointer at = pointerAt(s, x, y);
    s.pointer.mouseX = at.mouseX;
    s.pointer.mouseY = at.mouseY;
    s.pointer.viewCol = at.viewCol;
    s.pointer.mouseMeasure = at.mouseMeasure;
}

Pointer pointerAt(const EditorState& s, double x, double y) {
    Pointer p;
    p.mouseX = roundPointer(x);
    p.mouseY = std::min(roundPointer(y), static_cast<std::int16_t>(kMouseYCap));
    p.viewCol = static_cast<std::int16_t>(viewColumn(p.mouseX));
    p.mouseMeasure = static_cast<std::int16_t>(s.view.firstMeasure + p.viewCol);
    const int length = s.view.curLength;
    const int glyphY = pointerPixel(y);
    p.stemDir = static_cast<std::int16_t>(stemFor(length, glyphY));
    p.glyphTop = static_cast<std::int16_t>(glyphTopAt(length, snappedY(glyphY), p.stemDir));
    p.glyphCode = static_cast<std::int16_t>(p.stemDir * length);
    return p;
}

CanvasPoint canvasPoint(const GlyphItem& item, double x, double y) {
    return {x / kTwipsPerPixel + item.left, y / kTwipsPerPixel + item.top};
}

}  // namespace tsuzuri
