#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "state/editor_state.h"

namespace tsuzuri {

// What one edit changed in the score of one track: the measures it touched,
// each before and after, and the track's last measure and instrument. It
// holds only what changed, so that a long history stays small.
struct ScoreChange {
    struct MeasureChange {
        int measure = 0;
        Measure before;
        Measure after;
    };
    int track = 0;
    std::vector<MeasureChange> measures;
    std::int16_t lastMeasureBefore = 0;
    std::int16_t lastMeasureAfter = 0;
    std::uint8_t programBefore = 0;
    std::uint8_t programAfter = 0;

    bool empty() const {
        return measures.empty() && lastMeasureBefore == lastMeasureAfter &&
               programBefore == programAfter;
    }
};

// The change that turned `before` into `after`, the score of track t.
ScoreChange scoreChange(int t, const TrackScore& before, const TrackScore& after);

// Gives the track of the piece its state after the change (redo), or before
// it (undo).
void applyChange(Piece& piece, const ScoreChange& change);
void revertChange(Piece& piece, const ScoreChange& change);

// The first measure the change touched, if it touched one.
std::optional<int> firstChangedMeasure(const ScoreChange& change);

// The memory the change holds, in bytes.
std::size_t changeBytes(const ScoreChange& change);

}  // namespace tsuzuri
