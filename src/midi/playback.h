#pragma once

#include <filesystem>
#include <string>

#include "midi/midi_file.h"
#include "midi/sequencer.h"
#include "state/editor_state.h"

namespace tsuzuri {

struct TrackPlayback {
    std::string mml;    // the regenerated MML text of the track
    std::string error;  // empty when trk.mid was written and handed to the sequencer
};

// One-track playback at the piece's tempo: releases trk.mid, compiles the
// current track, writes it as a one-track file, keeps the chunk (without the
// tempo) in the TrackBuffer and plays the file. When the file cannot be
// written nothing is played and the TrackBuffer keeps its previous chunk.
TrackPlayback playCurrentTrack(EditorState& s, Sequencer& sequencer,
                               const std::filesystem::path& dir);

// All-tracks playback at the piece's tempo: releases trk.mid, writes the ticked compiled
// tracks as they were last compiled and plays the file. Returns an error text
// or "".
std::string playAllTracks(const EditorState& s, const TrackSelection& ticked, Sequencer& sequencer,
                          const std::filesystem::path& dir);

}  // namespace tsuzuri
