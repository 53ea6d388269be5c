#include <QApplication>
#include <QPointer>
#include <QStandardPaths>

#include "midi/fluid_sequencer.h"
#include "midi/midi_file.h"
#include "ui/form1.h"
#include "view/glyph_art.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("tsuzuri");
    // The menu entry tsuzuri.desktop and the window share the program's icon.
    QApplication::setDesktopFileName("tsuzuri");
    QApplication::setWindowIcon(tsuzuri::appIcon());
    const std::filesystem::path dataDir = tsuzuri::chooseDataDirectory(
        QCoreApplication::applicationDirPath().toStdString(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString());

    // The engine reports from its loading thread; the window hears of it on
    // the user-interface thread, once it exists.
    QPointer<tsuzuri::Form1> window;
    tsuzuri::FluidSequencer sequencer({}, [&app, &window](bool soundAvailable) {
        if (soundAvailable)
            return;
        QMetaObject::invokeMethod(
            &app,
            [&window] {
                if (window)
                    window->setSoundAvailable(false);
            },
            Qt::QueuedConnection);
    });
    tsuzuri::Form1 form(sequencer, dataDir);
    window = &form;
    form.show();
    return QApplication::exec();
}
