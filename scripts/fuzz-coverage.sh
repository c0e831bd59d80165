#!/usr/bin/env bash
# Line coverage of the program's code reached by each fuzz target's corpus: builds the targets
# for source-based coverage (build/fuzz-cov), replays the seed corpus and what the long runs
# kept (build/fuzz/corpus/TARGET) through each, and prints llvm-cov's summary of the folders
# that target feeds.
#   scripts/fuzz-coverage.sh [TARGET...]     default: every target
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/fuzz-cov
targets=("$@")
[ ${#targets[@]} -gt 0 ] || mapfile -t targets < <(scripts/fuzz.sh list)

# The product folders whose lines each target is meant to reach.
declare -A reaches=(
  [frame_codec]="protocol/TFrameDecoder protocol/TFrameEncoder"
  [link]="link/TKorvelComm"
  [receive_frames]="link/TKorvelComm protocol/TControllerProtocol protocol/TFrameDecoder protocol/TTelemetry sim/TSimAdapter sim/TSimTransport"
  [control_set_file]="ui/memory/TControlSetFile ui/memory/TMemoryOps ui/dialogs protocol/CtrlSet protocol/TControlSet"
  [mo_catalog]="settings/TMoCatalog"
  [options_store]="settings/TOpcionesAvanzadas"
)

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DBREVON_FUZZ=ON -DBREVON_FUZZ_COVERAGE=ON -DBREVON_TESTS=OFF -DBREVON_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target brevon_fuzz

export QT_QPA_PLATFORM=offscreen
for t in "${targets[@]}"; do
  profiles="$build/profiles/$t"
  rm -rf "$profiles"
  mkdir -p "$profiles"
  corpora=("fuzz/corpus/$t")
  [ -d "build/fuzz/corpus/$t" ] && corpora+=("build/fuzz/corpus/$t")
  LLVM_PROFILE_FILE="$profiles/%p.profraw" "$build/fuzz/$t" -runs=0 "${corpora[@]}" >/dev/null 2>&1
  llvm-profdata-14 merge -sparse "$profiles"/*.profraw -o "$profiles/merged.profdata"
  files=()
  for prefix in ${reaches[$t]}; do
    files+=($(ls "$prefix"*.cpp 2>/dev/null || ls "$prefix"/*.cpp))
  done
  printf '\n-- %s (%s inputs)\n' "$t" "$(find "${corpora[@]}" -type f | wc -l)"
  llvm-cov-14 report "$build/fuzz/$t" -instr-profile="$profiles/merged.profdata" \
    -show-region-summary=false -show-branch-summary=false "${files[@]}" | sed 's/^/  /'
done
