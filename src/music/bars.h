#pragma once

#include <cstdint>

#include "music/exact_time.h"
#include "state/piece.h"
#include "state/table.h"

namespace tsuzuri {

// How a measure keeps time under the piece's meter.
//   Full   it holds exactly a full bar;
//   Short  it holds less and a later measure of the track holds a slot, so
//          rests after its slots complete it (an empty measure holds nothing);
//   Long   it holds more than a full bar and plays as it is;
//   Open   it keeps no bar: under the free meter, or a short measure that no
//          later slot follows, where the track ends.
enum class BarFit : std::uint8_t { Full, Short, Long, Open };

// The fit of a measure holding `held` against a bar of `bar` ticks (0: the
// free meter), as measure m of a track whose last measure with a slot is
// `lastWithSlots`.
BarFit barFit(ExactTime held, int bar, int m, int lastWithSlots);

// The last measure among 0..lastMeasure that holds a slot, or -1.
int lastMeasureWithSlots(const TrackScore& track);

struct MeasureFit {
    ExactTime held = 0;
    BarFit fit = BarFit::Open;
};

// What measure m (0..200) of a track holds and how that fits the meter.
MeasureFit measureFit(const TrackScore& track, Meter meter, int m);

// The rests that fill `ticks` of a short measure, as written lengths (note
// length indices 0..13), longest first, dotted lengths included: 96 ticks are
// one dotted half, 80 a half and an eighth. A length that would leave a
// single tick gives way to the next shorter one, so the rests fill the gap
// exactly; only a gap of one tick, which no rest can write, is left unfilled.
struct CompletionRests {
    Table<std::int8_t, 8> lengths;
    int count = 0;
};
CompletionRests completionRests(int ticks);

}  // namespace tsuzuri
