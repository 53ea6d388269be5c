#include <QApplication>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <functional>

#include "midi/fluid_sequencer.h"
#include "midi/midi_file.h"
#include "ui/event_hook.h"
#include "ui/form1.h"
#include "view/glyph_art.h"

namespace {

constexpr int kLatestLoadStartMs = 500;

// Runs `start` as soon as the event loop is free after the first paint of `form`.
void startAfterFirstPaint(QWidget& form, std::function<void()> start) {
    tsuzuri::EventHook::install(&form, QEvent::Paint,
                                [&form, start, done = false](QEvent*) mutable {
                                    if (!done) {
                                        done = true;
                                        QTimer::singleShot(0, &form, start);
                                    }
                                    return false;
                                });
}

}  // namespace

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
    tsuzuri::FluidSequencerOptions options;
    options.loadAtOnce = false;
    tsuzuri::FluidSequencer sequencer(options, [&app, &window](bool soundAvailable) {
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
    const std::filesystem::path userDir =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString();
    form.setFolders(
        userDir / "recovery",
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString());
    window = &form;
    // The SoundFont starts loading once the window has been drawn, or after a
    // short while should the window not be drawn at all (a minimised start).
    startAfterFirstPaint(form, [&sequencer] { sequencer.startLoading(); });
    QTimer::singleShot(kLatestLoadStartMs, &form, [&sequencer] { sequencer.startLoading(); });
    form.show();
    return QApplication::exec();
}
