#!/usr/bin/env bash
# Alt+F4 ends the program at once, also while the empty-input warning is flashing.
source "$(dirname "$0")/lib.sh"

start_window_manager
start_quorvane
window_origin
xdotool windowactivate --sync "$WIN"
wait_until 10 sh -c "[ \"\$(xdotool getwindowfocus)\" = $WIN ]" || fail "the window has no focus"
# The empty input flashes for 400 ms: the key goes out as soon as a screenshot shows the flash.
xdotool mousemove $((X + 60)) $((Y + 108)) click 1
flashing() { [ "$(pixel_now $((X + 400)) $((Y + 200)))" = "192,255,255" ]; }
wait_until 5 flashing || fail "the empty input does not flash"
xdotool key alt+F4
expect_exit 0
echo "close by keyboard: ok"
