#!/usr/bin/env bash
# Builds the program and starts it. Without a reader module attached it first starts
# the module simulator with a Mifare 1K card on the reader; the simulator's port is the
# first in the Com Port box. Extra arguments go to the simulator (see mifare-sim --help).
#
# With --pcsc (first argument): starts pcscd when it is not running, the program with
# the virtual reader "Virtual PCD 00 00" chosen in its Com Port box (through
# MERLOX_PCSC_READER; not stored), and the simulator as a card in that reader. The simulator
# reads this terminal: type remove, insert, swap 4k, ... (help lists them), quit to end.
set -euo pipefail
cd "$(dirname "$0")/.."
pcsc=""
if [ "${1:-}" = "--pcsc" ]; then
  pcsc=1
  shift
fi
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target merlox-mifare mifare-sim

if [ -n "$pcsc" ]; then
  scripts/start-pcscd.sh
  MERLOX_PCSC_READER="Virtual PCD 00 00" build/src/merlox-mifare &
  program=$!
  trap 'wait "$program" 2>/dev/null || true' EXIT
  build/sim/mifare-sim --pcsc --quiet "$@"
  exit 0
fi

build/sim/mifare-sim "$@" </dev/null &
sim=$!
trap 'kill "$sim" 2>/dev/null; wait "$sim" 2>/dev/null || true' EXIT
sleep 0.5
build/src/merlox-mifare
