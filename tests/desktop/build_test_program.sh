#!/usr/bin/env bash
# Builds and installs, into a scratch root, a Quorvane whose default service is the classic one at
# the loopback test server.
# usage: build_test_program.sh <source folder> <work folder> <service root>
set -euo pipefail
source=$1
work=$2
root=$3
cmake -S "$source" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DQUORVANE_BUILD_TESTS=OFF -DQUORVANE_SERVICE_ROOT="$root" -DQUORVANE_DEFAULT_SERVICE=classic \
    -DCMAKE_INSTALL_PREFIX=/usr \
    >/dev/null
cmake --build "$work/build" --target quorvane manual
rm -rf "$work/root"
DESTDIR="$work/root" cmake --install "$work/build" >/dev/null
test -x "$work/root/usr/bin/quorvane"
