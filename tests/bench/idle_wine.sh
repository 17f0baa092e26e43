#!/usr/bin/env bash
# CPU that the windows of both deliverables use while they wait, under Wine and Xvfb, against a
# bare Win32 window of the same size (tests/bench/bare_window.c, compiled here with the build's
# own cross compiler). For every window and page it measures, from /proc, the CPU time over
# QV_IDLE_SECONDS (default 20) seconds twice: with the pointer resting still on a control, then
# with the pointer moved outside the window (after that visit, so tracking that never stops
# shows). Two numbers per cell: the program's own process, and every process of the prefix
# (wineserver, explorer, services: Wine's side of the work the program causes).
#
#   tests/bench/idle_wine.sh [BUILD...]   default: build/win64 (test build) and build/win32 (release)
#
# A build folder needs Quorvane.exe, qv_skin_views (tests/fixtures) and nsQuorvanePlug.dll.
# The goal: outside, at most one scheduler tick (10 ms); on a control, at most the bare
# window's CPU plus 1 % of a core.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${QV_IDLE_SECONDS:-20}
settle=${QV_IDLE_SETTLE:-3}
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
app=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null
  qv_wine_stop
  qv_xvfb_stop
}
trap cleanup EXIT

cpu_of() {  # pid -> utime + stime in ms (0 when gone)
  local fields
  [ -n "$1" ] || { echo 0; return; }
  fields=$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null) || { echo 0; return; }
  set -- $fields
  echo $(( (${12} + ${13}) * tick_ms ))
}
cpu_of_prefix() {  # every process started for this prefix, the wineserver included
  local total=0 p
  for p in $(grep -lzx "WINEPREFIX=$WINEPREFIX" /proc/[0-9]*/environ 2>/dev/null | cut -d/ -f3); do
    total=$(( total + $(cpu_of "$p") ))
  done
  echo $total
}

# run LABEL DX DY -- COMMAND...: start the program, wait for its window, rest the
# pointer at (DX,DY) of the window's top-left corner, measure, move it outside, measure.
results=()
run() {
  local label=$1 dx=$2 dy=$3
  shift 3
  shift  # --
  xdotool mousemove 1 1
  "$@" >/dev/null 2>&1 &
  app=$!
  # The Windows process is not the shell's child itself: its pid is the one its windows carry.
  local wid="" i pid=""
  for i in $(seq 1 200); do
    wid=$(xdotool search --onlyvisible --name . 2>/dev/null | head -n 1 || true)
    [ -n "$wid" ] && break
    sleep 0.1
  done
  [ -n "$wid" ] && pid=$(xdotool getwindowpid "$wid" 2>/dev/null || true)
  if [ -z "$pid" ]; then
    results+=("$(printf '%-34s %s' "$label" "no window")")
    kill "$app" 2>/dev/null || true; wait "$app" 2>/dev/null || true; app=""
    return
  fi
  sleep "$settle"
  # The main window of the process: with a menu open, the largest window is its owner.
  local x y best=0 w
  for w in $(xdotool search --onlyvisible --name .); do
    eval "$(xdotool getwindowgeometry --shell "$w")"
    if [ $(( WIDTH * HEIGHT )) -gt $best ]; then best=$(( WIDTH * HEIGHT )); x=$X; y=$Y; fi
  done
  xdotool mousemove $(( x + dx - 3 )) $(( y + dy - 3 )); sleep 0.2
  xdotool mousemove $(( x + dx )) $(( y + dy ))
  sleep "$settle"
  local a0 p0 a1 p1 a1b p1b a2 p2
  a0=$(cpu_of "$pid"); p0=$(cpu_of_prefix)
  sleep "$seconds"
  a1=$(cpu_of "$pid"); p1=$(cpu_of_prefix)
  xdotool mousemove 1 1
  sleep "$settle"
  a1b=$(cpu_of "$pid"); p1b=$(cpu_of_prefix)
  sleep "$seconds"
  a2=$(cpu_of "$pid"); p2=$(cpu_of_prefix)
  kill "$pid" "$app" 2>/dev/null || true
  wait "$app" 2>/dev/null || true
  app=""
  # The next program must not find this one's windows.
  for i in $(seq 1 100); do
    [ -z "$(xdotool search --onlyvisible --name . 2>/dev/null)" ] && break
    sleep 0.1
  done
  results+=("$(printf '%-34s %7d %7d   %7d %7d' "$label" $((a1 - a0)) $((p1 - p0)) $((a2 - a1b)) $((p2 - p1b)))")
}

for b in "${builds[@]}"; do
  build=$(realpath -m "$b")
  exe=$build/app/Quorvane.exe
  views=$build/tests/fixtures/qv_skin_views.exe
  plugin=$build/plugin/ansi/nsQuorvanePlug.dll  # the ANSI plug-in, as the release installer has it
  for f in "$exe" "$views" "$plugin"; do
    [ -f "$f" ] || { echo "missing $f: build $build first" >&2; exit 1; }
  done
  case "$(file -b "$exe")" in
    PE32+*) triple=x86_64-w64-mingw32 ;;
    *) triple=i686-w64-mingw32 ;;
  esac
  helpers=$build/bench-helpers
  mkdir -p "$helpers"
  "$triple-gcc" -O2 -municode -mwindows -static -s "$here/tests/bench/bare_window.c" -o "$helpers/bare_window.exe"
  "$triple-g++" -std=c++20 -O2 -municode -mwindows -static -s -I"$here" "$here/tests/bench/wizard_host.cpp" \
    -o "$helpers/wizard_host.exe" -lgdiplus -lole32
  zip="Z:$build/skin/ToolsSkin.zip"
  [ -f "$build/skin/ToolsSkin.zip" ] || { echo "missing $build/skin/ToolsSkin.zip" >&2; exit 1; }
  header=(hide:MainLayout show:CheckLayout hide:cancelRepairbtn hide:returnbtn hide:repairbtn hide:recheckbtn
          hide:RepairCancelTip hide:repairTip)
  rows=(row:resultList:result_item.xml "rowtext:result:必要组件服务未启动" rowhide:repairLogo rowhide:resultTip
        row:resultList:result_item_fp.xml "rowtext:result:您的Flash Player版本较低，建议下载最新版Flash Player"
        rowhide:resultLogo rowhide:resultTip rowhide:repairLogo rowhide:repairLogoNew rowhide:resultTipNew
        rowhide:resultServTip rowtext:GoOfficialNet:立即下载)
  results=()
  # The header's action button sits at (491,77) of the main window, checkbtn at (293,314).
  run "bare Win32 window" 293 314 -- wine "$helpers/bare_window.exe"
  run "Quorvane.exe, start page" 293 314 -- wine "$exe"
  run "main window page 0 (start)" 293 314 -- wine "$views" "$zip" MainWnd.xml hide:RepairCancelTip hide:resultList \
    hide:repairTip
  run "main window page 1 (checking)" 491 77 -- wine "$views" "$zip" MainWnd.xml "${header[@]}" show:cancelCheckbtn \
    page:mainSwitch:1 value:check_progress:66
  run "main window page 2 (results)" 491 77 -- wine "$views" "$zip" MainWnd.xml "${header[@]}" hide:cancelCheckbtn \
    show:repairbtn page:mainSwitch:2 hide:repair_progress "${rows[@]}"
  run "main window page 3 (cancelling)" 491 77 -- wine "$views" "$zip" MainWnd.xml "${header[@]}" \
    hide:cancelCheckbtn show:cancelRepairbtn hide:checkResult hide:checkTip show:RepairCancelTip page:mainSwitch:3
  run "settings dialog" 133 136 -- wine "$views" "$zip" DlgConfig.xml page:mainSwitch:0
  # The menu opens below morebtn's lower-left corner (472,26); its one item is 112 x 31.
  run "tool menu" 528 41 -- wine "$views" "$zip" MainWnd.xml hide:RepairCancelTip hide:resultList \
    hide:repairTip menu:MainMenu.xml:morebtn
  run "install wizard" 293 180 -- wine "$helpers/wizard_host.exe" "Z:$plugin" install \
    "Z:$here/packaging/skin_install"
  run "uninstall wizard" 223 220 -- wine "$helpers/wizard_host.exe" "Z:$plugin" uninstall \
    "Z:$here/packaging/skin_uninstall"
  echo
  echo "$build ($triple): CPU ms over ${seconds} s (process / whole prefix)"
  printf '%-34s %15s   %15s\n' "window" "on a control" "outside"
  printf '%s\n' "${results[@]}"
done
