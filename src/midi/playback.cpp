#include "midi/playback.h"

#include "file/safe_file.h"
#include "midi/track_compiler.h"

namespace tsuzuri {

TrackPlayback playCurrentTrack(EditorState& s, Sequencer& sequencer,
                               const std::filesystem::path& dir, int tempo) {
    const std::string path = (dir / kPlaybackFileName).string();
    const int t = s.curTrack;
    sequencer.sendCommand(releaseCommand(path));
    CompiledTrack compiled = compileTrack(s, t, tempo);
    const std::vector<std::uint8_t> file = midiFile({compiled.chunk}, tempo);
    TrackPlayback result{std::move(compiled.mml), writeFileAtomically(path, file)};
    if (!result.error.empty())
        return result;
    storeTrackBuffer(s, t, compiled.chunk);
    sequencer.sendCommand(playCommand(path));
    return result;
}

std::string playAllTracks(const EditorState& s, const TrackSelection& ticked, Sequencer& sequencer,
                          const std::filesystem::path& dir, int tempo) {
    const std::string path = (dir / kPlaybackFileName).string();
    sequencer.sendCommand(releaseCommand(path));
    std::string error = writeFileAtomically(path, allTracksFile(s, ticked, tempo));
    if (error.empty())
        sequencer.sendCommand(playCommand(path));
    return error;
}

}  // namespace tsuzuri
