#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "mml/read_mml.h"
#include "music/staff_rows.h"

namespace tsuzuri {

// Why a track's MML text cannot come onto the staff: where, and what, in
// Japanese. `measure` (from 0) is set for the limits of the staff: a measure
// with more slots than placement allows, a piece past the last measure.
struct TrackTextError {
    TextPlace place;
    int measure = -1;
    std::string what;
};

// A track's MML text read into a staff, or why it cannot be.
struct TrackTextRead {
    std::unique_ptr<TrackScore> track;  // the measures and last measure; no program
    std::optional<int> tempo;           // the text's T, when it has one
    std::optional<TrackTextError> error;
};

// Reads an MML text (readMml) and lays it into a staff (layoutTrack) with the
// staff rows `rows` of octave setting `octaveSetting`, in bars of `barTicks`.
TrackTextRead readTrackText(std::string_view text, const StaffRows& rows, int octaveSetting,
                            int barTicks);

// The second half of readTrackText: read music laid into a staff.
TrackTextRead layOutReading(const MmlReading& reading, const StaffRows& rows, int octaveSetting,
                            int barTicks);

// The whole message: "2行5列：長さ「7」は使えません", or for a measure
// "第5小節：…（2行5列）".
std::string trackTextErrorText(const TrackTextError& error);

}  // namespace tsuzuri
