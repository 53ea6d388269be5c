// Form1's one-note preview, used when a note is placed and by the piano keys.
#include "midi/preview.h"
#include "ui/form1.h"

namespace tsuzuri {

void Form1::noteon(std::uint8_t note) {
    const std::string error = previewNote(state(), sequencer_, dataDir(), note);
    const std::filesystem::path file = dataDir() / kPreviewFileName;
    if (error.empty())
        fileWritten(file);
    else
        showFailure(file, QString::fromStdString(error));
}

}  // namespace tsuzuri
