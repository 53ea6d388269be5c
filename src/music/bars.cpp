#include "music/bars.h"

#include <algorithm>

#include "music/interpretation.h"
#include "state/tables.h"

namespace tsuzuri {

BarFit barFit(ExactTime held, int bar, int m, int lastWithSlots) {
    const ExactTime full = exactTicks(bar);
    if (bar == 0)
        return BarFit::Open;
    if (held > full)
        return BarFit::Long;
    if (held == full)
        return BarFit::Full;
    return m < lastWithSlots ? BarFit::Short : BarFit::Open;
}

int lastMeasureWithSlots(const TrackScore& track) {
    for (int m = std::min<int>(track.lastMeasure, kMeasureCount - 1); m >= 0; --m) {
        if (track.measures[m].noteCount > 0)
            return m;
    }
    return -1;
}

MeasureFit measureFit(const TrackScore& track, Meter meter, int m) {
    MeasureFit fit;
    fit.held = measureTime(track.measures[m]);
    fit.fit = barFit(fit.held, barTicks(meter), m, lastMeasureWithSlots(track));
    return fit;
}

CompletionRests completionRests(int ticks) {
    CompletionRests rests;
    int length = kNoteLengths - 1;
    while (ticks >= 2) {
        // The longest length that fits and leaves no single tick behind; the
        // sixty-fourth (2) and its dotted form (3) always end the search.
        while (noteLengthTicks(length) > ticks || ticks - noteLengthTicks(length) == 1)
            --length;
        rests.lengths[rests.count++] = static_cast<std::int8_t>(length);
        ticks -= noteLengthTicks(length);
    }
    return rests;
}

}  // namespace tsuzuri
