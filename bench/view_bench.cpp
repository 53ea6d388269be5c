// What redrawing the score view costs: dispn on a view of 80 note glyphs and
// the repaint of the canvas, on Qt's offscreen platform.
#include <benchmark/benchmark.h>

#include "spread.h"

#include <QApplication>
#include <QImage>
#include <filesystem>
#include <memory>

#include "full_score.h"
#include "midi/fluid_sequencer.h"
#include "ui/form1.h"
#include "view/score_canvas.h"

namespace tsuzuri {
namespace {

// The window as the program shows it, with the current track full (20 glyphs
// in each of the four measures of the view).
struct ShownWindow {
    ShownWindow()
        : engine(FluidSequencerOptions{.drivers = {}}),
          form(engine, std::filesystem::temp_directory_path()) {
        bench::fillTrack(form.state(), 0, kGlyphsPerMeasure);
        form.show();
        QApplication::processEvents();
    }
    FluidSequencer engine;
    Form1 form;
};

// One window for every benchmark: made after the application, gone before it.
ShownWindow* window = nullptr;

int shownGlyphs(Form1& form) {
    int shown = 0;
    for (int i = 1; i <= 80; ++i)
        shown += form.Image4(i).top != kHiddenNoteTop ? 1 : 0;
    return shown;
}

// The view scrolls through the score so that every call redraws other notes.
void dispnFullView(benchmark::State& state) {
    ShownWindow& w = *window;
    int first = 0;
    for (auto _ : state) {
        w.form.dispn(static_cast<std::int16_t>(first));
        first = (first + 1) % (kLastFirstMeasure + 1);
    }
    state.counters["glyphs"] = shownGlyphs(w.form);
}
BENCHMARK(dispnFullView)->Unit(benchmark::kMicrosecond)->Apply(bench::withSpread);

// The canvas painting itself into the window's backing store, as after dispn.
void repaintCanvas(benchmark::State& state) {
    ShownWindow& w = *window;
    w.form.dispn(0);
    for (auto _ : state)
        w.form.Picture2->repaint();
}
BENCHMARK(repaintCanvas)->Unit(benchmark::kMicrosecond)->Apply(bench::withSpread);

// Both, as one scroll step of the view shows them.
void dispnAndRepaint(benchmark::State& state) {
    ShownWindow& w = *window;
    int first = 0;
    for (auto _ : state) {
        w.form.dispn(static_cast<std::int16_t>(first));
        w.form.Picture2->repaint();
        first = (first + 1) % (kLastFirstMeasure + 1);
    }
    state.counters["glyphs"] = shownGlyphs(w.form);
}
BENCHMARK(dispnAndRepaint)->Unit(benchmark::kMicrosecond)->Apply(bench::withSpread);

// The canvas and its buttons drawn into an image of their own.
void renderCanvasToImage(benchmark::State& state) {
    ShownWindow& w = *window;
    w.form.dispn(0);
    QImage image(w.form.Picture2->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
        w.form.Picture2->render(&image);
}
BENCHMARK(renderCanvasToImage)->Unit(benchmark::kMicrosecond)->Apply(bench::withSpread);

}  // namespace
}  // namespace tsuzuri

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    auto shown = std::make_unique<tsuzuri::ShownWindow>();
    tsuzuri::window = shown.get();
    benchmark::RunSpecifiedBenchmarks();
    shown.reset();
    benchmark::Shutdown();
    return 0;
}
