#!/usr/bin/env bash
# In a Wayland session with XWayland, Quorvane runs on X11 unless the user chose a platform; on
# Wayland alone it still comes up. weston's headless back-end is the session.
source "$(dirname "$0")/lib.sh"
# The session's runtime folder: weston's socket and lock live there.
SCRATCH=$(mktemp -d)
chmod 700 "$SCRATCH"
export XDG_RUNTIME_DIR=$SCRATCH
unset DISPLAY QT_QPA_PLATFORM

log="$ARTIFACTS/wayland_session-weston.log"
weston --backend=headless-backend.so --xwayland --socket=quorvane-test --idle-time=0 \
    --log="$log" &
end_at_exit $!
wait_until 10 grep -q 'xserver listening on display' "$log" || fail "weston did not start XWayland"
x_display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$log" | head -n 1)
# weston starts XWayland at the first X client's connection: wait until it answers.
wait_until 20 env DISPLAY="$x_display" xprop -root || fail "XWayland does not answer"
export WAYLAND_DISPLAY=quorvane-test XDG_SESSION_TYPE=wayland

# Started as by the desktop: Wayland and X displays, no platform chosen.
DISPLAY=$x_display "$QUORVANE" >"$ARTIFACTS/wayland_session-x11.log" 2>&1 &
APP_PID=$!
DISPLAY=$x_display timeout 20 xdotool search --sync --name '^Quorvane$' >/dev/null ||
    fail "the window did not come up on the X display"
kill "$APP_PID"
wait "$APP_PID" 2>/dev/null || true

# The user's choice of Wayland wins, and so does Wayland where there is no X display.
for case in chosen only; do
    if [ "$case" = chosen ]; then
        env DISPLAY="$x_display" QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client "$QUORVANE" \
            >"$ARTIFACTS/wayland_session-$case.log" 2>&1 &
    else
        env WAYLAND_DEBUG=client "$QUORVANE" >"$ARTIFACTS/wayland_session-$case.log" 2>&1 &
    fi
    APP_PID=$!
    wait_until 20 grep -q 'xdg_toplevel@[0-9]*\.set_title("Quorvane")' \
        "$ARTIFACTS/wayland_session-$case.log" || fail "$case: no Wayland window"
    sleep 1
    kill -0 "$APP_PID" 2>/dev/null || fail "$case: the program ended by itself"
    ! DISPLAY=$x_display xdotool search --name '^Quorvane$' >/dev/null 2>&1 ||
        fail "$case: the window is on the X display"
    kill "$APP_PID"
    wait "$APP_PID" 2>/dev/null || true
done
APP_PID=""
echo "wayland session: ok"
