#!/usr/bin/env bash
# Whole-process start-up of Quorvane.exe under Wine: the time from starting the process to its
# main window being mapped on the display, and, as the floor any Wine process pays, the time of
# a run that does nothing visible ("UninstallServ" with no launcher service registered).
#
#   tests/bench/startup_wine.sh [BUILD] [RUNS]     BUILD: a win64 build folder (default build/win64)
#
# Uses a prefix of its own in BUILD/wineprefix-bench, one persistent wineserver and its own Xvfb.
# Prints the median and the range of each measure in milliseconds.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath -m "${1:-$here/build/win64}")
runs=${2:-7}
exe=$build/app/Quorvane.exe
[ -f "$exe" ] || { echo "build Quorvane in $build first" >&2; exit 1; }

. "$here/scripts/lib/wine.sh"
qv_wine_prefix "$build/wineprefix-bench"
qv_xvfb_start
trap 'qv_wine_stop; qv_xvfb_stop' EXIT

now_ms() { date +%s%3N; }
summary() {  # name values...
  local name=$1; shift
  printf '%s\n' "$@" | sort -n | awk -v name="$name" '{ v[NR] = $1 } END {
    printf "%-28s median %5d ms   range %d..%d ms   (%d runs)\n", name, v[int((NR + 1) / 2)], v[1], v[NR], NR }'
}

wine "$exe" UninstallServ >/dev/null 2>&1  # warm the prefix and the page cache
floor=() window=()
for _ in $(seq "$runs"); do
  t0=$(now_ms)
  wine "$exe" UninstallServ >/dev/null 2>&1
  floor+=($(( $(now_ms) - t0 )))

  t0=$(now_ms)
  wine "$exe" >/dev/null 2>&1 &
  pid=$!
  until xdotool search --onlyvisible --name '^Quorvane$' >/dev/null 2>&1; do sleep 0.01; done
  window+=($(( $(now_ms) - t0 )))
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  while xdotool search --name '^Quorvane$' >/dev/null 2>&1; do sleep 0.01; done
done
summary "process floor (no window)" "${floor[@]}"
summary "main window shown" "${window[@]}"
