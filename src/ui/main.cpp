#include <QApplication>
#include <QStandardPaths>

#include "midi/midi_file.h"
#include "ui/form1.h"

namespace {

// Plays nothing until the synthesizer is connected.
class SilentSequencer : public tsuzuri::Sequencer {
public:
    void sendCommand(const std::string&) override {}
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("tsuzuri");
    const std::filesystem::path dataDir = tsuzuri::chooseDataDirectory(
        QCoreApplication::applicationDirPath().toStdString(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString());
    SilentSequencer sequencer;
    tsuzuri::Form1 window(sequencer, dataDir);
    window.show();
    return QApplication::exec();
}
