#!/usr/bin/env bash
# Whole-process start-up of Quorvane.exe under Wine: the time from starting the process to its
# main window being mapped on the display, against a bare Win32 window program of the same
# window size (tests/bench/bare_window.c, compiled here with the build's own cross compiler),
# in alternating runs. Also, as the floor any Wine process pays, a run of Quorvane.exe that
# shows nothing ("UninstallServ" with no launcher service registered).
#
#   tests/bench/startup_wine.sh [RUNS] [BUILD...]   default: 9 runs; build/win64 and build/win32
#
# Wall time is measured to the window being mapped; CPU time is that of the program's own
# processes (Wine's start-up helper and the program) and of the prefix's wineserver up to that
# moment, read from /proc; memory is the program process's peak resident size (VmHWM) half a
# second after the window is mapped. Prints medians, ranges and the ratios of the medians.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
runs=${1:-9}
shift || true
builds=("$@")
[ ${#builds[@]} -gt 0 ] || builds=("$here/build/win64" "$here/build/win32")
tick_ms=$(( 1000 / $(getconf CLK_TCK) ))

. "$here/scripts/lib/wine.sh"
mapfile -t builds < <(qv_runnable_builds "${builds[@]}")
[ ${#builds[@]} -gt 0 ] || { echo "no build that runs on this machine" >&2; exit 1; }
first=$(realpath -m "${builds[0]}")
prefix=$first/wineprefix-bench
# qv_wine_prefix makes it again when it was made before 32-bit Wine was installed.
qv_wine_prefix "$prefix"
qv_xvfb_start
trap 'qv_wine_stop; qv_xvfb_stop' EXIT
server=""
for p in $(pgrep -x wineserver -u "$(id -u)" || true); do
  grep -qzx "WINEPREFIX=$WINEPREFIX" "/proc/$p/environ" 2>/dev/null && server=$p
done

now_ms() { date +%s%3N; }
cpu_of() {  # pid -> utime + stime in ms (0 when gone)
  local fields
  [ -n "$1" ] || { echo 0; return; }
  fields=$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null) || { echo 0; return; }
  set -- $fields
  echo $(( (${12} + ${13}) * tick_ms ))
}
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
summary() {  # name values...
  local name=$1; shift
  printf '%s\n' "$@" | sort -n | awk -v name="$name" '{ v[NR] = $1 } END {
    printf "  %-30s median %5d ms   range %d..%d ms\n", name, v[int((NR + 1) / 2)], v[1], v[NR] }'
}

# launch TITLE COMMAND...: sets wall, cpu and mem for one start to the window mapped, then ends it.
wall=0 cpu=0 mem=0
launch() {
  local title=$1 t0 s0 pid wid
  shift
  s0=$(cpu_of "$server")
  t0=$(now_ms)
  "$@" >/dev/null 2>&1 &
  pid=$!
  until wid=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1) && [ -n "$wid" ]; do
    sleep 0.01
  done
  wall=$(( $(now_ms) - t0 ))
  local win
  win=$(xdotool getwindowpid "$wid" 2>/dev/null || echo "$pid")
  cpu=$(( $(cpu_of "$pid") + $(cpu_of "$win") + $(cpu_of "$server") - s0 ))
  sleep 0.5
  mem=$(awk '/^VmHWM/ { print $2 }' "/proc/$win/status" 2>/dev/null || echo 0)
  kill "$win" "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  while xdotool search --name "^$title\$" >/dev/null 2>&1; do sleep 0.01; done
}

for b in "${builds[@]}"; do
  build=$(realpath -m "$b")
  exe=$build/app/Quorvane.exe
  [ -f "$exe" ] || { echo "build Quorvane in $build first" >&2; exit 1; }
  case "$(file -b "$exe")" in
    PE32+*) triple=x86_64-w64-mingw32 ;;
    *) triple=i686-w64-mingw32 ;;
  esac
  mkdir -p "$build/bench-helpers"
  bare=$build/bench-helpers/bare_window.exe
  "$triple-gcc" -O2 -municode -mwindows -static -s "$here/tests/bench/bare_window.c" -o "$bare"

  wine "$exe" UninstallServ >/dev/null 2>&1  # warm the prefix and the page cache
  launch QvBareWindow wine "$bare"
  launch Quorvane wine "$exe"
  floor=() bw=() bc=() bm=() qw=() qc=() qm=()
  for i in $(seq "$runs"); do
    t0=$(now_ms)
    wine "$exe" UninstallServ >/dev/null 2>&1
    floor+=($(( $(now_ms) - t0 )))
    # Alternate which program goes first, so neither always meets a warmer machine.
    if [ $(( i % 2 )) = 1 ]; then
      launch QvBareWindow wine "$bare"; bw+=($wall); bc+=($cpu); bm+=($mem)
      launch Quorvane wine "$exe"; qw+=($wall); qc+=($cpu); qm+=($mem)
    else
      launch Quorvane wine "$exe"; qw+=($wall); qc+=($cpu); qm+=($mem)
      launch QvBareWindow wine "$bare"; bw+=($wall); bc+=($cpu); bm+=($mem)
    fi
  done
  echo "$build ($triple, $(stat -c %s "$exe") bytes), $runs alternating runs"
  summary "process floor (no window)" "${floor[@]}"
  summary "bare window shown, wall" "${bw[@]}"
  summary "Quorvane shown, wall" "${qw[@]}"
  summary "bare window shown, CPU" "${bc[@]}"
  summary "Quorvane shown, CPU" "${qc[@]}"
  awk -v qw="$(median "${qw[@]}")" -v bw="$(median "${bw[@]}")" -v qc="$(median "${qc[@]}")" \
      -v bc="$(median "${bc[@]}")" 'BEGIN {
    printf "  ratio Quorvane / bare window: wall %.2f   CPU %.2f\n", qw / (bw > 0 ? bw : 1), qc / (bc > 0 ? bc : 1) }'
  awk -v q="$(median "${qm[@]}")" -v b="$(median "${bm[@]}")" 'BEGIN {
    printf "  peak memory: Quorvane %.1f MiB, bare window %.1f MiB, difference %.1f MiB\n", q / 1024, b / 1024, (q - b) / 1024 }'
done
