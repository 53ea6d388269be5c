#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "state/editor_state.h"

namespace tsuzuri {

// Whether track t of the piece has anything to compile: a note, rest or mark
// in measures 0..lastMeasure.
bool trackHasSlots(const Piece& piece, int t);

// The whole piece as a Standard MIDI File in the bytes of the playback file
// (format 1, 32 ticks per quarter note, the piece's tempo as playback writes
// it): every track of the window that has slots, compiled afresh with the row
// tables as they stand, in track order. The TrackBuffers are not touched.
std::vector<std::uint8_t> exportMidi(const Piece& piece, const NoteTables& tables);

// The MML text of the same tracks, one line each, as the compiler writes it.
std::string exportMml(const Piece& piece, const NoteTables& tables);

}  // namespace tsuzuri
