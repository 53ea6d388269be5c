#include "midi/playback.h"

#include "io/safe_file.h"
#include "midi/track_compiler.h"

namespace tsuzuri {

TrackPlayback playCurrentTrack(EditorState& s, Sequencer& sequencer,
                               const std::filesystem::path& dir) {
    const std::string path = (dir / kPlaybackFileName).string();
    const int t = s.view.curTrack;
    sequencer.sendCommand(releaseCommand(path));
    CompiledTrack compiled = compileTrack(s.piece, s.tables, t);
    const std::vector<std::uint8_t> file = midiFile({compiled.chunk}, s.piece.tempo);
    TrackPlayback result{std::move(compiled.mml), writeFileAtomically(path, file)};
    if (!result.error.empty())
        return result;
    storeTrackBuffer(s, t, compiled.chunk);
    sequencer.sendCommand(playCommand(path));
    return result;
}

std::string playAllTracks(const EditorState& s, const TrackSelection& ticked, Sequencer& sequencer,
                          const std::filesystem::path& dir) {
    const std::string path = (dir / kPlaybackFileName).string();
    sequencer.sendCommand(releaseCommand(path));
    std::string error = writeFileAtomically(path, allTracksFile(s, ticked));
    if (error.empty())
        sequencer.sendCommand(playCommand(path));
    return error;
}

}  // namespace tsuzuri
