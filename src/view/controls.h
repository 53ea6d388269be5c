#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "state/editor_state.h"

namespace tsuzuri {

// The instruments of the list, in list order, as General MIDI programs
// counted from 0: lute, mandolin, ukulele, flute.
inline constexpr std::array<std::uint8_t, 4> kInstrumentPrograms = {105, 25, 24, 74};

// The list entry showing `program`, or nothing for a program not in the list.
std::optional<int> instrumentEntry(int program);

// The meter box's entries, in the order of the meters' list: each meter by
// its name, the free meter as "自由".
std::string_view meterBoxEntry(int entry);

// The track the previous-track button goes to: wraps from the first track to
// the last in use. A track count of 0 counts as 1, so the result is always
// within 0..max(trackCount, 1) - 1.
int previousTrack(int curTrack, int trackCount);
// The track the next-track button goes to: stops at the last track in use and
// does nothing when the current track already lies beyond it.
int nextTrack(int curTrack, int trackCount);

// The number a text field holds: its leading numeric part (blanks are
// skipped, an optional sign, digits, a decimal part and an exponent), 0 when
// it has none.
double leadingNumber(const std::string& text);

// The octave setting typed into its field: the leading number rounded to the
// nearest integer (halves to the even one) and clamped into 0..8.
int octaveSettingFromText(const std::string& text);

// The view start after the scroll buttons: one back, stopping at 0; one on,
// stopping at the last start that still shows four measures.
int scrolledBack(int firstMeasure);
int scrolledOn(int firstMeasure);

}  // namespace tsuzuri
