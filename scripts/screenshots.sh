#!/usr/bin/env bash
# Screenshots of the demo (simulated adapter and controller) for the README, in English and in
# Spanish: the main window in each plot mode (docs/main-*.png), each dialog
# (docs/<dialog>-<language>.png), the log viewer on a drive of the simulated controller and the
# controller's control set compared with the one that drive is tuned to. Runs brevon-demo under Xvfb, lets the simulated engine run so
# that the instruments and plots move, then captures the window.
# Needs xvfb, xauth, ImageMagick (import) and x11-utils (xwininfo).
#   scripts/screenshots.sh [build-dir] [all|en|es]
#                                           default: build/release, configured when missing;
#                                           every shot, or the English or Spanish ones
#   SETTLE=4 scripts/screenshots.sh         seconds before the capture; by default 8.5, when the
#                                           simulated engine runs on gas and revs up
# The demo keeps its options in a throwaway settings folder, so that the user's stored language
# neither chooses the shots' language nor is changed by them; LANGUAGE chooses it.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/release}
shots=${2:-all}
case "$shots" in all|en|es) ;; *) echo "usage: $0 [build-dir] [all|en|es]" >&2; exit 2 ;; esac
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBREVON_TESTS=OFF \
    -DBREVON_BENCH=OFF >/dev/null
fi
cmake --build "$build" --target brevon-demo brevon-simlog brevon_catalogs
demo=$(realpath "$build/brevon-demo")
mkdir -p docs
settings=$(mktemp -d)
files=$(mktemp -d)
trap 'rm -rf "$settings" "$files"' EXIT
# Twenty minutes of driving, and the control set the drive is tuned to halfway.
drive="$files/drive.csv"
tuned="$files/tuned.mem"
"$build/brevon-simlog" "$drive" 1200
"$build/brevon-simlog" --tuned-set "$tuned"

# shot <output> <language> <graph> <dialog> <window>: graph 1 starts the demo with the lambda plot
# shown; <dialog> names the dialog the demo opens (BREVON_DEMO_DIALOG), empty for none; <window>
# is an awk pattern for the captured window's name. BREVON_DEMO_FILE names the file the log
# viewer and the comparison open.
shot() {
  local out=$1 language=$2 graph=$3 dialog=$4 window=$5
  rm -rf "${settings:?}"/*
  xvfb-run -a -s "-screen 0 1280x900x24" bash -c '
    set -euo pipefail
    XDG_CONFIG_HOME="$7" LANGUAGE="$3" BREVON_DEMO_GRAPH="$4" BREVON_DEMO_DIALOG="$5" \
      QT_QPA_PLATFORM=xcb "$1" &
    pid=$!
    trap "kill $pid 2>/dev/null || true" EXIT
    sleep "$8"
    id=$(xwininfo -root -tree | awk -v pattern="$6" "\$0 ~ pattern { print \$1; exit }")
    [ -n "$id" ] || { echo "no window matching $6" >&2; exit 1; }
    import -window "$id" "$2"
  ' _ "$demo" "$out" "$language" "$graph" "$dialog" "$window" "$settings" "${SETTLE:-8.5}"
  echo "wrote $out"
}

main='"Brevon [0-9.]+"'
# Each dialog, by the name the demo knows it by, and a pattern matching its caption in either
# language.
dialogs=(
  "ctrl|CONTROL SYSTEM|SISTEMA DE CONTROL"
  "cutoff|CUT-OFF CONFIG|CONFIGURACI.*N DE CORTE"
  "lambda|CONTROL LAMBDA|LAMBDA CONTROL"
  "load|Load Memory|Cargar memoria"
  "pass|PROTECTED MEMORY|MEMORIA PROTEGIDA"
  "protect|MEMORY PROTECTION|PROTECCI.*N DE MEMORIA"
  "viewlog|Log viewer|Visor de registros"
  "compare|Compare control sets|Comparar configuraciones"
)
for language in en es; do
  [ "$shots" = all ] || [ "$shots" = "$language" ] || continue
  if [ "$language" = en ]; then
    shot docs/main-valve.png en 0 "" "$main"
    shot docs/main-lambda.png en 1 "" "$main"
  else
    shot docs/main-es.png es 0 "" "$main"
  fi
  for entry in "${dialogs[@]}"; do
    case "${entry%%|*}" in
      viewlog) export BREVON_DEMO_FILE="$drive" ;;
      compare) export BREVON_DEMO_FILE="$tuned" ;;
      *) unset BREVON_DEMO_FILE ;;
    esac
    shot "docs/${entry%%|*}-$language.png" "$language" 0 "${entry%%|*}" "\"[^\"]*(${entry#*|})[^\"]*\""
  done
done
