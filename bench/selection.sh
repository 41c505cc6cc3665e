#!/usr/bin/env bash
# How long `quorvane --selection` takes, with the window running, from the command to the
# translation on the screen, against the loopback test server that answers at once.
# usage: xvfb-run -a -s '-screen 0 1280x800x24' dbus-run-session -- \
#            bash bench/selection.sh <quorvane> <scripted_http_server> [runs]
set -euo pipefail
quorvane=$1
server=$2
runs=${3:-10}
port=47391
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

printf '<textarea name="after" id="after">译文 {count}</textarea>' >"$work/page.html"
"$server" "$port" 0 "$work/page.html" "$work/requests.log" 600 &
"$quorvane" --service "classic=http://127.0.0.1:$port" >"$work/quorvane.log" 2>&1 &
window=$(timeout 15 xdotool search --sync --onlyvisible --name '^Quorvane$' | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$window")"
output_box() { import -window root -crop 770x60+$((X + 10))+$((Y + 316)) +repage "$1"; }
differs() { [ "$(compare -metric AE "$1" "$2" null: 2>&1 || true)" != 0 ]; }

for run in $(seq "$runs"); do
    printf 'テキスト%s' "$run" | xclip -quiet -selection primary >/dev/null &
    sleep 0.3
    output_box "$work/before.png"
    start=$(date +%s%N)
    "$quorvane" --selection
    until output_box "$work/now.png" && differs "$work/before.png" "$work/now.png"; do :; done
    echo $((($(date +%s%N) - start) / 1000000))
done | sort -n | awk '{ ms[NR] = $1 } END {
    printf "--selection to the translation on the screen, %d runs: median %d ms, min %d ms, max %d ms\n",
           NR, ms[int((NR + 1) / 2)], ms[1], ms[NR] }'
