#!/usr/bin/env bash
# The running program's idle cost on an X screen of its own (Xvfb): the CPU
# it uses over a stretch with the window open and nothing playing (also with
# an unsaved change, once its recovery copy is written), and its
# resident memory after the piano previewed each of the four instruments.
#
# Two runs: one as this machine offers sound (often none, then the engine
# runs without an audio driver), and one with ALSA's null device as the
# default output, so that the engine has a driver and really loads the
# instruments. The null device takes samples as fast as they come, so the
# CPU of that run is not an idle figure; it is printed for completeness.
#
# For comparison, the resident memory of the plain form with 150 widgets.
#
# Usage: bench/idle_cost.sh PROGRAM PLAIN_FORM [SECONDS]
set -euo pipefail
program=$(realpath "$1")
plainForm=$(realpath "$2")
seconds=${3:-10}
. "$(dirname "$0")/x_screen.sh"
tick=$(getconf CLK_TCK)

cpuTicks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
contextSwitches() {
    cat /proc/"$1"/task/*/status | awk '/ctxt_switches/ {n += $2} END {print n}'
}

# CPU of process $1 over $seconds, as a share of one core, and its wake-ups.
measureIdle() {
    local before switches
    before=$(cpuTicks "$1")
    switches=$(contextSwitches "$1")
    sleep "$seconds"
    awk -v t="$(($(cpuTicks "$1") - before))" -v hz="$tick" -v s="$seconds" \
        -v w="$(($(contextSwitches "$1") - switches))" \
        'BEGIN {printf "CPU %.2f %% of a core over %d s, %.0f context switches per second\n", 100 * t / (hz * s), s, w / s}'
}

# Starts the program from a copy in a directory of its own (its data
# directory), with a home of its own; sets pid and window.
start() {
    local name=$1
    mkdir -p "$work/$name/bin" "$work/$name/home"
    cp "$program" "$work/$name/bin/tsuzuri"
    cp "$(dirname "$program")/tsuzuri-engine.so" "$work/$name/bin/"
    HOME="$work/$name/home" XDG_RUNTIME_DIR="$work/$name/home" QT_QPA_PLATFORM=xcb \
        "$work/$name/bin/tsuzuri" >"$work/$name/log" 2>&1 &
    pid=$!
    pids+=("$pid")
    window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$pid" --name Tsuzuri | head -1)
}

echo "idle cost, ${seconds} s windows"
QT_QPA_PLATFORM=xcb "$plainForm" 150 >/dev/null 2>&1 &
plainPid=$!
pids+=("$plainPid")
timeout 30 xdotool search --sync --onlyvisible --pid "$plainPid" --name "plain form" >/dev/null
sleep 1
echo "  plain form with 150 widgets: resident memory $(residentMB "$plainPid") MB"
kill "$plainPid"
start plain
sleep 3
echo "  as this machine offers sound ($(grep -q 音声出力なし <(xdotool getwindowname "$window") && echo 'no audio output' || echo 'audio output'))"
echo "    window open, nothing played: $(measureIdle "$pid")"
xdotool windowfocus --sync "$window"
echo "    the same with the keyboard focus in the window: $(measureIdle "$pid")"
echo "    resident memory: $(residentMB "$pid") MB"
# One note placed on the canvas: the piece has unsaved changes. Its recovery
# copy follows a moment later; after that nothing runs until the next change.
xdotool mousemove --window "$window" 313 78 sleep 0.2 mousemove --window "$window" 314 78 click 1
sleep 3
copies=$(find "$work/plain/home/.local/share/tsuzuri/recovery" -name '*.tsz' 2>/dev/null | wc -l)
echo "    with an unsaved note, its recovery copy written ($copies): $(measureIdle "$pid")"

kill "$pid"
mkdir -p "$work/null/home"
printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$work/null/home/.asoundrc"
start null
sleep 3
echo "  ALSA null device as the default output"
echo "    resident memory at start: $(residentMB "$pid") MB"
printf '    programs previewed:'
previewFourInstruments "$window" "$work/null/home/.local/share/tsuzuri"
echo
sleep 3
echo "    resident memory after previewing four instruments: $(residentMB "$pid") MB"
echo "    afterwards (unpaced device): $(measureIdle "$pid")"
