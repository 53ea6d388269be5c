#!/usr/bin/env bash
# Configures and builds into build/ (or the directory given), with any extra
# CMake options after it. Usage: scripts/build.sh [dir] [-DOPTION=value ...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$dir"
