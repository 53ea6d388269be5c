#!/usr/bin/env bash
# Builds the benchmarks (into build-bench/, or the directory given) and runs
# them all: each benchmark repeated, with min, median and max of the
# repetitions; start-up against a plain form with as many widgets, on the
# offscreen platform and on an X screen, and until the window is mapped; the
# idle cost and the resident memory of the running program.
# Usage: bench/run.sh [dir]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-bench}
missing=()
for package in libbenchmark-dev libxcb1-dev xvfb xdotool; do
    [ "$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null)" = "install ok installed" ] ||
        missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
scripts/setup.sh run
scripts/build.sh "$dir" -DTSUZURI_BENCH=ON -DTSUZURI_TESTS=OFF

repeated=(--benchmark_repetitions=5 --benchmark_report_aggregates_only=true)
"$dir/bench/tsuzuri_bench" "${repeated[@]}"
"$dir/bench/tsuzuri_view_bench" "${repeated[@]}"
"$dir/bench/tsuzuri_sound_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true

"$dir/bench/startup_probe" 15 "$dir/tsuzuri" "$dir/bench/plain_form"
bench/on_screen.sh "$dir/bench/startup_probe" 15 "$dir/tsuzuri" "$dir/bench/plain_form"
bench/on_screen.sh "$dir/bench/map_probe" 15 "$dir/tsuzuri" "$dir/bench/plain_form"
bench/idle_cost.sh "$dir/tsuzuri" "$dir/bench/plain_form" 10
bench/resident_memory.sh "$dir/tsuzuri" 5
bench/window_memory.sh "$dir/bench/memory_probe" "$dir/tsuzuri-engine.so" 5
