#!/usr/bin/env bash
# Builds the program and starts it. Without a reader module attached it first starts
# the module simulator with a Mifare 1K card on the reader; the simulator's port is the
# first in the Com Port box. Extra arguments go to the simulator (see mifare-sim --help).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target merlox-mifare mifare-sim

build/sim/mifare-sim "$@" </dev/null &
sim=$!
trap 'kill "$sim" 2>/dev/null; wait "$sim" 2>/dev/null || true' EXIT
sleep 0.5
build/src/merlox-mifare
