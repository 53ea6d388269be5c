// Resident memory of the window as the program builds it, at three moments:
// after start-up with the engine loaded, after the piano previewed the four
// instruments, and with a full piece of twenty tracks opened and 1,000 steps
// of editing history on top. Prints the three figures in MB, one line.
//
// Usage: memory_probe ENGINE_MODULE   (run with a sound output, for example
// ALSA's null device, so that the engine loads its instruments)
#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "file/score_file.h"
#include "full_score.h"
#include "io/safe_file.h"
#include "midi/engine_module.h"
#include "midi/preview.h"
#include "score/score_ops.h"
#include "ui/form1.h"

namespace {

double residentMB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / 1024;
    }
    return 0;
}

// Runs the event loop for `ms` milliseconds, or until `done` holds.
template <typename Done>
void runEvents(int ms, Done done) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms && !done()) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s ENGINE_MODULE\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    const auto dir = std::filesystem::temp_directory_path() /
                     ("tsuzuri memory probe " + std::to_string(QCoreApplication::applicationPid()));
    std::filesystem::create_directories(dir);
    const std::vector<std::uint8_t> preview(tsuzuri::kPreviewTemplate.begin(),
                                            tsuzuri::kPreviewTemplate.end());
    tsuzuri::writeFileAtomically(dir / "c.mid", preview);

    tsuzuri::EngineModule sequencer({argv[1]}, tsuzuri::FluidSequencerOptions{}, {});
    int code = 0;
    {
        tsuzuri::Form1 form(sequencer, dir);
        form.setFolders(dir / "recovery", dir);
        form.show();
        runEvents(300, [] { return false; });
        sequencer.start();
        if (!sequencer.waitUntilLoaded())
            std::fprintf(stderr, "no sound output: the instruments are not loaded\n");
        runEvents(500, [] { return false; });
        const double started = residentMB();

        for (int program : {105, 25, 24, 74}) {
            form.state().piece.score[form.state().view.curTrack].trackProgram =
                static_cast<std::uint8_t>(program);
            form.noteon(69);
            runEvents(1000, [] { return false; });
        }
        const double previewed = residentMB();

        auto s = tsuzuri::bench::startedState();
        tsuzuri::SavedPiece saved;
        for (int t = 0; t < tsuzuri::kWindowTracks; ++t) {
            tsuzuri::bench::fillTrack(*s, t, tsuzuri::kMaxNotesPerMeasure);
            saved.piece.score[t] = s->piece.score[t];
        }
        saved.piece.trackCount = tsuzuri::kWindowTracks;
        saved.mml = std::string(60000, 'C');
        const auto file = dir / "full.tsz";
        tsuzuri::writeFileAtomically(file, [&] {
            const std::string text = tsuzuri::writeScoreText(saved);
            return std::vector<std::uint8_t>(text.begin(), text.end());
        }());
        form.openScoreFile(file);
        runEvents(10000, [&] { return form.state().piece.score[19].lastMeasure == 200; });
        // Each Up or Down on the selected note is one step of the history.
        for (int step = 0; step < 1000; ++step) {
            form.state().view.selActive = 1;
            form.state().view.selGlyph = 1;
            form.Picture2_KeyDown(step % 2 == 0 ? tsuzuri::kKeyUp : tsuzuri::kKeyDown, 0);
        }
        runEvents(500, [] { return false; });
        const double edited = residentMB();
        if (form.state().piece.score[19].lastMeasure != 200 || form.historyBytes() == 0) {
            std::fprintf(stderr, "the piece did not open or the edits left no history\n");
            code = 1;
        }
        std::printf("%.1f %.1f %.1f %zu\n", started, previewed, edited, form.historyBytes());
    }
    std::filesystem::remove_all(dir);
    return code;
}
