#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the suite in a normal
# build, the same suite built by clang with AddressSanitizer and
# UndefinedBehaviorSanitizer, and a short run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
scripts/setup.sh test
scripts/build.sh build -DTSUZURI_TESTS=ON
scripts/build.sh build-check -DCMAKE_CXX_COMPILER=clang++ -DTSUZURI_TESTS=ON -DTSUZURI_SANITIZE=ON \
    -DTSUZURI_FUZZ=ON
scripts/fuzz.sh build-check 15
echo "== sanitized suite"
ctest --test-dir build-check --output-on-failure -j "$jobs"
echo "== suite"
ctest --test-dir build --output-on-failure -j "$jobs"
