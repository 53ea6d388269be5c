#pragma once

#include <cstdint>

#include "state/editor_state.h"
#include "score/canvas_geometry.h"
#include "score/note_glyph.h"

namespace tsuzuri {

// Redraws the view of the current track starting at measure `first` (clamped
// into 0..197): hides glyph elements 1..80 above the canvas, then gives every
// note of the four measures its element (block (m mod 4) * 20 + 1 on), place
// and picture. Elements 0 (the cursor) and 81 are left where they are unless
// a 21st note of a measure reaches 81.
void dispn(const EditorState& s, GlyphTable& image4, int first);

// The number a measure of the view shows above its first bar line: counted
// from 1, red while under a meter the measure is completed with rests or
// holds more than a full bar.
struct MeasureNumber {
    int number = 0;
    bool red = false;
    bool operator==(const MeasureNumber&) const = default;
};
using MeasureNumbers = Table<MeasureNumber, kViewMeasures>;

// The numbers of the current track's measures first..first + 3 (first
// clamped as dispn clamps it).
MeasureNumbers measureNumbers(const EditorState& s, int first);

}  // namespace tsuzuri
