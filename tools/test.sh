#!/usr/bin/env bash
# Sets up the machine, builds Quorvane and runs its whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake --preset default
cmake --build --preset default
ctest --preset default
