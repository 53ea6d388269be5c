// Form1's playback handlers: one track (trk♪, F5) and all ticked tracks (all♪, F6).

#include "midi/playback.h"
#include "ui/form1.h"

namespace tsuzuri {

void Form1::showPlaybackResult(const std::string& error) {
    const std::filesystem::path file = dataDir() / kPlaybackFileName;
    if (error.empty())
        fileWritten(file);
    else
        showFailure(file, QString::fromStdString(error));
}

// The MML text that playback writes is the score's own, no edit of the
// piece; text the user typed there is kept as a step of the history.
void Form1::Command1_Click() {
    const TrackPlayback result = playCurrentTrack(state(), sequencer_, dataDir());
    replaceText1(QString::fromStdString(result.mml));
    showPlaybackResult(result.error);
}

void Form1::Command7_Click() {
    const std::string error = playAllTracks(state(), state().piece.ticked, sequencer_, dataDir());
    replaceText1({});
    showPlaybackResult(error);
}

}  // namespace tsuzuri
