#include "file/export.h"

#include "midi/midi_file.h"
#include "midi/track_compiler.h"

namespace tsuzuri {

bool trackHasSlots(const Piece& piece, int t) {
    const TrackScore& track = piece.score[t];
    for (int m = 0; m <= track.lastMeasure; ++m) {
        if (track.measures[m].noteCount > 0)
            return true;
    }
    return false;
}

std::vector<std::uint8_t> exportMidi(const Piece& piece, const NoteTables& tables) {
    std::vector<std::vector<std::uint8_t>> chunks;
    for (int t = 0; t < kWindowTracks; ++t) {
        if (trackHasSlots(piece, t))
            chunks.push_back(compileTrack(piece, tables, t).chunk);
    }
    return midiFile(std::vector<ChunkBytes>(chunks.begin(), chunks.end()), piece.tempo);
}

std::string exportMml(const Piece& piece, const NoteTables& tables) {
    std::string out;
    for (int t = 0; t < kWindowTracks; ++t) {
        if (trackHasSlots(piece, t))
            out += compileTrack(piece, tables, t).mml + "\n";
    }
    return out;
}

}  // namespace tsuzuri
