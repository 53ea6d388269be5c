#pragma once

#include <cstdint>

#include "state/editor_state.h"

namespace tsuzuri {

// The most notes the editor puts into one measure: a measure's glyph block has
// 20 elements, so a 21st note would share a glyph with the next measure's first.
inline constexpr int kMaxNotesPerMeasure = 20;

// One slot's stored data.
struct SlotData {
    std::int16_t x = 0;     // attribute 0: x offset in the measure column
    std::int16_t top = 0;   // attribute 1: glyph top
    std::int16_t code = 0;  // attribute 2: signed glyph code
    std::int16_t row = 0;   // staff row
};

// The slot a note with pointer offset `xo` goes into: before the first note
// whose stored offset is greater than xo, else after all.
int insertionSlot(const EditorState& s, int m, int t, int xo);

// Inserts `data` at `slot` of measure m, track t, moving later notes up by one.
// The caller makes sure the measure has room.
void insertSlot(EditorState& s, int m, int t, int slot, const SlotData& data);

// Removes slot `slot` of measure m, track t, closing the gap. Attribute 3 is
// not moved.
void removeSlot(EditorState& s, int m, int t, int slot);

SlotData readSlot(const EditorState& s, int m, int slot, int t);

}  // namespace tsuzuri
