#!/usr/bin/env bash
# Installs what is missing, builds, and starts the composer; a score file
# given on the command line is opened.
set -euo pipefail
# Names given relative to where the command was typed stay right after the cd.
args=()
for arg in "$@"; do
    case $arg in
        /* | -*) args+=("$arg") ;;
        *) args+=("$PWD/$arg") ;;
    esac
done
cd "$(dirname "$0")/.."
scripts/setup.sh run
scripts/build.sh build -DTSUZURI_TESTS=OFF
exec build/tsuzuri "${args[@]}"
