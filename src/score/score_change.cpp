#include "score/score_change.h"

namespace tsuzuri {

ScoreChange scoreChange(int t, const TrackScore& before, const TrackScore& after) {
    ScoreChange change;
    change.track = t;
    for (int m = 0; m < kMeasureCount; ++m) {
        if (!(before.measures[m] == after.measures[m]))
            change.measures.push_back({m, before.measures[m], after.measures[m]});
    }
    change.measures.shrink_to_fit();
    change.lastMeasureBefore = before.lastMeasure;
    change.lastMeasureAfter = after.lastMeasure;
    change.programBefore = before.trackProgram;
    change.programAfter = after.trackProgram;
    return change;
}

namespace {

// Gives the track its state after the change, or before it.
void giveTrack(Piece& piece, const ScoreChange& change, bool after) {
    TrackScore& track = piece.score[change.track];
    for (const auto& m : change.measures)
        track.measures[m.measure] = after ? m.after : m.before;
    track.lastMeasure = after ? change.lastMeasureAfter : change.lastMeasureBefore;
    track.trackProgram = after ? change.programAfter : change.programBefore;
}

}  // namespace

void applyChange(Piece& piece, const ScoreChange& change) {
    giveTrack(piece, change, true);
}

void revertChange(Piece& piece, const ScoreChange& change) {
    giveTrack(piece, change, false);
}

std::optional<int> firstChangedMeasure(const ScoreChange& change) {
    if (change.measures.empty())
        return std::nullopt;
    return change.measures.front().measure;
}

std::size_t changeBytes(const ScoreChange& change) {
    return sizeof change + change.measures.capacity() * sizeof(ScoreChange::MeasureChange);
}

}  // namespace tsuzuri
