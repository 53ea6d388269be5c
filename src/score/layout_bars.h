#pragma once

#include <cstdint>
#include <vector>

#include "music/exact_time.h"

namespace tsuzuri {

// The layout's working form of a measure, between the music's events and the
// stored slots.
enum class LaidKind : std::uint8_t { Timed, Accidental, Arc, Tuplet, Volume };

struct LaidItem {
    LaidKind kind = LaidKind::Timed;
    bool note = false;      // Timed: a note, not a rest
    std::int8_t index = 0;  // the palette index the slot keeps
    std::int8_t sign = 0;   // notes: the sign they are written with
    std::int16_t row = 0;   // notes and accidentals: their row; the rest get one at the end
    std::int16_t x = 0;     // the x offset, given at the end
    ExactTime length = 0;   // Timed: how long it sounds
    int event = 0;          // the event of the music it comes from
};

struct LaidBar {
    std::vector<LaidItem> items;
    // Marks that stand between the bar's last note or rest and the next bar's
    // first (V marks, and arcs of ties over the bar line): once every bar is
    // filled, arcs stay with the note before them, V marks go with the notes
    // after them, as far as the bars have room.
    std::vector<LaidItem> between;
    ExactTime time = 0;  // what the bar's notes and rests last
};

// Gives every item of the bars a row (rests, arcs, tuplet arcs and V marks
// near the notes they belong to) and an x offset: notes and rests where their
// time falls in the bar, marks right before them, arcs centred between the
// notes they join. `barTime` is a full bar.
void placeLaidBars(std::vector<LaidBar>& bars, ExactTime barTime);

}  // namespace tsuzuri
