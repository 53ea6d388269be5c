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
    std::vector<std::uint8_t> out = fileHeader(static_cast<int>(chunks.size()));
    for (const auto& chunk : chunks)
        out.insert(out.end(), chunk.begin(), chunk.end());
    return out;
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
