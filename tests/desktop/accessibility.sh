#!/usr/bin/env bash
# The window through AT-SPI, as a screen reader sees and drives it, on a private session bus
# with its own accessibility bus, against the loopback test server.
# usage: accessibility.sh <scripted_http_server> <port>
if [ -z "${QUORVANE_SESSION_BUS:-}" ]; then
    QUORVANE_SESSION_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
source "$(dirname "$0")/lib.sh"
start_test_service "$1" "$2" 300 '<textarea name="after" id="after">你好，世界</textarea>'
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$ARTIFACTS/accessibility-bus.log" 2>&1 &
end_at_exit $!

start_window_manager
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 start_quorvane
timeout 60 /usr/bin/python3 "$(dirname "$0")/accessibility.py" ||
    fail "the window is not usable through AT-SPI"
[ "$(cat "$REQUESTS")" = \
    "GET /world/jiantizi/?before=%E3%81%93%E3%82%93%E3%81%AB%E3%81%A1%E3%81%AF&wb_lp=JACH&big5=no HTTP/1.1" ] ||
    fail "the server received '$(cat "$REQUESTS")'"
echo "accessibility: ok"
