#!/usr/bin/env bash
# Screenshots of the main window on the demo (simulated adapter and controller), one in each
# plot mode: docs/main-valve.png and docs/main-lambda.png. Runs brevon-demo under Xvfb, lets
# the simulated engine run so that the instruments and plots move, then captures the window.
# Needs xvfb, xauth, ImageMagick (import) and x11-utils (xwininfo).
#   scripts/screenshots.sh [build-dir]      default: build/release, built when missing
#   SETTLE=4 scripts/screenshots.sh         seconds before the capture; by default 8.5, when the
#                                           simulated engine runs on gas and revs up
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/release}
if [ ! -x "$build/brevon-demo" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBREVON_TESTS=OFF \
    -DBREVON_BENCH=OFF >/dev/null
  cmake --build "$build" --target brevon-demo brevon_catalogs
fi
demo=$(realpath "$build/brevon-demo")
mkdir -p docs

# shot <output> <graph>: graph 1 starts the demo with the lambda plot shown.
shot() {
  local out=$1 graph=$2
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    set -euo pipefail
    BREVON_DEMO_GRAPH="$3" QT_QPA_PLATFORM=xcb "$1" &
    pid=$!
    trap "kill $pid 2>/dev/null || true" EXIT
    sleep "$4"
    id=$(xwininfo -root -tree | awk "/\"Brevon [0-9.]+\"/ { print \$1; exit }")
    [ -n "$id" ] || { echo "no Brevon window" >&2; exit 1; }
    import -window "$id" "$2"
  ' _ "$demo" "$out" "$graph" "${SETTLE:-8.5}"
  echo "wrote $out"
}

shot docs/main-valve.png 0
shot docs/main-lambda.png 1
