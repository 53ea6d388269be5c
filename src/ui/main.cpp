#include <QApplication>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <functional>

#include "midi/engine_module.h"
#include "midi/midi_file.h"
#include "ui/event_hook.h"
#include "ui/form1.h"
#include "ui/translations.h"
#include "view/glyph_art.h"

namespace {

constexpr int kLatestLoadStartMs = 500;
constexpr const char* kEngineModuleName = "tsuzuri-engine.so";

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

// The engine module beside the program (the build directory) or in the
// program's library directory (installed).
std::vector<std::filesystem::path> engineModuleCandidates(const std::filesystem::path& programDir) {
    return {programDir / kEngineModuleName, programDir / TSUZURI_ENGINE_DIR / kEngineModuleName};
}

// The files named on the command line (what Qt left of it), made absolute:
// the piece's file name stays right whatever the working folder.
std::vector<std::filesystem::path> givenFiles(int argc, char** argv) {
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        std::error_code error;
        std::filesystem::path file = std::filesystem::absolute(argv[i], error);
        files.push_back(error ? std::filesystem::path(argv[i]) : file);
    }
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("tsuzuri");
    // The menu entry tsuzuri.desktop and the window share the program's icon.
    QApplication::setDesktopFileName("tsuzuri");
    QApplication::setWindowIcon(tsuzuri::appIcon());
    tsuzuri::useJapaneseQtTexts(app);
    const std::filesystem::path programDir = QCoreApplication::applicationDirPath().toStdString();
    const std::filesystem::path dataDir = tsuzuri::chooseDataDirectory(
        programDir,
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString());

    // The engine reports from its loading thread; the window hears of it on
    // the user-interface thread, once it exists.
    QPointer<tsuzuri::Form1> window;
    tsuzuri::EngineModule sequencer(
        engineModuleCandidates(programDir), tsuzuri::FluidSequencerOptions{},
        [&app, &window](tsuzuri::SoundStatus status) {
            QMetaObject::invokeMethod(
                &app,
                [&window, status] {
                    if (window)
                        window->setSoundStatus(status);
                },
                Qt::QueuedConnection);
        });
    tsuzuri::Form1 form(sequencer, dataDir, nullptr, tsuzuri::Form1::TextBoxes::AfterShow);
    const std::filesystem::path userDir =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString();
    form.setFolders(
        userDir / "recovery",
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString());
    form.setAudioRenderer(&sequencer);
    form.setSettingsFile(
        std::filesystem::path(
            QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString()) /
        "tsuzuri.conf");
    form.restoreWindowPlace();
    window = &form;
    // The engine module is opened, and its SoundFont loaded, once the window
    // has been drawn, or after a short while should the window not be drawn
    // at all (a minimised start).
    startAfterFirstPaint(form, [&sequencer] { sequencer.start(); });
    QTimer::singleShot(kLatestLoadStartMs, &form, [&sequencer] { sequencer.start(); });
    form.show();
    // Qt has taken its own options out of the command line: the rest are files.
    if (argc > 1)
        form.openGivenFiles(givenFiles(argc, argv));
    const int status = QApplication::exec();
    form.keepWindowPlace();
    return status;
}
