#!/usr/bin/env bash
# Sets up the machine, builds Quorvane and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake --preset default
cmake --build --preset default --target quorvane
exec build/default/src/quorvane "$@"
