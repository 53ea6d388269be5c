// What F5 and F6 cost on the largest score: compiling a full track and writing
// trk.mid, and assembling and writing the all-tracks file of twenty full tracks.
#include <benchmark/benchmark.h>

#include "spread.h"

#include <filesystem>

#include "full_score.h"
#include "io/safe_file.h"
#include "midi/midi_file.h"
#include "midi/track_compiler.h"

namespace tsuzuri {
namespace {

std::filesystem::path benchDirectory() {
    const auto dir = std::filesystem::temp_directory_path() / "tsuzuri track bench";
    std::filesystem::create_directories(dir);
    return dir;
}

void reportFileSize(benchmark::State& state, std::size_t bytes) {
    state.counters["file_KB"] = static_cast<double>(bytes) / 1000.0;
}

// The steps of one-track playback before the sequencer is asked to play:
// compile, write trk.mid whole, keep the chunk in the TrackBuffer.
void compileAndWriteFullTrack(benchmark::State& state) {
    auto s = bench::startedState();
    bench::fillTrack(*s, 0);
    s->piece.tempo = 90;
    const auto path = benchDirectory() / kPlaybackFileName;
    std::size_t size = 0;
    for (auto _ : state) {
        CompiledTrack compiled = compileTrack(s->piece, s->tables, 0);
        std::vector<std::uint8_t> file = fileHeader(1);
        file.insert(file.end(), compiled.chunk.begin(), compiled.chunk.end());
        if (!writeFileAtomically(path, file).empty())
            state.SkipWithError("trk.mid could not be written");
        storeTrackBuffer(*s, 0, compiled.chunk);
        benchmark::DoNotOptimize(compiled.mml.data());
        size = file.size();
    }
    reportFileSize(state, size);
}
BENCHMARK(compileAndWriteFullTrack)->Unit(benchmark::kMillisecond)->Apply(bench::withSpread);

// The compiler alone, to tell its share from the file system's.
void compileFullTrack(benchmark::State& state) {
    auto s = bench::startedState();
    bench::fillTrack(*s, 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(compileTrack(s->piece, s->tables, 0));
}
BENCHMARK(compileFullTrack)->Unit(benchmark::kMillisecond)->Apply(bench::withSpread);

// Twenty full tracks with every kind of mark, each compiled to its chunk and
// its MML text: what exporting the largest piece compiles (in 4/4, where
// every measure holds more than a bar).
void compileTwentyFullTracksWithMarks(benchmark::State& state) {
    auto s = bench::startedState();
    for (int t = 0; t < kWindowTracks; ++t)
        bench::fillTrackWithMarks(*s, t);
    s->piece.tempo = 90;
    for (auto _ : state) {
        for (int t = 0; t < kWindowTracks; ++t) {
            const CompiledTrack compiled = compileTrack(s->piece, s->tables, t);
            benchmark::DoNotOptimize(compiled.chunk.data());
            benchmark::DoNotOptimize(compiled.mml.data());
        }
    }
}
BENCHMARK(compileTwentyFullTracksWithMarks)
    ->Unit(benchmark::kMillisecond)
    ->Apply(bench::withSpread);

// Twenty tracks of 201 measures in 4/4, every measure short and completed
// with four rests: the most work bars that keep time add to a compile.
void compileTwentyTracksOfShortBarsInFourFour(benchmark::State& state) {
    auto s = bench::startedState();
    s->piece.meter = kCommonTime;
    for (int t = 0; t < kWindowTracks; ++t)
        bench::fillTrackWithShortBars(*s, t);
    for (auto _ : state) {
        for (int t = 0; t < kWindowTracks; ++t) {
            const CompiledTrack compiled = compileTrack(s->piece, s->tables, t);
            benchmark::DoNotOptimize(compiled.chunk.data());
            benchmark::DoNotOptimize(compiled.mml.data());
        }
    }
}
BENCHMARK(compileTwentyTracksOfShortBarsInFourFour)
    ->Unit(benchmark::kMillisecond)
    ->Apply(bench::withSpread);

// All-tracks playback of twenty full tracks, each compiled once beforehand.
void assembleAndWriteTwentyFullTracks(benchmark::State& state) {
    auto s = bench::startedState();
    TrackSelection ticked{};
    for (int t = 0; t < kWindowTracks; ++t) {
        bench::fillTrack(*s, t);
        storeTrackBuffer(*s, t, compileTrack(s->piece, s->tables, t).chunk);
        ticked[static_cast<std::size_t>(t)] = true;
    }
    s->piece.tempo = 90;
    const auto path = benchDirectory() / kPlaybackFileName;
    std::size_t size = 0;
    for (auto _ : state) {
        const std::vector<std::uint8_t> file = allTracksFile(*s, ticked);
        if (!writeFileAtomically(path, file).empty())
            state.SkipWithError("trk.mid could not be written");
        size = file.size();
    }
    reportFileSize(state, size);
}
BENCHMARK(assembleAndWriteTwentyFullTracks)
    ->Unit(benchmark::kMillisecond)
    ->Apply(bench::withSpread);

}  // namespace
}  // namespace tsuzuri
