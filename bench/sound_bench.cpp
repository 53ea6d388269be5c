// Measures of the sound engine: how soon a preview's note-on reaches its
// synthesizer, how long the SoundFont takes to load, what the engine keeps
// resident, and how long a piece takes to export as a WAV file.
#include <benchmark/benchmark.h>

#include "spread.h"

#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>

#include "file/export.h"
#include "file/wav_file.h"
#include "midi/fluid_sequencer.h"
#include "midi/preview.h"
#include "state/tables.h"

namespace tsuzuri {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kCalls = 100;
constexpr int kBlock = 64;  // the synthesizer's own block of frames

std::filesystem::path benchDirectory() {
    const auto dir = std::filesystem::temp_directory_path() / "tsuzuri sound bench";
    std::filesystem::create_directories(dir);
    return dir;
}

double residentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1e6;
}

std::unique_ptr<EditorState> startedState() {
    auto s = std::make_unique<EditorState>();
    startUp(*s, 4);
    return s;
}

// Keeps the moment each note-on reaches a synthesizer.
class NoteOnClock {
public:
    void operator()(const PlayedEvent& event) {
        if (event.type != 0x90)
            return;
        std::lock_guard lock(mutex_);
        last_ = Clock::now();
        ++count_;
        changed_.notify_all();
    }
    Clock::time_point waitFor(int count) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return count_ >= count; });
        return last_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    Clock::time_point last_;
    int count_ = 0;
};

void reportMedian(benchmark::State& state, std::vector<double> micros) {
    std::sort(micros.begin(), micros.end());
    state.counters["median_us"] = micros[micros.size() / 2];
    state.counters["max_us"] = micros.back();
}

// noteon until the note-on is handed to the synthesizer, rendering as an audio
// driver would: the next block after the call. `programs` are used in turn.
void previewLatencyRendered(benchmark::State& state, std::vector<int> programs) {
    NoteOnClock clock;
    FluidSequencer engine(FluidSequencerOptions{.drivers = {}}, {},
                          [&](const PlayedEvent& e) { clock(e); });
    engine.waitUntilLoaded();
    auto s = startedState();
    const auto dir = benchDirectory();
    std::vector<float> left(kBlock), right(kBlock);
    std::vector<double> micros;
    int calls = 0;
    for (auto _ : state) {
        s->piece.score[0].trackProgram =
            static_cast<std::uint8_t>(programs[calls % programs.size()]);
        const auto start = Clock::now();
        previewNote(*s, engine, dir, static_cast<std::uint8_t>(60 + calls % 12));
        engine.render(left.data(), right.data(), kBlock);
        const auto reached = clock.waitFor(++calls);
        const std::chrono::duration<double> elapsed = reached - start;
        state.SetIterationTime(elapsed.count());
        micros.push_back(elapsed.count() * 1e6);
        for (int i = 0; i < 20; ++i)
            engine.render(left.data(), right.data(), kBlock);
    }
    reportMedian(state, micros);
    state.counters["buffer_ms"] = engine.bufferMilliseconds();
}
BENCHMARK_CAPTURE(previewLatencyRendered, sameProgram, std::vector<int>{105})
    ->Iterations(kCalls)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Apply(bench::withSpread);
BENCHMARK_CAPTURE(previewLatencyRendered, fourPrograms, std::vector<int>{105, 25, 24, 74})
    ->Iterations(kCalls)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Apply(bench::withSpread);

// The same through a real audio driver thread: ALSA's null device asks for
// the next period at once, so this is the engine's share of the latency; a
// sound card adds the device buffer (buffer_ms).
void previewLatencyDriver(benchmark::State& state) {
    NoteOnClock clock;
    FluidSequencer engine(FluidSequencerOptions{.drivers = {"alsa"}, .alsaDevice = "null"}, {},
                          [&](const PlayedEvent& e) { clock(e); });
    if (!engine.waitUntilLoaded()) {
        state.SkipWithError("no ALSA null device");
        return;
    }
    auto s = startedState();
    const auto dir = benchDirectory();
    std::vector<double> micros;
    int calls = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        previewNote(*s, engine, dir, static_cast<std::uint8_t>(60 + calls % 12));
        const auto reached = clock.waitFor(++calls);
        const std::chrono::duration<double> elapsed = reached - start;
        state.SetIterationTime(elapsed.count());
        micros.push_back(elapsed.count() * 1e6);
    }
    reportMedian(state, micros);
    state.counters["buffer_ms"] = engine.bufferMilliseconds();
}
BENCHMARK(previewLatencyDriver)
    ->Iterations(kCalls)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Apply(bench::withSpread);

// From constructing the engine (the window shows right after) to the SoundFont ready.
void soundFontReady(benchmark::State& state) {
    for (auto _ : state) {
        const auto start = Clock::now();
        FluidSequencer engine(FluidSequencerOptions{.drivers = {}});
        engine.waitUntilLoaded();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
}
BENCHMARK(soundFontReady)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Apply(bench::withSpread);

// Resident memory once the four instruments of the program have sounded.
void residentAfterFourInstruments(benchmark::State& state) {
    for (auto _ : state) {
        const double before = residentMegabytes();
        FluidSequencer engine(FluidSequencerOptions{.drivers = {}});
        engine.waitUntilLoaded();
        const double loaded = residentMegabytes();
        auto s = startedState();
        std::vector<float> left(44100), right(44100);
        for (int program : {105, 25, 24, 74}) {
            s->piece.score[0].trackProgram = static_cast<std::uint8_t>(program);
            previewNote(*s, engine, benchDirectory(), 69);
            engine.render(left.data(), right.data(), static_cast<int>(left.size()));
        }
        state.counters["before_MB"] = before;
        state.counters["loaded_MB"] = loaded;
        state.counters["four_instruments_MB"] = residentMegabytes();
    }
}
// One repetition: later engines in the same process reuse freed memory.
BENCHMARK(residentAfterFourInstruments)
    ->Iterations(1)
    ->Repetitions(1)
    ->Unit(benchmark::kMillisecond);

// Three minutes of four instruments at once (the default 120 quarter notes a
// minute): 90 measures of eight eighth notes on each of four tracks.
std::unique_ptr<EditorState> threeMinutesOnFourTracks() {
    auto s = startedState();
    constexpr int kEighth = 6;
    constexpr int kMeasures = 90;
    const int programs[] = {105, 25, 24, 74};
    for (int t = 0; t < 4; ++t) {
        s->piece.score[t].trackProgram = static_cast<std::uint8_t>(programs[t]);
        s->piece.score[t].lastMeasure = kMeasures - 1;
        for (int m = 0; m < kMeasures; ++m) {
            auto& measure = s->piece.score[t].measures[m];
            for (int slot = 0; slot < 8; ++slot) {
                measure.noteRow[slot] = static_cast<std::int16_t>(14 + (m + slot * 3 + t * 5) % 20);
                measure.noteAttr[slot][kAttrCode] = kEighth;
            }
            measure.noteCount = 8;
        }
    }
    return s;
}

// From the piece to a complete WAV file on the disk: the SoundFont loaded,
// every sample rendered and written.
void wavExportThreeMinutes(benchmark::State& state) {
    const auto s = threeMinutesOnFourTracks();
    const std::vector<std::uint8_t> midi = exportMidi(s->piece, s->tables);
    FluidSequencer engine(FluidSequencerOptions{.drivers = {}});
    engine.waitUntilLoaded();
    const auto file = benchDirectory() / "three minutes.wav";
    const std::atomic<bool> cancel = false;
    for (auto _ : state) {
        const auto start = Clock::now();
        const WavWritten written = writeWavFile(file, midi, engine, {}, cancel);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        if (!written.error.empty())
            state.SkipWithError(written.error.c_str());
    }
    state.counters["audio_s"] =
        static_cast<double>(std::filesystem::file_size(file) - 44) / (4.0 * 44100);
    std::filesystem::remove(file);
}
BENCHMARK(wavExportThreeMinutes)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Apply(bench::withSpread);

}  // namespace
}  // namespace tsuzuri

BENCHMARK_MAIN();
