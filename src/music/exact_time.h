#pragma once

#include <cstdint>

namespace tsuzuri {

// A time or a duration in fifteenths of a tick. Triplet members last thirds
// and quintuplet members fifths of whole ticks, so every position a track can
// reach is a whole number of these units and sums of them never drift. A
// position becomes whole ticks only where it is written, by nearestTick.
using ExactTime = std::int64_t;

inline constexpr ExactTime kExactPerTick = 15;

constexpr ExactTime exactTicks(std::int64_t ticks) {
    return ticks * kExactPerTick;
}

// The whole tick nearest to a position at or after the start. A position is
// never halfway between two ticks: fifteen is odd.
constexpr std::int64_t nearestTick(ExactTime t) {
    return (t + kExactPerTick / 2) / kExactPerTick;
}

}  // namespace tsuzuri
