#!/usr/bin/env bash
# Resident memory of the running program on an X screen of its own (Xvfb),
# with ALSA's null device as the default output so that the engine has a
# driver and really loads the instruments: after start-up, and after the
# piano previewed each of the four instruments. Several runs, each a fresh
# process in a fresh home; min, median and max.
#
# Usage: bench/resident_memory.sh PROGRAM [RUNS]
# The engine module, when the program has one beside it, is copied with it.
set -euo pipefail
program=$(realpath "$1")
runs=${2:-5}
. "$(dirname "$0")/x_screen.sh"

spread() { sort -n | awk '{v[NR] = $1} END {printf "min %.1f   median %.1f   max %.1f MB", v[1], v[int((NR + 1) / 2)], v[NR]}'; }

for run in $(seq "$runs"); do
    dir="$work/run$run"
    mkdir -p "$dir/bin" "$dir/home"
    cp "$program" "$dir/bin/tsuzuri"
    module="$(dirname "$program")/tsuzuri-engine.so"
    [ ! -e "$module" ] || cp "$module" "$dir/bin/"
    printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$dir/home/.asoundrc"
    HOME="$dir/home" XDG_RUNTIME_DIR="$dir/home" QT_QPA_PLATFORM=xcb "$dir/bin/tsuzuri" \
        >"$dir/log" 2>&1 &
    pid=$!
    pids+=("$pid")
    window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$pid" --name Tsuzuri | head -1)
    sleep 3
    residentMB "$pid" >>"$work/start"
    echo >>"$work/start"
    previewFourInstruments "$window"
    sleep 2
    residentMB "$pid" >>"$work/previewed"
    echo >>"$work/previewed"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
done
echo "resident memory, ALSA null device, $runs runs"
echo "  after start-up:                 $(spread <"$work/start")"
echo "  after previewing 4 instruments: $(spread <"$work/previewed")   (target below 60 MB)"
