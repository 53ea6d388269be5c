#include "file/export.h"

#include "midi/midi_file.h"
#include "midi/track_compiler.h"

namespace tsuzuri {

bool trackHasSlots(const EditorState& s, int t) {
    const TrackScore& track = s.score[t];
    for (int m = 0; m <= track.lastMeasure; ++m) {
        if (track.measures[m].noteCount > 0)
            return true;
    }
    return false;
}

std::vector<std::uint8_t> exportMidi(const EditorState& s, int tempo) {
    std::vector<std::vector<std::uint8_t>> chunks;
    for (int t = 0; t < kWindowTracks; ++t) {
        if (trackHasSlots(s, t))
            chunks.push_back(compileTrack(s, t).chunk);
    }
    return midiFile(std::vector<ChunkBytes>(chunks.begin(), chunks.end()), tempo);
}

std::string exportMml(const EditorState& s, int tempo) {
    std::string out;
    for (int t = 0; t < kWindowTracks; ++t) {
        if (trackHasSlots(s, t))
            out += compileTrack(s, t, tempo).mml + "\n";
    }
    return out;
}

}  // namespace tsuzuri
