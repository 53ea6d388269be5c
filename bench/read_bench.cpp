// MML read into the staff: the reader alone from 10 KB to 1 MB, and with the
// layout, a text that fills every measure of a track and one of 1 MB.
#include <benchmark/benchmark.h>

#include "spread.h"

#include <array>
#include <random>
#include <string>

#include "mml/read_mml.h"
#include "mml/track_text.h"
#include "score/layout.h"
#include "state/tables.h"

namespace tsuzuri {
namespace {

// MML of about `bytes` bytes in the dialect, with every command: notes with
// and without length, sign or dot, rests, O, < and >, L, V, ties and slurs,
// triplet and quintuplet groups, in either case.
std::string dialectText(std::size_t bytes) {
    std::mt19937 rng(9);
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    constexpr std::array<const char*, 6> kLengths = {"4", "8", "8.", "16", "2", "4."};
    std::string text = "T90 ";
    text.reserve(bytes + 32);
    int octave = 4;
    while (text.size() < bytes) {
        switch (pick(0, 11)) {
            case 0:
                text += "V" + std::to_string(pick(0, 15)) + " ";
                break;
            case 1:
                text += octave < 6 ? "> " : "O4 ";
                octave = octave < 6 ? octave + 1 : 4;
                break;
            case 2:
                text += octave > 2 ? "< " : "O4 ";
                octave = octave > 2 ? octave - 1 : 4;
                break;
            case 3:
                text += std::string("l") + kLengths[static_cast<std::size_t>(pick(0, 5))] + " ";
                break;
            case 4:
                text += pick(0, 1) ? "C12 D#12 E12 " : "c20d20r20f+20g-20 ";
                break;
            case 5:
                text += "E8 & E16 F#4&G ";
                break;
            default:
                text += static_cast<char>("CDEFGABR"[pick(0, 7)]);
                if (pick(0, 1))
                    text += kLengths[static_cast<std::size_t>(pick(0, 5))];
                text += " ";
                break;
        }
    }
    return text;
}

void perByte(benchmark::State& state, std::size_t bytes) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(bytes));
    // Seconds per byte: flat across the sizes when reading is linear.
    state.counters["s_per_byte"] = benchmark::Counter(
        static_cast<double>(bytes),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void readerOnText(benchmark::State& state) {
    const std::string text = dialectText(static_cast<std::size_t>(state.range(0)));
    if (const auto error = readMml(text).error)
        state.SkipWithError(("the text is no MML of the dialect: " + mmlFaultText(*error)).c_str());
    for (auto _ : state)
        benchmark::DoNotOptimize(readMml(text));
    perByte(state, text.size());
}
BENCHMARK(readerOnText)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->Apply(bench::withSpread);

StaffRows startRows() {
    auto s = std::make_unique<EditorState>();
    startUp(*s, 4);
    return staffRowsOf(s->tables);
}

// Ctrl+Return on a text that fills all 201 measures of a track, and on 1 MB,
// which the layout refuses once the track is full.
void readIntoStaff(benchmark::State& state, const std::string& text) {
    const StaffRows rows = startRows();
    for (auto _ : state)
        benchmark::DoNotOptimize(readTrackText(text, rows, 4, kFourFourBarTicks));
    perByte(state, text.size());
}

void fullTrackIntoStaff(benchmark::State& state) {
    std::string text = "T90 O4 L8 ";
    for (int m = 0; m < kMeasureCount; ++m)
        text += "C D E F# G A B > C < ";
    if (readTrackText(text, startRows(), 4, kFourFourBarTicks).error)
        state.SkipWithError("the text does not fill the track");
    readIntoStaff(state, text);
}
BENCHMARK(fullTrackIntoStaff)->Unit(benchmark::kMillisecond)->Apply(bench::withSpread);

void megabyteIntoStaff(benchmark::State& state) {
    readIntoStaff(state, dialectText(1'000'000));
}
BENCHMARK(megabyteIntoStaff)->Unit(benchmark::kMillisecond)->Apply(bench::withSpread);

}  // namespace
}  // namespace tsuzuri
