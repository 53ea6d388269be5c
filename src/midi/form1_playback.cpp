// Form1's playback handlers: one track (trk♪, F5) and all ticked tracks (all♪, F6).
#include <QPlainTextEdit>
#include <QSignalBlocker>

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

// The MML text that playback writes is the score's own, no edit of the piece.
void Form1::Command1_Click() {
    const QSignalBlocker quiet(Text1);
    Text1->clear();
    const TrackPlayback result = playCurrentTrack(state(), sequencer_, dataDir());
    Text1->setPlainText(QString::fromStdString(result.mml));
    showPlaybackResult(result.error);
}

void Form1::Command7_Click() {
    const QSignalBlocker quiet(Text1);
    Text1->clear();
    const std::string error = playAllTracks(state(), state().piece.ticked, sequencer_, dataDir());
    showPlaybackResult(error);
}

}  // namespace tsuzuri
