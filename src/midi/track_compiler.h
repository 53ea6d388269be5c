#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "music/interpretation.h"
#include "state/editor_state.h"

namespace tsuzuri {

// One compiled track: its "MTrk" chunk (header included) and its MML text.
struct CompiledTrack {
    std::vector<std::uint8_t> chunk;
    std::string mml;
};

// Compiles the score of track t of the piece (measures 0..lastMeasure) into a
// track chunk and the track's MML text, both from one interpretation of the
// track, naming and sounding notes by the row tables as the key signature left
// them, its measures keeping the piece's meter. The piece's tempo shows only
// in the text; the chunk never carries it.
CompiledTrack compileTrack(const Piece& piece, const NoteTables& tables, int t);

// The "MTrk" chunk of an interpreted track on MIDI channel `channel`: the
// program change, then every sounding note as a note-on at its start and a
// note-off at its end, both rounded to the nearest tick (a tie is one note
// from the first note's start to the last one's end; a silent note writes
// nothing), then the end of the track one quarter note after the track's end.
std::vector<std::uint8_t> writeTrackChunk(const TrackInterpretation& music, int channel,
                                          std::uint8_t program);

// Keeps a copy of a compiled chunk in track t's TrackBuffer and records its size.
void storeTrackBuffer(EditorState& s, int t, const std::vector<std::uint8_t>& chunk);

// Compiles again every track whose TrackBuffer holds a chunk, for a change of
// the piece that retimes every track (its meter); tracks never compiled stay so.
void recompileTrackBuffers(EditorState& s);

// Appends n as a MIDI variable-length quantity.
void appendVariableLength(std::vector<std::uint8_t>& out, std::uint32_t n);

// Writes n big-endian into the four bytes at `at`.
void putBigEndian32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t n);

// The MIDI channel of track t: tracks beyond 15 reuse channels from 0.
inline int trackChannel(int t) {
    return t % 16;
}

}  // namespace tsuzuri
