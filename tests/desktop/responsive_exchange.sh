#!/usr/bin/env bash
# The window stays alive while the service holds its answer: it repaints, takes keys, shows the
# answer when it comes, and closes at once by its button or Alt+F4.
# usage: responsive_exchange.sh <scripted_http_server> <port>
source "$(dirname "$0")/lib.sh"
start_test_service "$1" "$2" 4000 '<textarea name="after" id="after">你好</textarea>'

region() { convert "$1" -crop "$3" +repage "$2"; }
requests() { [ -f "$REQUESTS" ] && wc -l <"$REQUESTS" || echo 0; }
# Starts a translation and waits until the server holds its request.
translate_held() {
    local before
    before=$(requests)
    click_on input
    xdotool type --delay 30 "abc"
    click_on ja2ch
    wait_until 10 sh -c "[ \$(wc -l <'$REQUESTS') -gt $before ]" ||
        fail "no request reached the server"
    move_to background
    sleep 0.3
}
# Closes by `how` (a command) and checks the program ends with 0 within a second.
close_within_a_second() {
    local start
    start=$(date +%s%N)
    "$@"
    expect_exit 0 1
    echo "ended $((($(date +%s%N) - start) / 1000000)) ms after the close ($*)"
}

start_window_manager
start_quorvane
window_origin
translate_held
screenshot "$SCRATCH/held.png"

# A window mapped over Quorvane and removed again leaves its picture whole.
xmessage -geometry 500x300+$((X + 150))+$((Y + 150)) "covering Quorvane" &
COVER_PID=$!
end_at_exit $COVER_PID
wait_until 5 xdotool search --name '^xmessage$' || fail "the covering window did not appear"
sleep 0.3
kill $COVER_PID
sleep 0.5
screenshot "$SCRATCH/uncovered.png"
area=400x250+$((X + 200))+$((Y + 300))
region "$SCRATCH/held.png" "$SCRATCH/held-area.png" "$area"
region "$SCRATCH/uncovered.png" "$SCRATCH/uncovered-area.png" "$area"
differs "$SCRATCH/held-area.png" "$SCRATCH/uncovered-area.png" &&
    fail "the window was not repainted while the service held its answer"

# Keys typed meanwhile land in the input.
input=700x150+$((X + 10))+$((Y + 140))
xdotool type --delay 30 "typed"
sleep 0.3
screenshot "$SCRATCH/typed.png"
region "$SCRATCH/held.png" "$SCRATCH/held-input.png" "$input"
region "$SCRATCH/typed.png" "$SCRATCH/typed-input.png" "$input"
differs "$SCRATCH/held-input.png" "$SCRATCH/typed-input.png" || fail "typed keys did not land"

# The answer and the seconds appear once the service answers.
status=433x17+$((X + 240))+$((Y + 104))
output=770x60+$((X + 10))+$((Y + 316))
region "$SCRATCH/held.png" "$SCRATCH/held-status.png" "$status"
region "$SCRATCH/held.png" "$SCRATCH/held-output.png" "$output"
answered() {
    screenshot "$SCRATCH/now.png"
    region "$SCRATCH/now.png" "$SCRATCH/now-status.png" "$status"
    differs "$SCRATCH/held-status.png" "$SCRATCH/now-status.png"
}
wait_until 10 answered || fail "the status line did not change after the answer"
region "$SCRATCH/now.png" "$SCRATCH/now-output.png" "$output"
differs "$SCRATCH/held-output.png" "$SCRATCH/now-output.png" || fail "no translation shown"
screenshot "$ARTIFACTS/responsive-answered.png"
close_within_a_second click_on close

# A close while the service holds the request ends the program at once.
start_quorvane
window_origin
translate_held
close_within_a_second click_on close
start_quorvane
window_origin
xdotool windowactivate --sync "$WIN"
translate_held
close_within_a_second xdotool key alt+F4
echo "responsive exchange: ok"
