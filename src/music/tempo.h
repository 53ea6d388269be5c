#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "state/piece.h"

namespace tsuzuri {

// The tempos a piece may have, in quarter notes a minute. At the standard
// tempo the files carry no tempo event and the MML text no "T".
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
