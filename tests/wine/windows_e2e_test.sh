#!/usr/bin/env bash
# End to end, out of process: the built Quorvane.exe on a demo machine (Flash Player Pepper
# below the minimum, "Brenwick Service" disabled and stopped) in a Wine prefix of its own, on an
# Xvfb display of its own, clicked with xdotool through check, repair and "完成". Afterwards the
# registry and the service manager must show the repaired machine, the program must have ended
# with exit code 0, and the vendor server must hold the four valid reports of the session.
# Screenshots of every view go to BUILD/screenshots/e2e.
#
#   windows_e2e_test.sh BUILD     (BUILD: a win64 test build with Quorvane and the fixtures)
#
# Uses the vendor server of the build's CTest fixture when it answers, else starts its own.
set -uo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")/../.." && pwd)
. "$here/scripts/lib/wine.sh"
. "$here/scripts/lib/demo.sh"

fail() { echo "FAIL: $*"; exit 1; }

shots=$build/screenshots/e2e
rm -rf "$shots"
own_server=0
app=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null
  qv_wine_stop
  qv_xvfb_stop
  [ $own_server = 1 ] && demo_server_stop "$build"
}
trap cleanup EXIT

# A machine and a display of our own: the preparation restarts the prefix's wineserver, and
# the clicks move the real pointer.
prefix=$build/wineprefix-e2e
rm -rf "$prefix" "$prefix.lock"
qv_wine_prefix "$prefix"
qv_xvfb_start || fail "no Xvfb"

if [ "$(demo_control "$build" /control/ping)" != pong ]; then
  demo_server_start "$build" || fail "the vendor server did not start"
  own_server=1
fi
[ "$(demo_control "$build" "/control/reset?scenario=demo")" = ok ] || fail "the vendor server does not answer"
demo_machine_prepare "$build"
before=$(demo_machine_state)
[ "$before" = "pepper=28.0.0.137 service=STOPPED/0x4" ] || fail "demo machine not prepared: $before"

wine "$build/app/Quorvane.exe" >"$build/e2e-app.log" 2>&1 &
app=$!
demo_walkthrough "$build" "$shots" || fail "walk-through stopped (screenshots so far in $shots)"

# "完成" after a successful repair ends the program.
for i in $(seq 1 100); do
  kill -0 "$app" 2>/dev/null || break
  sleep 0.2
done
kill -0 "$app" 2>/dev/null && fail "the program did not end after 完成"
wait "$app"
rc=$?
app=""
[ $rc = 0 ] || fail "exit code $rc"

after=$(demo_machine_state)
[ "$after" = "pepper=32.0.0.465 service=RUNNING/0x2" ] || fail "machine after the repair: $after"

demo_control "$build" /control/reports | /usr/bin/python3 -c '
import json, re, sys
records = [json.loads(line) for line in sys.stdin if line.strip()]
actions = [(r.get("payload") or {}).get("action") for r in records]
if actions != ["active", "check", "checkresult", "repairresult"]:
    sys.exit("reports: %s" % actions)
short = ["msgtype", "action", "um", "tt", "guid", "version"]
result = ["msgtype", "action", "um", "tt", "safesoft", "helper", "fp", "guid", "version"]
# The below-minimum Pepper replaces the service problem in the check; the repair fixes both.
expected = {"checkresult": {"safesoft": "0", "helper": "-1", "fp": "1"},
            "repairresult": {"safesoft": "0", "helper": "-1", "fp": "0"}}
for r in records:
    p = r["payload"]
    action = p["action"]
    problems = []
    if not r["valid"]:
        problems.append("not valid (token or payload)")
    if list(p) != (result if action in expected else short):
        problems.append("members %s" % list(p))
    if p["msgtype"] != "fixtool" or r["msgtype"] != "fixtool":
        problems.append("msgtype")
    if not re.fullmatch(r"(?:[0-9A-F]{32})+", p["um"]):
        problems.append("um %r" % p["um"])
    if not re.fullmatch(r"[0-9]{10,}", p["tt"]):
        problems.append("tt %r" % p["tt"])
    if not re.fullmatch(r"\{[0-9A-Fa-f-]{36}\}", p["guid"]):
        problems.append("guid %r" % p["guid"])
    if not re.fullmatch(r"[0-9]+(\.[0-9]+){3}", p["version"]):
        problems.append("version %r" % p["version"])
    for key, value in expected.get(action, {}).items():
        if p[key] != value:
            problems.append("%s %r, expected %r" % (key, p[key], value))
    if problems:
        sys.exit("%s: %s" % (action, "; ".join(problems)))
    print("report %s ok" % action)
' || fail "reports"

for view in 1-start 2-checking 3-results 4-repairing 5-done; do
  [ -s "$shots/$view.png" ] || fail "no screenshot $view.png"
done
echo "PASS: demo machine repaired ($after), 4 valid reports, screenshots in $shots"
