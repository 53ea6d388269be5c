#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test
scripts/build.sh build -DTSUZURI_TESTS=ON
ctest --test-dir build --output-on-failure -j "$(nproc)"
