#include <benchmark/benchmark.h>

#include "spread.h"

#include <array>
#include <random>
#include <string>

#include "mml/entry_note.h"
#include "mml/optimizer.h"

namespace tsuzuri {
namespace {

constexpr std::array<const char*, 14> kLengths = {"64", "64.", "32", "32.", "16", "16.", "8",
                                                  "8.", "4",   "4.", "2",   "2.", "1",   "1."};

// MML as the editor writes it, of about `bytes` bytes: notes with octave and
// length, some sharps and rests, a space after each.
std::string generatedMml(std::size_t bytes) {
    std::mt19937 rng(7);
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    std::string text;
    text.reserve(bytes + 16);
    while (text.size() < bytes) {
        if (pick(0, 9) == 0) {
            text += "r";
        } else {
            text += 'O';
            text += static_cast<char>('0' + pick(2, 6));
            text += static_cast<char>('A' + pick(0, 6));
            if (pick(0, 5) == 0)
                text += "#";
        }
        text += kLengths[static_cast<std::size_t>(pick(4, 10))];
        text += " ";
    }
    return text;
}

// MML of about `bytes` bytes with every command composers write besides the
// editor's notes: T and V, ties, tuplet lengths, L, notes without a length,
// relative octaves.
std::string generatedMmlWithCommands(std::size_t bytes) {
    std::mt19937 rng(8);
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    constexpr std::array<const char*, 6> kTuplets = {"12", "24", "6", "10", "20", "5"};
    std::string text = "T90 ";
    text.reserve(bytes + 16);
    while (text.size() < bytes) {
        switch (pick(0, 11)) {
            case 0:
                text += "V" + std::to_string(pick(0, 15)) + " ";
                break;
            case 1:
                text += pick(0, 1) ? "> " : "< ";
                break;
            case 2:
                text += std::string("L") + kLengths[static_cast<std::size_t>(pick(4, 10))] + " ";
                break;
            case 3:
                text += std::string("O4C") + kTuplets[static_cast<std::size_t>(pick(0, 5))] + " ";
                break;
            case 4:
                text += "O4E8 & O4E16 ";
                break;
            case 5:
                text += "D# ";
                break;
            default:
                text += 'O';
                text += static_cast<char>('0' + pick(2, 6));
                text += static_cast<char>('A' + pick(0, 6));
                text += kLengths[static_cast<std::size_t>(pick(4, 10))];
                text += " ";
                break;
        }
    }
    return text;
}

void optimize(benchmark::State& state, const std::string& text) {
    for (auto _ : state)
        benchmark::DoNotOptimize(optimizeMml(text, false));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
    // Seconds per byte: flat across the sizes when the optimizer is linear.
    state.counters["s_per_byte"] = benchmark::Counter(
        static_cast<double>(text.size()),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void optimizerOnText(benchmark::State& state) {
    optimize(state, generatedMml(static_cast<std::size_t>(state.range(0))));
}
BENCHMARK(optimizerOnText)
    ->Arg(10'000)
    ->Arg(30'000)
    ->Arg(100'000)
    ->Arg(300'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->Apply(bench::withSpread);

void optimizerOnTextWithCommands(benchmark::State& state) {
    optimize(state, generatedMmlWithCommands(static_cast<std::size_t>(state.range(0))));
}
BENCHMARK(optimizerOnTextWithCommands)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->Apply(bench::withSpread);

void entryNoteParsing(benchmark::State& state) {
    const std::array<const char*, 4> notes = {"O4C8", "O4C#8.", "O1A64", "O5G-2"};
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(parseEntryNote(notes[i++ % notes.size()]));
}
BENCHMARK(entryNoteParsing)->Apply(bench::withSpread);

}  // namespace
}  // namespace tsuzuri
