#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (build/fuzz) and runs them.
#   scripts/fuzz.sh TARGET SECONDS   one target for a long run; what it finds stays in
#                                    build/fuzz/corpus/TARGET, crashes in build/fuzz/artifacts
#   scripts/fuzz.sh all SECONDS      every target in turn: first each file of
#                                    fuzz/regressions/TARGET once, then SECONDS of fuzzing from
#                                    the seed corpus (./test runs this with 10)
#   scripts/fuzz.sh list             the targets
#   scripts/fuzz.sh seeds            writes the made seeds of fuzz/corpus anew: frames from the
#                                    simulated controller, control-set and settings files from
#                                    the program's code, .mo catalogs compiled from po/
# Exits non-zero on the first crash, failed check, hang or leak. Extra libFuzzer flags can be
# given in FUZZ_FLAGS (for example FUZZ_FLAGS=-jobs=2).
set -euo pipefail
cd "$(dirname "$0")/.."

targets=(frame_codec link receive_frames control_set_file mo_catalog options_store datalog_csv)
build=build/fuzz

usage() { echo "usage: $0 TARGET|all SECONDS, or $0 list" >&2; exit 2; }
[ $# -ge 1 ] || usage
if [ "$1" = list ]; then
  printf '%s\n' "${targets[@]}"
  exit 0
fi
if [ "$1" = seeds ]; then
  which=seeds
else
  [ $# -eq 2 ] && [[ "$2" =~ ^[0-9]+$ ]] || usage
  which=$1
  seconds=$2
fi
if [ "$which" != all ] && [ "$which" != seeds ] && ! printf '%s\n' "${targets[@]}" | grep -qx "$which"; then
  echo "no fuzz target '$which'; the targets: ${targets[*]}" >&2
  exit 2
fi

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBREVON_FUZZ=ON -DBREVON_TESTS=OFF -DBREVON_BENCH=OFF >/dev/null

if [ "$which" = seeds ]; then
  cmake --build "$build" -j "$(nproc)" --target brevon_fuzz_seeds
  QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 "$build/fuzz/brevon_fuzz_seeds" fuzz/corpus
  mkdir -p fuzz/corpus/mo_catalog
  for po in po/*.po; do
    msgfmt -o "fuzz/corpus/mo_catalog/$(basename "$po" .po).mo" "$po"
  done
  msgfmt --endianness=big -o fuzz/corpus/mo_catalog/languagecodes-big-endian.mo po/languagecodes.po
  exit 0
fi
cmake --build "$build" -j "$(nproc)" --target brevon_fuzz

export QT_QPA_PLATFORM=offscreen
# A smaller quarantine keeps the allocator from touching fresh pages on every input; the Qt
# parsers allocate a lot for each one.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16:malloc_context_size=10:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=suppressions="$PWD/scripts/lsan.supp"

# run TARGET SECONDS WORK-CORPUS: fuzz from the seed corpus; new inputs go to WORK-CORPUS.
run() {
  local t=$1 secs=$2 work=$3
  local dict=() extra=()
  [ -f "fuzz/dict/$t.dict" ] && dict=("-dict=fuzz/dict/$t.dict")
  # QSettings keeps every settings file it has read in a cache, so each input ends with more
  # blocks allocated than freed and libFuzzer would scan the whole heap for leaks after each one
  # (five times the cost of the input itself).
  [ "$t" = options_store ] && extra=(-detect_leaks=0)
  # ASan records the stack of every allocation; its fast unwinder walks on through Qt's frames,
  # which keep no frame pointers, and picks up a different stack every time. The records are
  # never freed, so the reader of settings files grows by about 0.8 KB an input and a long run
  # would stop at the RSS limit near five million. Without allocation stacks it stays flat;
  # a crash report still shows where the bad access was.
  local asan=$ASAN_OPTIONS
  [ "$t" = options_store ] && asan+=:malloc_context_size=0
  # A few hundred bytes already fill the receive ring several times over; longer inputs only
  # slow the run down.
  [ "$t" = receive_frames ] || [ "$t" = link ] && extra+=(-max_len=1024)
  mkdir -p "$work" "$build/artifacts/$t"
  # -timeout: an input that runs this long is a hang. -rss_limit_mb: leave room for ASan.
  ASAN_OPTIONS=$asan "$build/fuzz/$t" "${dict[@]}" -max_total_time="$secs" -timeout=10 -rss_limit_mb=4096 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/$t/" "${extra[@]}" ${FUZZ_FLAGS:-} \
    "$work" "fuzz/corpus/$t"
}

if [ "$which" != all ]; then
  run "$which" "$seconds" "$build/corpus/$which"
  exit 0
fi

# fail LOG MESSAGE: shows what the target printed and stops.
fail() {
  cat "$1"
  echo "$2" >&2
  exit 1
}

for t in "${targets[@]}"; do
  printf '\n-- %s\n' "$t"
  log=$(mktemp)
  regressions=(fuzz/regressions/"$t"/*)
  if [ -e "${regressions[0]}" ]; then
    "$build/fuzz/$t" -timeout=10 "${regressions[@]}" >"$log" 2>&1 \
      || fail "$log" "fuzz target $t failed on one of fuzz/regressions/$t/"
    echo "${#regressions[@]} regression inputs replayed"
  fi
  work=$(mktemp -d)
  run "$t" "$seconds" "$work" >"$log" 2>&1 \
    || fail "$log" "fuzz target $t failed; the input is in $build/artifacts/$t/"
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec)|DONE' "$log" || true
  rm -rf "$work" "$log"
done
