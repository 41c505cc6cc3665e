#!/usr/bin/env bash
# The window as a user sees it: see-through top corners, its frame, gradient and status line.
source "$(dirname "$0")/lib.sh"

start_window_manager
start_quorvane
window_origin
shot="$ARTIFACTS/window.png"
screenshot "$shot"

desktop=$(pixel "$shot" 2 2)
for corner in "0 0" "1 0" "0 1" "798 0" "799 0" "799 1"; do
    set -- $corner
    expect_pixel "$shot" $((X + $1)) $((Y + $2)) "$desktop" "see-through corner"
done
expect_pixel "$shot" $((X + 1)) $((Y + 1)) "37,102,157" "rounded corner pixel"
expect_pixel "$shot" $((X + 0)) $((Y + 575)) "37,102,157" "square bottom corner"
expect_pixel "$shot" $((X + 400)) $((Y + 20)) "212,236,254" "gradient row 20"
expect_pixel "$shot" $((X + 400)) $((Y + 60)) "195,227,252" "gradient row 60"
expect_pixel "$shot" $((X + 660)) $((Y + 112)) "184,219,250" "status line ground"
expect_pixel "$shot" $((X + 760)) $((Y + 112)) "184,219,250" "check box ground"
echo "window on screen: ok"
