#!/usr/bin/env bash
# Alt+F4 ends the program at once, also while the empty-input warning is flashing.
source "$(dirname "$0")/lib.sh"

start_window_manager
start_quorvane
window_origin
xdotool windowactivate --sync "$WIN"
wait_until 10 sh -c "[ \"\$(xdotool getwindowfocus)\" = $WIN ]" || fail "the window has no focus"
xdotool mousemove $((X + 60)) $((Y + 108)) click 1
xdotool key alt+F4
expect_exit 0
echo "close by keyboard: ok"
