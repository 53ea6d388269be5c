#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "state/editor_state.h"

namespace tsuzuri {

// One compiled track: its "MTrk" chunk (header included) and its MML text.
struct CompiledTrack {
    std::vector<std::uint8_t> chunk;
    std::string mml;
};

// Compiles the score of track t of the piece (measures 0..lastMeasure) into a
// track chunk and the track's MML text, naming and sounding notes by `tables`.
CompiledTrack compileTrack(const Piece& piece, const NoteTables& tables, int t);

// Keeps a copy of a compiled chunk in track t's TrackBuffer and records its size.
void storeTrackBuffer(EditorState& s, int t, const std::vector<std::uint8_t>& chunk);

// Appends n as a MIDI variable-length quantity.
void appendVariableLength(std::vector<std::uint8_t>& out, std::uint32_t n);

// The MIDI channel of track t: tracks beyond 15 reuse channels from 0.
inline int trackChannel(int t) {
    return t % 16;
}

}  // namespace tsuzuri
