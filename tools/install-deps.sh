#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Quorvane need.
# Idempotent: asks apt only for what is missing, and updates the lists only then.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libcurl4-openssl-dev zlib1g-dev ca-certificates openssl
  qtkeychain-qt6-dev libsecret-1-0 gnome-keyring
  libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth openbox xdotool xclip x11-utils imagemagick
  fonts-wqy-microhei
  desktop-file-utils appstream dpkg-dev file lintian man-db
  weston xwayland qt6-wayland
  at-spi2-core python3-pyatspi dbus dbus-x11 libglib2.0-bin
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
