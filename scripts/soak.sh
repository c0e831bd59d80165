#!/usr/bin/env bash
# The soak on the stepped clock, with its figures (build/soak, an optimised build).
#   scripts/soak.sh [EVENTS] [SEED]   EVENTS seeded faults and user actions (default 1000,
#                                     seed 1), then 24 simulated hours of telemetry at
#                                     20 frames/s with the resident memory at both ends
# SOAK_HOURS changes the telemetry's length (0 skips it); SOAK_BUILD names a configured build
# folder to use instead (build/test, for one). Exits non-zero on any failure; each
# failure names its seed and event.
set -euo pipefail
cd "$(dirname "$0")/.."

events=${1:-1000}
seed=${2:-1}
hours=${SOAK_HOURS:-24}
[[ "$events" =~ ^[0-9]+$ && "$seed" =~ ^[0-9]+$ ]] || { echo "usage: $0 [EVENTS] [SEED]" >&2; exit 2; }

build=${SOAK_BUILD:-build/soak}
source scripts/packages.sh
brevon_ensure_packages
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBREVON_BENCH=OFF >/dev/null
fi
cmake --build "$build" --target brevon-soak
export QT_QPA_PLATFORM=offscreen

status=0
"$build"/brevon-soak "$events" "$seed" || status=1
if [ "$hours" != 0 ]; then
  "$build"/brevon-soak --telemetry "$hours" || status=1
fi
exit $status
