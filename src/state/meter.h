#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "state/table.h"

namespace tsuzuri {

// The meter of a piece: `beats` of the note 1/`unit` fill a measure. The free
// meter (0/0) gives measures no length of their own: each takes only the
// time of what it holds.
struct Meter {
    std::int8_t beats = 0;
    std::int8_t unit = 0;

    constexpr bool free() const { return unit == 0; }
    bool operator==(const Meter&) const = default;
};

inline constexpr Meter kFreeMeter{};
inline constexpr Meter kCommonTime{4, 4};  // a new piece's meter

// The meters a piece may have, in the order the meter box lists them, with
// the names it shows; the score file writes the same names, "free" for the
// free meter.
inline constexpr int kMeterCount = 8;
inline constexpr std::array<Meter, kMeterCount> kMeters = {
    {{4, 4}, {3, 4}, {2, 4}, {2, 2}, {6, 8}, {3, 8}, {12, 8}, kFreeMeter}};
inline constexpr std::array<std::string_view, kMeterCount> kMeterNames = {
    "4/4", "3/4", "2/4", "2/2", "6/8", "3/8", "12/8", "free"};

// The meter at place `entry` of the list, and its name.
inline Meter meterAt(int entry) {
    if (entry < 0 || entry >= kMeterCount)
        indexFault(entry, kMeterCount);
    return kMeters[static_cast<std::size_t>(entry)];
}
inline std::string_view meterNameAt(int entry) {
    meterAt(entry);
    return kMeterNames[static_cast<std::size_t>(entry)];
}

// The ticks of a full measure, 128 to the whole note: 4/4 128, 3/4 and 6/8
// 96, 2/4 64, 12/8 192; 0 under the free meter, whose measures have no length.
constexpr int barTicks(Meter m) {
    return m.free() ? 0 : 128 * m.beats / m.unit;
}

// The place of a meter in the list, or nothing for a meter not in it.
constexpr std::optional<int> meterEntry(Meter m) {
    for (int i = 0; i < kMeterCount; ++i) {
        if (kMeters[static_cast<std::size_t>(i)] == m)
            return i;
    }
    return std::nullopt;
}

// The meter the score file names `name`, or nothing for a name not in the list.
constexpr std::optional<Meter> meterNamed(std::string_view name) {
    for (int i = 0; i < kMeterCount; ++i) {
        if (kMeterNames[static_cast<std::size_t>(i)] == name)
            return kMeters[static_cast<std::size_t>(i)];
    }
    return std::nullopt;
}

}  // namespace tsuzuri
