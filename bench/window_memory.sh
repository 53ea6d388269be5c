#!/usr/bin/env bash
# Runs memory_probe several times on an X screen of its own, with ALSA's null
# device as the sound output, and prints min, median and max of its figures.
# Usage: bench/window_memory.sh MEMORY_PROBE ENGINE_MODULE [RUNS]
set -euo pipefail
probe=$(realpath "$1")
module=$(realpath "$2")
runs=${3:-5}
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$home/.asoundrc"
for _ in $(seq "$runs"); do
    HOME="$home" XDG_RUNTIME_DIR="$home" "$(dirname "$0")/on_screen.sh" "$probe" "$module" 2>/dev/null
done >"$home/figures"
spread() {
    cut -d' ' -f"$1" "$home/figures" | sort -n |
        awk '{v[NR] = $1} END {printf "min %.1f   median %.1f   max %.1f MB", v[1], v[int((NR + 1) / 2)], v[NR]}'
}
echo "resident memory of the window, ALSA null device, $runs runs"
echo "  after start-up:                         $(spread 1)   (target below 60 MB)"
echo "  after previewing 4 instruments:         $(spread 2)   (target below 60 MB)"
echo "  a full 20-track piece, 1,000 undo steps: $(spread 3)   (target below 80 MB)"
echo "  history kept: $(($(head -1 "$home/figures" | cut -d' ' -f4) / 1024)) KB"
