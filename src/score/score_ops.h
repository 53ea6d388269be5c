#pragma once

#include <cstdint>
#include <string_view>

#include "state/editor_state.h"

namespace tsuzuri {

// The most notes the editor puts into one measure: a measure's glyph block has
// 20 elements, so a 21st note would share a glyph with the next measure's first.
inline constexpr int kMaxNotesPerMeasure = 20;

// Whether measure m is one of the score's measures, 0..200, and what the user
// is told of a note that would fall outside them.
inline bool measureInScore(int m) {
    return m >= 0 && m < kMeasureCount;
}
inline constexpr std::string_view kOutsideMeasuresNotice = "第1〜201小節の外には置けません";
// What the user is told of a note for a measure that already holds the most.
inline constexpr std::string_view kMeasureFullNotice = "1小節に置けるのは20個までです";

// One slot's stored data.
struct SlotData {
    std::int16_t x = 0;     // attribute 0: x offset in the measure column
    std::int16_t top = 0;   // attribute 1: glyph top
    std::int16_t code = 0;  // attribute 2: signed glyph code
    std::int16_t row = 0;   // staff row

    bool operator==(const SlotData&) const = default;
};

// The slot a note with pointer offset `xo` goes into: before the first note
// whose stored offset is greater than xo, else after all.
int insertionSlot(const Measure& measure, int xo);

// Inserts `data` at `slot`, moving later notes up by one. The caller makes
// sure the measure has room.
void insertSlot(Measure& measure, int slot, const SlotData& data);

// Removes slot `slot`, closing the gap. Attribute 3 is not moved.
void removeSlot(Measure& measure, int slot);

SlotData readSlot(const Measure& measure, int slot);
void writeSlot(Measure& measure, int slot, const SlotData& data);

// A note went into measure m: the track's last measure rises to m when m lies
// beyond it, so that compiling covers the note. Returns whether it rose.
bool raiseLastMeasure(TrackScore& track, int m);

}  // namespace tsuzuri
