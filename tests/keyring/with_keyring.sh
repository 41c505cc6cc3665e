#!/usr/bin/env bash
# Runs a command with a Secret Service of its own: a private session bus, and GNOME Keyring
# unlocked on it, in a scratch home that is removed afterwards.
# usage: with_keyring.sh COMMAND [ARGS...]
set -euo pipefail

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -m 700 "$scratch/runtime"
export HOME="$scratch" XDG_RUNTIME_DIR="$scratch/runtime" XDG_DATA_HOME="$scratch/data" \
       XDG_CONFIG_HOME="$scratch/config"
unset QT_NO_GLIB

# The daemon ends with the bus, which ends with the command.
exec dbus-run-session -- bash -c '
  printf "keyring-of-the-test" | gnome-keyring-daemon --unlock --components=secrets >/dev/null
  exec "$@"' with_keyring "$@"
