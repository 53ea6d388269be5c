#!/usr/bin/env bash
# Installs what is missing, builds, and starts the composer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run
scripts/build.sh build -DTSUZURI_TESTS=OFF
exec build/tsuzuri "$@"
