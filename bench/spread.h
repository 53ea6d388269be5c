#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace tsuzuri::bench {

// Adds the smallest and largest repetition to a benchmark's aggregates, so
// that with --benchmark_repetitions a run shows the machine's noise as min,
// median and max.
inline void withSpread(benchmark::internal::Benchmark* b) {
    b->ComputeStatistics(
        "min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
    b->ComputeStatistics(
        "max", [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); });
}

}  // namespace tsuzuri::bench
