# Helpers for tests that run the real program on an X server (under xvfb-run) with openbox.
set -euo pipefail

: "${QUORVANE:?set QUORVANE to the program under test}"
ARTIFACTS=${ARTIFACTS:-$PWD/artifacts}
mkdir -p "$ARTIFACTS"
TEST_NAME=$(basename "$0" .sh)
APP_PID=""
WM_PID=""
WIN=""
WINDOW_MS=""
SCRATCH=""
BACKGROUND_PIDS=()

fail() {
    echo "FAIL: $*" >&2
    [ -n "$APP_PID" ] && screenshot "$ARTIFACTS/$TEST_NAME-failure.png" || true
    exit 1
}

cleanup() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null || true
    [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null || true
    [ ${#BACKGROUND_PIDS[@]} -eq 0 ] || kill "${BACKGROUND_PIDS[@]}" 2>/dev/null || true
    [ -z "$SCRATCH" ] || rm -rf "$SCRATCH"
}
trap cleanup EXIT

# Ends the process `pid` when the test ends.
end_at_exit() {
    BACKGROUND_PIDS+=("$1")
}

# Starts the loopback test server `server` on `port`, answering every request with `page` after
# `delay` milliseconds. It logs the request lines it receives to $REQUESTS; $SCRATCH is a folder
# for the test's own files. Both go when the test ends.
start_test_service() {
    local server=$1 port=$2 delay=$3 page=$4
    SCRATCH=$(mktemp -d)
    REQUESTS=$SCRATCH/requests.log
    printf '%s' "$page" >"$SCRATCH/page.html"
    "$server" "$port" "$delay" "$SCRATCH/page.html" "$REQUESTS" 60 &
    local pid=$!
    end_at_exit $pid
    # A server that cannot listen (another holds the port) ends at once; the program would then
    # talk to whatever holds the port.
    wait_until 10 sh -c "test -e '$REQUESTS' || ! kill -0 $pid" || true
    [ -e "$REQUESTS" ] || fail "the test server does not listen on port $port"
}

# `text` as the classic request's query value: every UTF-8 byte as %XX.
query_value() {
    printf '%s' "$1" | od -An -tx1 | tr -d ' \n' | tr 'a-f' 'A-F' | sed 's/../%&/g'
}

# Polls `command...` every 0.1 s for up to `seconds`.
wait_until() {
    local seconds=$1
    shift
    local tries=$((seconds * 10))
    until "$@" >/dev/null 2>&1; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

# The first key from XTEST makes the X server switch keyboards and announce a new keymap; openbox
# then drops and grabs all its key bindings again, and a key in between reaches the focused window
# as an ordinary key. Send a harmless key, then a binding whose effect shows (go to the second
# desktop) until openbox answers it, and come back.
settle_keyboard() {
    xdotool key shift
    local attempt
    for attempt in $(seq 20); do
        xdotool key super+F2
        if wait_until 1 sh -c 'xprop -root _NET_CURRENT_DESKTOP | grep -q "= 1$"'; then
            xdotool key super+F1
            wait_until 5 sh -c 'xprop -root _NET_CURRENT_DESKTOP | grep -q "= 0$"' ||
                fail "openbox did not return to the first desktop"
            return
        fi
    done
    fail "openbox does not answer its key bindings"
}

start_window_manager() {
    local attempt
    for attempt in 1 2 3; do
        openbox --sm-disable >>"$ARTIFACTS/$TEST_NAME-openbox.log" 2>&1 &
        WM_PID=$!
        if wait_until 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'; then
            settle_keyboard
            return
        fi
        kill "$WM_PID" 2>/dev/null || true
    done
    fail "openbox did not start"
}

# Starts the program and waits for its window; WINDOW_MS is how long the window took to appear.
start_quorvane() {
    local start
    start=$(date +%s%N)
    "$QUORVANE" "$@" >>"$ARTIFACTS/$TEST_NAME-quorvane.log" 2>&1 &
    APP_PID=$!
    WIN=$(timeout 15 xdotool search --sync --onlyvisible --name '^Quorvane$' | head -n 1) ||
        fail "the window did not appear"
    WINDOW_MS=$((($(date +%s%N) - start) / 1000000))
    sleep 0.5
}

# Sets X and Y to the window's place on the screen.
window_origin() {
    eval "$(xdotool getwindowgeometry --shell "$WIN")"
}

# A point inside each of the window's controls, from its top-left corner.
declare -A PLACES=(
    [ja2ch]="69 108"
    [minimise]="705 8"
    [close]="770 8"
    [keep_on_top]="700 111"
    [input]="300 200"
    [background]="400 90"
)

# The screen coordinates of control `name` in the window at X, Y.
place() {
    local at
    read -ra at <<<"${PLACES[$1]}"
    echo "$((X + at[0])) $((Y + at[1]))"
}

move_to() {
    # shellcheck disable=SC2046
    xdotool mousemove $(place "$1")
}

click_on() {
    move_to "$1"
    xdotool click 1
}

screenshot() {
    import -window root "$1"
}

# Prints "r,g,b" of the screenshot's pixel at x, y.
pixel() {
    convert "$1" -format "%[fx:int(255*p{$2,$3}.r+0.5)],%[fx:int(255*p{$2,$3}.g+0.5)],%[fx:int(255*p{$2,$3}.b+0.5)]" info:
}

# Prints "r,g,b" of the screen's pixel at x, y now.
pixel_now() {
    import -window root -crop "1x1+$1+$2" -depth 8 txt:- | sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\)).*/\1,\2,\3/p'
}

# Whether two pictures differ in any pixel.
differs() { [ "$(compare -metric AE "$1" "$2" null: 2>&1 || true)" != 0 ]; }

expect_pixel() {
    local shot=$1 x=$2 y=$3 expected=$4 what=$5
    local actual
    actual=$(pixel "$shot" "$x" "$y")
    [ "$actual" = "$expected" ] || fail "$what at $x,$y: expected $expected, got $actual"
}

# Waits up to `seconds` (10 unless given) for the program to end, and checks its exit status.
expect_exit() {
    local expected=$1 seconds=${2:-10} status=0
    # tail checks the process only once a second unless told otherwise.
    timeout "$seconds" tail --pid="$APP_PID" -f -s 0.02 /dev/null ||
        fail "the program did not end within $seconds s"
    wait "$APP_PID" || status=$?
    APP_PID=""
    [ "$status" -eq "$expected" ] || fail "exit status $status, expected $expected"
}
