#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tsuzuri {

// The tempo of a piece in quarter notes a minute. At the standard tempo the
// files carry no tempo event and the MML text no "T": a Standard MIDI File
// without one plays at 120.
inline constexpr int kStandardTempo = 120;
inline constexpr int kMinTempo = 32;
inline constexpr int kMaxTempo = 255;

inline bool isTempo(int tempo) {
    return tempo >= kMinTempo && tempo <= kMaxTempo;
}

// The tempo a typed text asks for: a whole number 32..255, spaces around it
// allowed; nothing for any other text.
std::optional<int> parseTempo(std::string_view text);

// The length of a quarter note at `tempo`, as the Set Tempo event writes it:
// 60,000,000 / tempo microseconds, rounded to the nearest.
std::uint32_t microsecondsPerQuarter(int tempo);

}  // namespace tsuzuri
