#!/usr/bin/env bash
# Builds the libFuzzer programs with clang (ASan + UBSan) in build-fuzz/ and runs each
# for a bounded time, starting from its seed corpus in fuzz/corpus/<target>.
#   FUZZ_SECONDS  seconds per target (default 40)
#   FUZZ_TARGETS  space-separated target names (default: every fuzz_* program built)
#   FUZZ_BUILD    build folder (default build-fuzz)
# Every target runs; a failing input is kept in $FUZZ_BUILD/artifacts/<target>/; once the
# fault is fixed, copy that file to fuzz/crashes/<target>/ so every build replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-40}"
build="${FUZZ_BUILD:-build-fuzz}"
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMERLOX_FUZZ=ON \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build "$build" -j "$(nproc)" --target fuzzers

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
# Qt keeps caches for the life of the process; leaks are not what these runs look for.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"

targets="${FUZZ_TARGETS:-$(find "$build/fuzz" -maxdepth 1 -type f -executable -name 'fuzz_*' -printf '%f\n' \
  | sed 's/^fuzz_//' | sort | tr '\n' ' ')}"
failed=""
for target in $targets; do
  work="$build/corpus/$target"
  artifacts="$build/artifacts/$target"
  mkdir -p "$work" "$artifacts"
  echo "== fuzz_$target: $seconds s"
  status=0
  "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" "$work" fuzz/corpus/"$target" >"$build/fuzz_$target.log" 2>&1 \
    || status=$?
  grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::average_exec_per_sec|SUMMARY|fuzz invariant)' \
    "$build/fuzz_$target.log" || true
  if [ "$status" -ne 0 ] || [ -n "$(ls -A "$artifacts")" ]; then
    tail -n 60 "$build/fuzz_$target.log" >&2
    echo "fuzz_$target failed (exit $status); inputs kept: $(ls "$artifacts")" >&2
    failed="$failed $target"
  fi
done
if [ -n "$failed" ]; then
  echo "fuzz targets with failing inputs:$failed" >&2
  exit 1
fi
