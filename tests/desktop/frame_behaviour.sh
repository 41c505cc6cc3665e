#!/usr/bin/env bash
# Frame behaviour on a real desktop: drag, keep on top, minimise and restore, close.
source "$(dirname "$0")/lib.sh"

start_window_manager
start_quorvane
window_origin
x0=$X
y0=$Y

# A left drag on the background moves the window; a right drag does not. The window manager
# starts the move where the pointer is when the press is handled: on a loaded machine that can be
# a step or more into the drag, so the window may lag the pointer by whole steps, never more.
xdotool mousemove $((x0 + 400)) $((y0 + 90)) mousedown 1
sleep 0.5
for step in 1 2 3 4 5; do
    xdotool mousemove $((x0 + 400 + step * 10)) $((y0 + 90 + step * 6))
    sleep 0.05
done
xdotool mouseup 1
sleep 0.3
window_origin
dx=$((X - x0))
dy=$((Y - y0))
[ "$dx" -ge 10 ] && [ "$dx" -le 50 ] && [ $((dx % 10)) -eq 0 ] && [ $((dx * 3)) -eq $((dy * 5)) ] ||
    fail "left drag moved the window by $dx,$dy instead of 50,30 (or whole steps of 10,6 less)"
x1=$X
y1=$Y

# A tap on the background, press and release at once, moves nothing: the window does not follow
# the pointer afterwards.
xdotool mousemove $((x1 + 400)) $((y1 + 90)) click 1
sleep 0.3
xdotool mousemove $((x1 + 460)) $((y1 + 150))
sleep 0.5
window_origin
[ "$X" -eq "$x1" ] && [ "$Y" -eq "$y1" ] || fail "a tap left the window following the pointer"
xdotool mousemove $((x1 + 400)) $((y1 + 90)) mousedown 3 mousemove $((x1 + 450)) $((y1 + 120)) mouseup 3
sleep 0.3
window_origin
[ "$X" -eq "$x1" ] && [ "$Y" -eq "$y1" ] || fail "right drag moved the window"

# The check box puts the window above ordinary ones, and takes it back.
click_on keep_on_top
sleep 0.3
xprop -id "$WIN" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE || fail "not kept on top"
click_on keep_on_top
sleep 0.3
! xprop -id "$WIN" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE || fail "still kept on top"

# Minimise by the picture button; the desktop restores the same shaped, borderless window.
click_on minimise
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
click_on close
expect_exit 0
echo "frame behaviour: ok"
