#!/usr/bin/env bash
# Runs every fuzz target of a build for a while, starting from the seeds in
# fuzz/corpus. New inputs go to a scratch copy; a crash leaves its input in the
# working directory and fails the run.
# Usage: scripts/fuzz.sh BUILD_DIR SECONDS_PER_TARGET
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?build directory}
seconds=${2:-12}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for target in mml entry number compiler score reader; do
    mkdir -p "$scratch/$target"
    cp fuzz/corpus/$target/* "$scratch/$target/"
    printf 'fuzz %-9s' "$target"
    if ! "$build/fuzz/${target}_fuzz" -max_total_time="$seconds" -timeout=10 -max_len=8192 \
        -print_final_stats=1 "$scratch/$target" >"$scratch/$target.log" 2>&1; then
        echo " FAILED"
        tail -40 "$scratch/$target.log"
        exit 1
    fi
    grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$scratch/$target.log" | sed 's/.*: */ executions: /'
done
