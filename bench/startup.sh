#!/usr/bin/env bash
# Start-up of Quorvane against a bare frameless Qt window, on an X server with openbox: time from
# process start to the first painted frame, and peak memory then, five runs each, medians.
# usage: xvfb-run -a -s '-screen 0 1280x800x24' bench/startup.sh <quorvane> <bench_bare_window>
set -euo pipefail
runs=5
painted="212,236,254"  # gradient row 20 of the skin, and the bare window's fill

openbox --sm-disable >/dev/null 2>&1 &
wm=$!
trap 'kill $wm 2>/dev/null || true' EXIT
sleep 1

# Prints "<milliseconds to first frame> <peak resident KiB>" for one start of `program`.
measure() {
    local program=$1 title=$2 start now win x y colour pid
    start=$(date +%s%N)
    "$program" >/dev/null 2>&1 &
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

report() {
    local name=$1 program=$2 title=$3 samples
    samples=$(for _ in $(seq "$runs"); do measure "$program" "$title"; done)
    echo "$name: first frame $(cut -d' ' -f1 <<<"$samples" | median) ms," \
        "peak memory $(cut -d' ' -f2 <<<"$samples" | median) KiB" \
        "(runs: $(cut -d' ' -f1 <<<"$samples" | tr '\n' ' '))"
}

report quorvane "$1" Quorvane
report bare-window "$2" Bare
