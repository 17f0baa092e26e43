# Sourced by scripts/run and the end-to-end test: the demo machine, its vendor server and a
# walk through the tool with real mouse clicks. Needs the win64 test build (QV_TEST_BUILD=ON):
# its origins point at the local vendor server. Source scripts/lib/wine.sh first.
#
#   demo_server_start BUILD      start tests/vendor_server with the "demo" scenario on the
#                                build's compiled-in port and state folder
#   demo_server_stop BUILD
#   demo_control BUILD PATH      GET of a path of that server ("/control/reports" ...)
#   demo_machine_prepare BUILD   with WINEPREFIX set: Flash Player Pepper 28.0.0.137 (below the
#                                minimum), "Brenwick Service" installed but disabled and
#                                stopped, and the installers the repair will fetch put on the
#                                server (the Flash Player stand-in installs 32.0.0.465, the
#                                version the demo configuration publishes)
#   demo_machine_state           prints "pepper=<version> service=<state>/<start value>", the
#                                start value as the registry holds it (0x2 automatic, 0x4 disabled)
#   demo_walkthrough BUILD SHOTS with DISPLAY set and the tool just launched: wait for its window
#                                and click through check, repair and "完成", writing a PNG of
#                                every view into SHOTS (start, checking, results, repairing, done);
#                                with DEMO_NO_FINISH=1 the window is left on its done view
#   demo_finish                  click "完成"

demo_here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# What the Flash Player installer stand-in installs; the repair's child processes inherit it.
export QV_FLASH_INSTALL_VERSION=32.0.0.465

# Places in MainWnd.xml, in window coordinates: the start page's checkbtn, and the one place
# that the action buttons of the header share (repairbtn, returnbtn ...).
demo_checkbtn_at="293 314"
demo_actionbtn_at="491 77"

demo_cache_value() {  # BUILD NAME
  sed -n "s/^$2:[A-Z]*=//p" "$1/CMakeCache.txt"
}
# QV_DEMO_PORT and QV_DEMO_STATE name another server (the release lifecycle test's, whose build
# has no test origins).
demo_port() { [ -n "${QV_DEMO_PORT:-}" ] && echo "$QV_DEMO_PORT" || demo_cache_value "$1" QV_VENDOR_PORT; }
demo_state_dir() { [ -n "${QV_DEMO_STATE:-}" ] && echo "$QV_DEMO_STATE" || demo_cache_value "$1" QV_VENDOR_STATE_DIR; }

demo_server_start() {
  local build=$1
  /usr/bin/python3 "$demo_here/tests/vendor_server/server.py" --state "$(demo_state_dir "$build")" \
    --port "$(demo_port "$build")" --scenario demo --daemon >"$build/vendor-demo.log" 2>&1
}

demo_server_stop() {
  /usr/bin/python3 "$demo_here/tests/vendor_server/server.py" --state "$(demo_state_dir "$1")" --stop >/dev/null 2>&1 || true
}

# Python rather than curl: setup does not install the curl command.
demo_control() {
  local build=$1 path=$2
  /usr/bin/python3 -c '
import ssl, sys, urllib.request
try:
    context = ssl.create_default_context(cafile=sys.argv[2])
    sys.stdout.write(urllib.request.urlopen(sys.argv[1], context=context, timeout=10).read().decode("utf-8"))
except Exception:
    pass' "https://127.0.0.1:$(demo_port "$build")$path" "$(demo_state_dir "$build")/ca.pem"
}

demo_machine_prepare() {
  local build=$1
  local www
  www=$(demo_state_dir "$build")/www
  mkdir -p "$www/cdm/latest" "$www/brenwick/2.0.1.3"
  cp "$build/tests/fixtures/qv_flash_installer_fixture.exe" "$www/cdm/latest/flashplayerpp_install_cn.exe"
  cp "$build/tests/fixtures/qv_brenwick_fixture.exe" "$www/brenwick/2.0.1.3/BrenwickService.exe"

  local key='HKLM\Software\Macromedia\FlashPlayerPepper'
  wine reg add "$key" /v UninstallerPath /d 'C:\windows\SysWOW64\Macromed\Flash\FlashUtil_Pepper.exe' /f /reg:64 >/dev/null
  wine reg add "$key" /v Version /d 28.0.0.137 /f /reg:32 >/dev/null

  local folder="$WINEPREFIX/drive_c/Program Files/Brenwick"
  mkdir -p "$folder"
  cp "$build/tests/fixtures/qv_brenwick_fixture.exe" "$folder/BrenwickService.exe"
  wine "C:\\Program Files\\Brenwick\\BrenwickService.exe" -Start >/dev/null 2>&1 || true
  wine sc stop "Brenwick Service" >/dev/null 2>&1 || true
  local i
  for i in $(seq 1 50); do
    wine sc query "Brenwick Service" 2>/dev/null | grep -q STOPPED && break
    sleep 0.2
  done
  # Wine's sc cannot change a start type; its service manager reads the registry when the
  # prefix starts, so write the value and start the prefix again.
  wine reg add 'HKLM\System\CurrentControlSet\Services\Brenwick Service' /v Start /t REG_DWORD /d 4 /f >/dev/null
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  wineserver -p >/dev/null 2>&1 || true
}

demo_machine_state() {
  local version state start
  version=$(wine reg query 'HKLM\Software\Macromedia\FlashPlayerPepper' /v Version /reg:32 2>/dev/null |
    tr -d '\r' | awk '/Version/ {print $NF}')
  state=$(wine sc query "Brenwick Service" 2>/dev/null | tr -d '\r' | awk '/STATE/ {print $NF}')
  start=$(wine reg query 'HKLM\System\CurrentControlSet\Services\Brenwick Service' /v Start 2>/dev/null |
    tr -d '\r' | awk '/Start/ {print $NF}')
  echo "pepper=${version:-none} service=${state:-none}/${start:-none}"
}

# --- the walk-through ---------------------------------------------------------------------------

# Polls the server's records (reports or requests) until one matches; 1 after SECONDS.
demo_wait_record() {  # BUILD reports|requests PYTHON-CONDITION-ON-r SECONDS
  local build=$1 which=$2 condition=$3 seconds=$4 i
  for i in $(seq 1 $((seconds * 5))); do
    if demo_control "$build" "/control/$which" | /usr/bin/python3 -c "
import json, sys
for line in sys.stdin:
    r = json.loads(line)
    p = r.get('payload') or {}
    if $condition:
        sys.exit(0)
sys.exit(1)"; then
      return 0
    fi
    sleep 0.2
  done
  echo "demo: waited ${seconds}s in vain for a $which record with $condition" >&2
  return 1
}

demo_wait_report() { demo_wait_record "$1" reports "p.get('action') == '$2'" "$3"; }

demo_window=""
demo_find_window() {
  local i
  for i in $(seq 1 150); do
    demo_window=$(xdotool search --onlyvisible --name '^Quorvane$' 2>/dev/null | head -n 1)
    [ -n "$demo_window" ] && return 0
    sleep 0.2
  done
  echo "demo: the window did not appear" >&2
  return 1
}

# The colour of one pixel of a window as the screen shows it, as "R,G,B".
demo_pixel() {  # WINDOW X Y
  local X Y WIDTH HEIGHT
  eval "$(xdotool getwindowgeometry --shell "$1")"
  import -display "$DISPLAY" -window root -crop "1x1+$((X + $2))+$((Y + $3))" -depth 8 txt:- 2>/dev/null |
    sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p' | head -n 1
}

# Waits until a window has painted the point (it is no longer black): clicks that come before
# the first paint, when the controls get their places, hit nothing.
demo_wait_painted() {  # WINDOW X Y
  local i
  for i in $(seq 1 100); do
    case "$(demo_pixel "$@")" in ""|0,0,0) sleep 0.1 ;; *) return 0 ;; esac
  done
  echo "demo: window $1 did not paint at $2,$3" >&2
  return 1
}

demo_click() {  # X Y in window coordinates
  xdotool mousemove --window "$demo_window" "$1" "$2" click 1
}

# The window and its shadow, from the screen.
demo_screenshot() {  # FILE
  local X Y WIDTH HEIGHT
  eval "$(xdotool getwindowgeometry --shell "$demo_window")"
  import -display "$DISPLAY" -window root -crop "$((WIDTH + 40))x$((HEIGHT + 40))+$((X - 20))+$((Y - 20))" +repage "$1"
}

demo_walkthrough() {
  local build=$1 shots=$2
  mkdir -p "$shots"
  demo_find_window || return 1
  demo_wait_report "$build" active 30 || return 1
  sleep 0.5
  demo_screenshot "$shots/1-start.png"
  # shellcheck disable=SC2086
  demo_click $demo_checkbtn_at
  # The configuration answers 0.8 s after it was asked for: the check is under way meanwhile.
  demo_wait_record "$build" requests "r.get('path') == '/config/toolfix'" 30 || return 1
  sleep 0.1
  demo_screenshot "$shots/2-checking.png"
  demo_wait_report "$build" checkresult 30 || return 1
  sleep 0.5
  demo_screenshot "$shots/3-results.png"
  # shellcheck disable=SC2086
  demo_click $demo_actionbtn_at
  # The demo's download and installation take well under a second: catch them early.
  sleep 0.1
  demo_screenshot "$shots/4-repairing.png"
  demo_wait_report "$build" repairresult 120 || return 1
  sleep 0.5
  demo_screenshot "$shots/5-done.png"
  [ "${DEMO_NO_FINISH:-0}" = 1 ] || demo_finish
}

# "完成" after a successful repair ends the program.
demo_finish() {
  # shellcheck disable=SC2086
  demo_click $demo_actionbtn_at
}
