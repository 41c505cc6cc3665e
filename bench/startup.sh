#!/usr/bin/env bash
# Start-up of Quorvane against two floors, on an X server with openbox and a session bus: a bare
# frameless Qt window, and the same showing one line of the window's CJK text in its font. Time
# from process start to the first painted frame, and peak memory then, five runs each, medians;
# their ratios; and the time a second start takes to hand its request to the running window.
# usage: xvfb-run -a -s '-screen 0 1280x800x24' bench/startup.sh <quorvane> <bench_bare_window>
set -euo pipefail
runs=5
painted="212,236,254"  # gradient row 20 of the skin, and the bare window's fill

eval "$(dbus-launch --sh-syntax)"
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
trap 'kill $wm "$DBUS_SESSION_BUS_PID" 2>/dev/null || true' EXIT
sleep 1

# Prints "<milliseconds to first frame> <peak resident KiB>" for one start of `program`.
measure() {
    local program=$1 title=$2 start now win x y colour pid
    start=$(date +%s%N)
    $program >/dev/null 2>&1 &
    pid=$!
    until win=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1) &&
        [ -n "$win" ]; do
        sleep 0.005
    done
    eval "$(xdotool getwindowgeometry --shell "$win")"
    x=$((X + 400))
    y=$((Y + 20))
    until colour=$(import -window root -crop "1x1+$x+$y" -depth 8 txt:- 2>/dev/null |
        sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p') && [ "$colour" = "$painted" ]; do
        sleep 0.005
    done
    now=$(date +%s%N)
    sleep 0.5
    local peak
    peak=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo "$(((now - start) / 1000000)) $peak"
}

median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

# Sets <name>_frame and <name>_memory to the medians, and prints them.
report() {
    local name=$1 program=$2 title=$3 samples
    samples=$(for _ in $(seq "$runs"); do measure "$program" "$title"; done)
    printf -v "${name}_frame" %s "$(cut -d' ' -f1 <<<"$samples" | median)"
    printf -v "${name}_memory" %s "$(cut -d' ' -f2 <<<"$samples" | median)"
    local frame=${name}_frame memory=${name}_memory
    echo "$name: first frame ${!frame} ms, peak memory ${!memory} KiB" \
        "(runs: $(cut -d' ' -f1 <<<"$samples" | tr '\n' ' '))"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# The milliseconds that a second start takes to hand its request to the running window and end.
hand_over() {
    local start
    start=$(date +%s%N)
    "$1" >/dev/null 2>&1
    echo $((($(date +%s%N) - start) / 1000000))
}

report quorvane "$1" Quorvane
report cjk_floor "$2 --cjk" "Bare CJK"
report bare_window "$2" Bare
echo "first frame: $(ratio "$quorvane_frame" "$cjk_floor_frame")x the CJK floor," \
    "$(ratio "$quorvane_frame" "$bare_window_frame")x the bare window"
echo "peak memory: $(ratio "$quorvane_memory" "$cjk_floor_memory")x the CJK floor," \
    "$(ratio "$quorvane_memory" "$bare_window_memory")x the bare window"

"$1" >/dev/null 2>&1 &
window=$!
until xdotool search --onlyvisible --name '^Quorvane$' >/dev/null 2>&1; do sleep 0.01; done
handovers=$(for _ in $(seq "$runs"); do hand_over "$1"; done)
kill "$window"
wait "$window" 2>/dev/null || true
echo "bus hand-over: $(median <<<"$handovers") ms (runs: $(tr '\n' ' ' <<<"$handovers"))"
