// Form1's playback handlers: one track (trk♪, F5) and all ticked tracks (all♪, F6).
#include <QCheckBox>
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
    const TrackPlayback result = playCurrentTrack(state(), sequencer_, dataDir(), kStandardTempo);
    Text1->setPlainText(QString::fromStdString(result.mml));
    showPlaybackResult(result.error);
}

void Form1::Command7_Click() {
    TrackSelection ticked{};
    for (int i = 0; i < kWindowTracks; ++i) {
        ticked[static_cast<std::size_t>(i)] =
            Check3[static_cast<std::size_t>(i)]->checkState() == Qt::Checked;
    }
    const QSignalBlocker quiet(Text1);
    Text1->clear();
    const std::string error = playAllTracks(state(), ticked, sequencer_, dataDir(), kStandardTempo);
    showPlaybackResult(error);
}

}  // namespace tsuzuri
