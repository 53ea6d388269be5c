// Saving and opening the largest piece: twenty tracks of 201 measures with 20
// notes each, as text and through the disk (written and synced, read back).
#include <benchmark/benchmark.h>

#include "spread.h"

#include <filesystem>

#include "file/score_file.h"
#include "full_score.h"
#include "io/safe_file.h"
#include "score/score_ops.h"

namespace tsuzuri {
namespace {

std::unique_ptr<SavedPiece> fullPiece() {
    auto s = bench::startedState();
    auto saved = std::make_unique<SavedPiece>();
    for (int t = 0; t < kWindowTracks; ++t) {
        bench::fillTrack(*s, t, kMaxNotesPerMeasure);
        saved->piece.score[t] = s->piece.score[t];
    }
    saved->mml = std::string(60000, 'C');
    return saved;
}

std::filesystem::path benchFile() {
    const auto dir = std::filesystem::temp_directory_path() / "tsuzuri file bench";
    std::filesystem::create_directories(dir);
    return dir / "full.tsz";
}

// What the save button does off the window's thread, with the text made on it.
void saveFullPiece(benchmark::State& state) {
    const auto piece = fullPiece();
    const auto path = benchFile();
    std::size_t size = 0;
    for (auto _ : state) {
        const std::string text = writeScoreText(*piece);
        if (!writeFileAtomically(path, {text.begin(), text.end()}, Durability::Sync).empty())
            state.SkipWithError("the score file could not be written");
        size = text.size();
    }
    state.counters["file_KB"] = static_cast<double>(size) / 1000.0;
}
BENCHMARK(saveFullPiece)->Unit(benchmark::kMillisecond)->Apply(bench::withSpread);

// What opening a file does before the window shows it: read, parse, check.
void openFullPiece(benchmark::State& state) {
    const auto piece = fullPiece();
    const auto path = benchFile();
    const std::string text = writeScoreText(*piece);
    writeFileAtomically(path, {text.begin(), text.end()});
    for (auto _ : state) {
        const ReadResult file = readRegularFile(path, kMaxScoreFileBytes, Links::Follow);
        const ScoreRead read = readScoreText(
            std::string_view(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size()));
        if (!read.saved)
            state.SkipWithError(read.error.c_str());
        benchmark::DoNotOptimize(read.saved.get());
    }
}
BENCHMARK(openFullPiece)->Unit(benchmark::kMillisecond)->Apply(bench::withSpread);

}  // namespace
}  // namespace tsuzuri
