#pragma once

#include <cstdint>
#include <optional>

#include "music/interpretation.h"
#include "music/staff_rows.h"
#include "state/meter.h"
#include "state/piece.h"

namespace tsuzuri {

// The ticks of a 4/4 bar, 32 to the quarter note: read music is laid into
// bars of this length unless the piece's meter gives another.
inline constexpr int kFourFourBarTicks = 128;

// The bar that music read into a piece is laid into: that of its meter; the
// free meter gives no bar of its own, so its music is laid into 4/4 bars.
inline int readingBarTicks(const Piece& piece) {
    const int bar = barTicks(piece.meter);
    return bar > 0 ? bar : kFourFourBarTicks;
}

// The rows the pointer reaches on the canvas: the only rows read notes go on,
// so that every laid note can be seen and edited.
inline constexpr int kLowestReachedRow = 3;
inline constexpr int kHighestReachedRow = 42;

enum class LayoutFault : std::uint8_t {
    RowOutOfReach,    // a note's row lies outside the rows the staff shows
    MeasureFull,      // a measure would need more slots than placement allows
    PastLastMeasure,  // the music goes on past the last measure
};

struct LayoutError {
    LayoutFault fault = LayoutFault::MeasureFull;
    int event = 0;    // the event of the music where it happens
    int measure = 0;  // MeasureFull, PastLastMeasure: the measure, from 0
    // RowOutOfReach: the octave setting nearest to the one in force under
    // which every note of the music has a reached row; -1 when there is none.
    int octave = -1;
};

// Lays read music (notes, rests, V marks, links and tuplet arcs in play
// order, as the MML reader gives them) into the measures of `track`, each
// slot stored as a click on its row stores it:
// - items fill measures 0, 1, 2 ... in order, a measure full at `barTicks`;
//   a note crossing the bar line is split there into notes of palette
//   lengths joined by ties (a rest likewise, without ties), unless a piece of
//   one tick would be left, and a tuplet group stays whole where it starts;
//   the next measure begins where the last one's items end;
// - each note goes on the row of its letter and octave under the staff rows
//   `rows` of octave setting `octaveSetting`, with a sharp, flat or natural
//   right before it only where the row would sound another sign there;
// - a tuplet group gets its arc before its first member, a link a plain arc,
//   a V mark its mark where it stands;
// - x offsets follow play order, spread over the measure by time.
// On an error `track` is left as it was.
std::optional<LayoutError> layoutTrack(const TrackInterpretation& music, const StaffRows& rows,
                                       int octaveSetting, int barTicks, TrackScore& track);

// The staff row a note of octave digit `octave` and letter `letter` (0 = C ...
// 6 = B) goes on under octave setting `octaveSetting`, whether or not the
// staff reaches it.
int rowForNote(int octave, int letter, int octaveSetting);

}  // namespace tsuzuri
