#!/usr/bin/env bash
# Alt+F4 ends the program at once, also while the empty-input warning is flashing.
source "$(dirname "$0")/lib.sh"

start_window_manager
start_quorvane
window_origin
xdotool windowactivate --sync "$WIN"
wait_until 10 sh -c "[ \"\$(xdotool getwindowfocus)\" = $WIN ]" || fail "the window has no focus"
move_to ja2ch
sleep 0.3

# The empty input flashes for 400 ms. One xdotool process sends the click and, 50 ms later,
# the key (X delivers the click to the program before the close that openbox sends for the key),
# so no process start on a loaded machine can push the key past the flash. The input is
# sampled from before the click, so a late start of the sampling cannot miss it either.
samples="$ARTIFACTS/close_by_keyboard-samples.txt"
start=$(date +%s%N)
for i in $(seq 60); do
    echo "$((($(date +%s%N) - start) / 1000000)) $(pixel_now $((X + 400)) $((Y + 200)))"
done >"$samples" &
SAMPLER_PID=$!
end_at_exit $SAMPLER_PID
xdotool click 1 sleep 0.05 key alt+F4
expect_exit 0
wait "$SAMPLER_PID"

# The window must be gone within 400 ms of the first flash sample: before the flash could end.
read -r flashed gone < <(awk '
    $2 == "192,255,255" && flashed == "" { flashed = $1 }
    flashed != "" && $2 != "192,255,255" && $2 != "255,255,255" && gone == "" { gone = $1 }
    END { print (flashed == "" ? "-" : flashed), (gone == "" ? "-" : gone) }' "$samples")
[ "$flashed" != - ] || fail "the empty input never flashed (samples in $samples)"
[ "$gone" != - ] && [ $((gone - flashed)) -lt 400 ] ||
    fail "the window did not close during the flash: flash at $flashed ms, gone at $gone ms"
echo "close by keyboard: ok (flash at $flashed ms, window gone at $gone ms)"
