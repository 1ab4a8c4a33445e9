#!/usr/bin/env bash
# Builds everything and runs every test. With --sanitize: the same under
# AddressSanitizer and UndefinedBehaviorSanitizer, in build-sanitize/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

build=build
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = "--sanitize" ]; then
  build=build-sanitize
  options=(-DCMAKE_BUILD_TYPE=Debug -DMERLOX_SANITIZE=ON)
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi

cmake -S . -B "$build" -G Ninja "${options[@]}"
cmake --build "$build" -j "$(nproc)"
# The PC/SC tests talk to the real daemon and its virtual reader.
scripts/start-pcscd.sh
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
