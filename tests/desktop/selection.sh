#!/usr/bin/env bash
# One window a session, reached over a private session bus: --selection starts a window or hands
# the selection to the running one, a second start shows the first window, the bus interface
# translates and shows, an empty primary selection is not replaced by the clipboard, and without
# a bus the window and --selection work alone.
# usage: selection.sh <scripted_http_server> <port>
if [ -z "${QUORVANE_SESSION_BUS:-}" ]; then
    QUORVANE_SESSION_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
source "$(dirname "$0")/lib.sh"
start_test_service "$1" "$2" 1500 '<textarea name="after" id="after">译文</textarea>'
start_window_manager

windows() { xdotool search --onlyvisible --name '^Quorvane$' 2>/dev/null | wc -l; }
requests() { [ -f "$REQUESTS" ] && wc -l <"$REQUESTS" || echo 0; }
# Makes `text` the primary selection, owned by an xclip that the test ends.
select_text() {
    printf '%s' "$1" | xclip -quiet -selection primary &
    end_at_exit $!
    wait_until 5 sh -c "[ \"\$(xclip -o -selection primary)\" = '$1' ]" ||
        fail "xclip did not take the primary selection"
}
output_box() { import -window root -crop 770x60+$((X + 10))+$((Y + 316)) +repage "$1"; }
status_box() { import -window root -crop 433x17+$((X + 240))+$((Y + 104)) +repage "$1"; }
# Waits until the box that `grab` pictures differs from the picture `before`.
wait_for_change() {
    local grab=$1 before=$2 try
    for try in $(seq 100); do
        "$grab" "$SCRATCH/now.png"
        differs "$before" "$SCRATCH/now.png" && return
        sleep 0.1
    done
    return 1
}
# Waits for request number `n` and checks that it carried `text` from Japanese to Chinese; then
# waits for its answer on the status line, so that the next request finds the window idle.
expect_translated() {
    local n=$1 text=$2 line
    wait_until 10 sh -c "[ \$(wc -l <'$REQUESTS') -ge $n ]" || fail "request $n did not come"
    line=$(sed -n "${n}p" "$REQUESTS")
    [ "$line" = "GET /world/jiantizi/?before=$(query_value "$text")&wb_lp=JACH&big5=no HTTP/1.1" ] ||
        fail "request $n was '$line'"
    status_box "$SCRATCH/busy.png"
    wait_for_change status_box "$SCRATCH/busy.png" || fail "request $n got no answer on the status line"
}

# --selection with no window: one comes up with the selection translated.
select_text 'こんにちは'
start_quorvane --selection
window_origin
output_box "$SCRATCH/empty.png"
expect_translated 1 'こんにちは'
wait_for_change output_box "$SCRATCH/empty.png" || fail "the output box shows no translation"
[ "$(windows)" -eq 1 ] || fail "$(windows) windows after --selection"

# --selection with the window minimised: still one window, restored and active, the new
# selection translated.
xdotool windowminimize --sync "$WIN"
wait_until 5 sh -c "xprop -id $WIN _NET_WM_STATE | grep -q HIDDEN" || fail "the window did not minimise"
select_text 'さようなら'
timeout 10 "$QUORVANE" --selection || fail "a second --selection did not end with 0"
expect_translated 2 'さようなら'
wait_until 5 sh -c "! xprop -id $WIN _NET_WM_STATE | grep -q HIDDEN" || fail "the window stayed minimised"
wait_until 5 sh -c "[ \"\$(xdotool getactivewindow)\" = $WIN ]" || fail "the window is not active"
[ "$(windows)" -eq 1 ] || fail "$(windows) windows after a second --selection"

# A plain second start shows the first window and ends with 0.
timeout 10 "$QUORVANE" || fail "a second start did not end with 0"
[ "$(windows)" -eq 1 ] || fail "$(windows) windows after a second start"

# The bus interface: a given text, show, and org.freedesktop.Application.
call() { gdbus call --session --dest com.example.quorvane --object-path /com/example/quorvane --method "$@"; }
call com.example.quorvane.Translate 'ありがとう' >/dev/null || fail "Translate was refused"
expect_translated 3 'ありがとう'
xdotool windowminimize --sync "$WIN"
call com.example.quorvane.Show >/dev/null || fail "Show was refused"
wait_until 5 sh -c "! xprop -id $WIN _NET_WM_STATE | grep -q HIDDEN" || fail "Show did not restore the window"
xdotool windowminimize --sync "$WIN"
call org.freedesktop.Application.Activate '{}' >/dev/null || fail "Activate was refused"
wait_until 5 sh -c "! xprop -id $WIN _NET_WM_STATE | grep -q HIDDEN" || fail "Activate did not restore the window"
call org.freedesktop.Application.ActivateAction 'no-such-action' '[]' '{}' >/dev/null 2>&1 &&
    fail "an unknown action was accepted"
/usr/bin/python3 - <<'PY' || fail "a text over the bound was not refused"
from gi.repository import Gio, GLib
bus = Gio.bus_get_sync(Gio.BusType.SESSION)
try:
    bus.call_sync("com.example.quorvane", "/com/example/quorvane", "com.example.quorvane",
                  "Translate", GLib.Variant("(s)", ("a" * (1024 * 1024 + 1),)), None,
                  Gio.DBusCallFlags.NONE, 10000, None)
except GLib.Error as error:
    raise SystemExit(0 if "LimitsExceeded" in error.message else error.message)
raise SystemExit("accepted")
PY
[ "$(requests)" -eq 3 ] || fail "a refused call sent a request"

# An empty primary selection with text on the clipboard: X11 has a primary selection, so the
# input is empty, the warning flashes and nothing is sent.
pkill -x xclip || true
wait_until 5 sh -c '[ -z "$(xclip -o -selection primary 2>/dev/null)" ]' || fail "the primary selection stayed"
printf '%s' '剪贴板' | xclip -quiet -selection clipboard &
end_at_exit $!
samples="$SCRATCH/flash.txt"
for i in $(seq 30); do pixel_now $((X + 600)) $((Y + 280)); done >"$samples" &
sampler=$!
call org.freedesktop.Application.ActivateAction 'translate-selection' '[]' '{}' >/dev/null ||
    fail "the action was refused"
wait "$sampler"
grep -q '^192,255,255$' "$samples" || fail "the empty input did not flash"
sleep 0.5
[ "$(requests)" -eq 3 ] || fail "the clipboard was sent in place of the empty primary selection"

# Without a session bus: the window starts within its bound and translates the selection.
kill "$APP_PID"
wait "$APP_PID" 2>/dev/null || true
APP_PID=""
select_text 'ねこ'
DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent start_quorvane --selection
[ "$WINDOW_MS" -lt 3000 ] || fail "without a bus the window took $WINDOW_MS ms"
window_origin
expect_translated 4 'ねこ'
click_on close
expect_exit 0
echo "selection: ok (window without a bus after $WINDOW_MS ms)"
