#!/usr/bin/env bash
# Line coverage that the fuzz corpora reach: builds the fuzz programs with clang's
# source-based coverage in build-coverage/, runs every target once over its inputs
# (the seeds in fuzz/corpus/<target>, the reproducers in fuzz/crashes/<target>, and
# what fuzz/run.sh has found in $FUZZ_BUILD/corpus/<target>), and prints llvm-cov's
# report for the code the targets read input with.
#   COVERAGE_BUILD  build folder (default build-coverage)
#   FUZZ_BUILD      where fuzz/run.sh kept its corpora (default build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${COVERAGE_BUILD:-build-coverage}"
found="${FUZZ_BUILD:-build-fuzz}/corpus"
flags="-fsanitize=fuzzer-no-link -fprofile-instr-generate -fcoverage-mapping"

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMERLOX_FUZZ=ON \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fprofile-instr-generate" >/dev/null
cmake --build "$build" -j "$(nproc)" --target fuzzers

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
rm -rf "$build/profiles"
mkdir -p "$build/profiles"
objects=()
for program in "$build"/fuzz/fuzz_*; do
  target="${program##*/fuzz_}"
  inputs=()
  for dir in "fuzz/corpus/$target" "fuzz/crashes/$target" "$found/$target"; do
    [ -d "$dir" ] && [ -n "$(ls -A "$dir")" ] && inputs+=("$dir")
  done
  [ ${#inputs[@]} -eq 0 ] && continue
  echo "== fuzz_$target: $(find "${inputs[@]}" -type f | wc -l) inputs"
  LLVM_PROFILE_FILE="$build/profiles/$target.profraw" "$program" -runs=0 "${inputs[@]}" >/dev/null 2>&1
  objects+=(-object "$program")
done
llvm-profdata merge -sparse "$build"/profiles/*.profraw -o "$build/fuzz.profdata"
# The readers: frames and tag reports, templates, text, dumps, settings, and the runs
# the card_runs target drives.
llvm-cov report "${objects[@]:1}" -instr-profile="$build/fuzz.profdata" \
  src/link/Frame.cpp src/link/FrameExchange.cpp src/link/TagReport.cpp src/commands/ValueCommands.cpp \
  src/files/*Reader.cpp src/files/DumpFormat.cpp src/files/DumpText.cpp src/card/CardImage.cpp \
  src/files/TextArea.cpp src/files/TextLines.cpp src/base/SettingsFile.cpp \
  src/commands/ReadAllRun.cpp src/commands/WriteAllRun.cpp src/view/WritePlan.cpp src/view/CellChecks.cpp
