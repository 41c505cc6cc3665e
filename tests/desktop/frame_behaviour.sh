#!/usr/bin/env bash
# Frame behaviour on a real desktop: drag, keep on top, minimise and restore, close.
source "$(dirname "$0")/lib.sh"

start_window_manager
start_quorvane
window_origin
x0=$X
y0=$Y

# A left drag on the background moves the window; a right drag does not.
xdotool mousemove $((x0 + 400)) $((y0 + 90)) mousedown 1
for step in 1 2 3 4 5; do
    xdotool mousemove $((x0 + 400 + step * 10)) $((y0 + 90 + step * 6))
    sleep 0.05
done
xdotool mouseup 1
sleep 0.3
window_origin
[ "$X" -eq $((x0 + 50)) ] && [ "$Y" -eq $((y0 + 30)) ] ||
    fail "left drag moved the window to $X,$Y instead of $((x0 + 50)),$((y0 + 30))"
x1=$X
y1=$Y
xdotool mousemove $((x1 + 400)) $((y1 + 90)) mousedown 3 mousemove $((x1 + 450)) $((y1 + 120)) mouseup 3
sleep 0.3
window_origin
[ "$X" -eq "$x1" ] && [ "$Y" -eq "$y1" ] || fail "right drag moved the window"

# The check box puts the window above ordinary ones, and takes it back.
xdotool mousemove $((x1 + 700)) $((y1 + 111)) click 1
sleep 0.3
xprop -id "$WIN" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE || fail "not kept on top"
xdotool mousemove $((x1 + 700)) $((y1 + 111)) click 1
sleep 0.3
! xprop -id "$WIN" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE || fail "still kept on top"

# Minimise by the picture button; the desktop restores the same shaped, borderless window.
xdotool mousemove $((x1 + 705)) $((y1 + 8)) click 1
wait_until 5 sh -c "xprop -id $WIN WM_STATE | grep -q Iconic" || fail "not minimised"
xdotool windowactivate "$WIN"
wait_until 5 sh -c "xprop -id $WIN WM_STATE | grep -q Normal" || fail "not restored"
sleep 0.5
window_origin
shot="$ARTIFACTS/restored.png"
screenshot "$shot"
desktop=$(pixel "$shot" 2 2)
expect_pixel "$shot" "$X" "$Y" "$desktop" "see-through corner after restoring"
expect_pixel "$shot" $((X + 799)) $((Y + 1)) "$desktop" "see-through corner after restoring"
expect_pixel "$shot" $((X + 1)) $((Y + 1)) "37,102,157" "frame after restoring"
xprop -id "$WIN" _MOTIF_WM_HINTS | grep -qE "= 0x2, 0x[0-9a-f]+, 0x0," || fail "a frame came back"

# The close button ends the program with status 0.
xdotool mousemove $((X + 770)) $((Y + 8)) click 1
expect_exit 0
echo "frame behaviour: ok"
