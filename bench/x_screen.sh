# Sourced by the benchmark scripts that drive the real program: a scratch
# directory, an X screen of its own (Xvfb) on DISPLAY, every process started
# into `pids` ended on exit, and the helpers they share.

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$work/display")"

residentMB() { awk '/VmRSS/ {printf "%.1f", $2 / 1024}' "/proc/$1/status"; }

# The keyboard panel lies below the window's first size; each instrument is
# chosen in the instrument box with the Down key, then a key is played. With
# a data directory as second argument, prints the program each preview's
# c.mid carried.
previewFourInstruments() {
    local window=$1 dir=${2:-}
    xdotool windowsize "$window" 889 530
    xdotool windowfocus --sync "$window"
    sleep 0.5
    for i in 0 1 2 3; do
        [ "$i" -eq 0 ] || xdotool mousemove --window "$window" 620 10 click 1 key Down
        xdotool mousemove --window "$window" 200 510 click 1
        sleep 1
        [ -z "$dir" ] || printf ' %d' "$(od -An -tu1 -j24 -N1 "$dir/c.mid")"
    done
}
