#!/usr/bin/env bash
# Runs a command with an X screen of its own (Xvfb) and Qt's xcb platform.
# Usage: bench/on_screen.sh COMMAND [ARGS...]
set -euo pipefail
work=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
server=$!
trap 'kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
DISPLAY=":$(head -1 "$work/display")" QT_QPA_PLATFORM=xcb "$@"
