#!/usr/bin/env bash
# The program as a user runs it, against the loopback test server: type and paste, click
# 日 -> 中, read the window, close it.
# usage: end_to_end.sh <scripted_http_server> <port>
source "$(dirname "$0")/lib.sh"
start_test_service "$1" "$2" 1500 \
    '<html><body><textarea name="after" id="after">你好，世界</textarea></body></html>'

start_window_manager
start_quorvane
window_origin
# Regions of the window as screenshots show them: the status line and the output box.
status_box() { convert "$1" -crop 433x17+$((X + 240))+$((Y + 104)) +repage "$2"; }
output_box() { convert "$1" -crop 770x60+$((X + 10))+$((Y + 316)) +repage "$2"; }

# Typed, then pasted: xdotool can type non-ASCII text only by remapping a spare key, and on a
# loaded machine the program may read a key before its new mapping.
typed='Hello, '
pasted='こんにちは世界'
text="$typed$pasted"
printf '%s' "$pasted" | xclip -quiet -selection clipboard &
end_at_exit $!
click_on input
sleep 0.3
xdotool type --delay 50 "$typed"
xdotool key ctrl+v
sleep 0.5
screenshot "$ARTIFACTS/e2e-typed.png"

click_on ja2ch
sleep 0.7
screenshot "$ARTIFACTS/e2e-busy.png"
wait_until 10 test -s "$REQUESTS" || fail "no request reached the server"
status_box "$ARTIFACTS/e2e-busy.png" "$SCRATCH/status-busy.png"
answered() {
    screenshot "$ARTIFACTS/e2e-done.png"
    status_box "$ARTIFACTS/e2e-done.png" "$SCRATCH/status-now.png"
    differs "$SCRATCH/status-busy.png" "$SCRATCH/status-now.png"
}
wait_until 10 answered || fail "the status line did not change after the answer"
move_to background
sleep 0.3
screenshot "$ARTIFACTS/e2e-done.png"
convert "$ARTIFACTS/e2e-done.png" -crop 800x576+$X+$Y +repage "$ARTIFACTS/quorvane-window.png"

expected="GET /world/jiantizi/?before=$(query_value "$text")&wb_lp=JACH&big5=no HTTP/1.1"
[ "$(cat "$REQUESTS")" = "$expected" ] ||
    fail "the server received '$(cat "$REQUESTS")', expected '$expected'"

for shot in typed busy done; do
    status_box "$ARTIFACTS/e2e-$shot.png" "$SCRATCH/status-$shot.png"
    output_box "$ARTIFACTS/e2e-$shot.png" "$SCRATCH/output-$shot.png"
done
differs "$SCRATCH/status-typed.png" "$SCRATCH/status-busy.png" ||
    fail "the status line was not repainted before the request"
differs "$SCRATCH/status-busy.png" "$SCRATCH/status-done.png" ||
    fail "the status line did not change after the answer"
differs "$SCRATCH/output-busy.png" "$SCRATCH/output-done.png" ||
    fail "the output box shows no translation"

click_on close
expect_exit 0
echo "end to end: ok"
