#!/usr/bin/env bash
# The release as a user gets it, end to end under 32-bit Wine in a 64-bit prefix (WoW64): the
# byte-identical release installer installs Quorvane into a folder with blanks, the installed
# program checks and repairs a damaged machine and switches on start-up repair, a restart of
# the Wine "system" runs the boot pass through the service manager, and the uninstaller removes
# everything. The vendor's production host names resolve to the local vendor server on 443 in a
# private network and mount namespace made here; its CA, made at start-up, is trusted through
# the machine's ROOT store and the host certificate folder Wine reads, so nothing of a test
# build is in the binaries. Screenshots of every page go to BUILD/screenshots/lifecycle.
#
#   lifecycle_test.sh BUILD VERSION HOSTS      BUILD: the win32 release build folder;
#                                              HOSTS: the origins' host names, comma-separated
set -uo pipefail
build=$(cd "$1" && pwd)
version=$2
hosts=$3
here=$(cd "$(dirname "$0")/../.." && pwd)

if [ -z "${QV_LIFECYCLE_INSIDE:-}" ]; then
  command -v unshare >/dev/null || { echo "FAIL: unshare is missing"; exit 1; }
  exec unshare --net --mount --fork env QV_LIFECYCLE_INSIDE=1 bash "$0" "$@"
fi

fail() { echo "FAIL: $*"; exit 1; }
ok() { echo "ok: $*"; }

# ---- the private machine: network, host names, trusted CA, prefix, display ---------------------
mount --make-rprivate / || fail "private mounts"
ip link set lo up 2>/dev/null || python3 -c '
import fcntl, socket, struct
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
flags = struct.unpack("16sH", fcntl.ioctl(s, 0x8913, struct.pack("16sH", b"lo", 0)))[1]
fcntl.ioctl(s, 0x8914, struct.pack("16sH", b"lo", flags | 1))' || fail "loopback up"

work=$build/lifecycle
shots=$build/screenshots/lifecycle
rm -rf "$work" "$shots"
mkdir -p "$work/server" "$work/certs" "$shots"
echo "127.0.0.1 localhost ${hosts//,/ }" >"$work/hosts"
mount --bind "$work/hosts" /etc/hosts || fail "bind /etc/hosts"

. "$here/scripts/lib/wine.sh"
. "$here/scripts/lib/demo.sh"
export QV_DEMO_PORT=443 QV_DEMO_STATE=$work/server
server=/usr/bin/python3\ $here/tests/vendor_server/server.py
app=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null
  qv_wine_stop
  qv_xvfb_stop
  $server --state "$QV_DEMO_STATE" --stop >/dev/null 2>&1
}
trap cleanup EXIT
$server --state "$QV_DEMO_STATE" --port 443 --hostnames "$hosts" --scenario demo --daemon \
  >"$work/server.out" 2>&1 || { cat "$work/server.out"; fail "the vendor server did not start"; }
# Wine's chain engine and its ROOT store read the host's CA folder: in this namespace it holds
# the test CA only.
cp "$QV_DEMO_STATE/ca.pem" "$work/certs/quorvane-test-ca.pem"
cp "$QV_DEMO_STATE/ca.pem" "$work/certs/ca-certificates.crt"
openssl rehash "$work/certs" >/dev/null 2>&1 || true
mount --bind "$work/certs" /etc/ssl/certs || fail "bind /etc/ssl/certs"

prefix=$work/prefix
qv_wine_prefix "$prefix"
[ -f "$prefix/drive_c/windows/syswow64/kernel32.dll" ] || fail "the prefix has no 32-bit Windows (wine32 missing?)"
qv_xvfb_start || fail "no Xvfb"
winpath() { winepath -w "$1" 2>/dev/null; }
driver=$build/tests/release/qv_lifecycle_driver.exe
wine "$driver" trust-ca "$(winpath "$QV_DEMO_STATE/ca.pem")" || fail "the CA is not trusted"

# The damaged machine: Pepper below the minimum, "Brenwick Service" disabled and stopped.
demo_machine_prepare "$build"
before=$(demo_machine_state)
[ "$before" = "pepper=28.0.0.137 service=STOPPED/0x4" ] || fail "machine not prepared: $before"
temp=$(winepath -u "$(wine cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')" 2>/dev/null)
[ -d "$temp" ] || fail "no temporary folder ($temp)"
temp_before=$(ls -A "$temp" | sort)

# ---- 1. install into a folder with blanks --------------------------------------------------------
installer=$build/packaging/Quorvane-$version.exe
parent_win='C:\Qv Lifecycle Tools'
mkdir -p "$prefix/drive_c/Qv Lifecycle Tools"
wine "$driver" install "$(winpath "$installer")" "$parent_win" "$(winpath "$shots")" || fail "install"

# ---- 2. the installed files and the uninstall entry ---------------------------------------------
dir="$prefix/drive_c/Qv Lifecycle Tools/Quorvane"
exe_win='C:\Qv Lifecycle Tools\Quorvane\Quorvane.exe'
cmp -s "$dir/Quorvane.exe" "$build/app/Quorvane.exe" || fail "Quorvane.exe is not the release build's"
strings -el "$dir/Quorvane.exe" | grep -qx "$version" || fail "no version resource $version"
[ -f "$dir/uninst.exe" ] || fail "no uninstaller"
ok "Quorvane.exe $version and uninst.exe in '$parent_win\\Quorvane'"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvane'
reg_value() {  # KEY NAME: the value's data in the 32-bit view, or nothing
  wine reg query "$1" /v "$2" /reg:32 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
wine reg query "$uninstall_key" /reg:64 >/dev/null 2>&1 && fail "an uninstall entry in the 64-bit view"
for entry in "DisplayName=Quorvane" "DisplayVersion=$version" "Publisher=Quorvane" \
    "InstallLocation=${exe_win%\\Quorvane.exe}" "DisplayIcon=$exe_win" \
    "UninstallString=\"${exe_win%Quorvane.exe}uninst.exe\"" "QuietUninstallString=\"${exe_win%Quorvane.exe}uninst.exe\" /S" \
    "NoModify=0x1" "NoRepair=0x1"; do
  [ "$(reg_value "$uninstall_key" "${entry%%=*}")" = "${entry#*=}" ] ||
    fail "uninstall entry ${entry%%=*}: '$(reg_value "$uninstall_key" "${entry%%=*}")', expected '${entry#*=}'"
done
# EstimatedSize is in KiB: what the folder holds.
size=$(reg_value "$uninstall_key" EstimatedSize)
held=$(( ($(stat -c %s "$dir/Quorvane.exe") + $(stat -c %s "$dir/uninst.exe")) / 1024 ))
[ $((size)) -ge $((held - 8)) ] && [ $((size)) -le $((held + 8)) ] || fail "EstimatedSize '$size', the folder holds $held KiB"
[ "$(reg_value 'HKLM\Software\Quorvane' InstallDir)" = "${exe_win%\\Quorvane.exe}" ] || fail "the install folder is not remembered"
ok "uninstall entry complete in the 32-bit registry view, install folder remembered"
menu="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quorvane"
desktop="$prefix/drive_c/users/Public/Desktop"
for link in "$menu/Quorvane.lnk" "$menu/卸载Quorvane.lnk" "$desktop/Quorvane.lnk"; do
  [ -s "$link" ] || fail "no shortcut $link"
done
ok "shortcuts in the Start menu and on the desktop"

# ---- 3. check and repair with the program the installer started --------------------------------
app=""
DEMO_NO_FINISH=1 demo_walkthrough "$build" "$shots/main" || fail "check and repair (screenshots in $shots/main)"
after=$(demo_machine_state)
[ "$after" = "pepper=32.0.0.465 service=RUNNING/0x2" ] || fail "machine after the repair: $after"
ok "repaired: $after"

# ---- 4. start-up repair on in the settings dialog ------------------------------------------------
# morebtn (MainWnd.xml: 62,2,94,26 in the title bar's right-hand part, 176 wide), the menu's
# one item below its lower-left corner, then the dialog's "确定" (DlgConfig.xml).
demo_click 488 14
sleep 0.5
demo_screenshot "$shots/main/6-menu.png"
demo_click 528 41
dialog=""
for i in $(seq 1 50); do
  dialog=$(xdotool search --onlyvisible --name '^DlgConfig$' 2>/dev/null | head -n 1)
  [ -n "$dialog" ] && break
  sleep 0.2
done
[ -n "$dialog" ] || fail "the settings dialog did not open"
demo_wait_painted "$dialog" 133 136 || fail "the settings dialog did not paint"
# Opened from the menu, the dialog has autoRun selected (its box blue at 38,54).
sleep 0.3
demo_screenshot "$shots/main/7-settings.png"
box=$(demo_pixel "$dialog" 38 54)
[ "${box##*,}" -gt 150 ] 2>/dev/null || fail "autoRun is not selected (box colour $box)"
xdotool mousemove --window "$dialog" 133 136 sleep 0.3 click 1
demo_wait_report "$build" registerboot 30 || fail "no registerboot report"
image=$(wine reg query 'HKLM\System\CurrentControlSet\Services\QuorvaneSvr' /v ImagePath 2>/dev/null | tr -d '\r' |
  sed -n 's/^ *ImagePath *REG_[A-Z_]* *//p')
[ "$image" = "\"$exe_win\" -runservice" ] || fail "QuorvaneSvr's binary path: '$image'"
ok "QuorvaneSvr registered as $image"
demo_finish
# Programs of this prefix only: other runs on the machine may have their own.
ours_running() {  # pgrep pattern
  local pid found=""
  for pid in $(pgrep -if "$1"); do
    { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$prefix" &&
      found+="$({ tr '\0' ' ' <"/proc/$pid/cmdline"; } 2>/dev/null); "
  done
  echo "$found"
}
for i in $(seq 1 100); do [ -z "$(ours_running 'quorvane\.exe')" ] && break; sleep 0.2; done
[ -z "$(ours_running 'quorvane\.exe')" ] || fail "the program did not end after 完成"
ok "完成 ends the program"

# ---- 5. a restart runs the boot pass --------------------------------------------------------------
wine sc stop "Brenwick Service" >/dev/null 2>&1
for i in $(seq 1 50); do wine sc query "Brenwick Service" 2>/dev/null | grep -q STOPPED && break; sleep 0.2; done
wine reg add 'HKLM\System\CurrentControlSet\Services\Brenwick Service' /v Start /t REG_DWORD /d 4 /f >/dev/null
[ "$(demo_machine_state)" = "pepper=32.0.0.465 service=STOPPED/0x4" ] || fail "companion not damaged again: $(demo_machine_state)"
wineserver -k; wineserver -w
# The first program after the restart starts the service manager, which starts QuorvaneSvr.
wine cmd /c exit >/dev/null 2>&1
demo_wait_report "$build" bootresult 120 || fail "no bootresult report after the restart"
after_boot=$(demo_machine_state)
[ "$after_boot" = "pepper=32.0.0.465 service=RUNNING/0x2" ] || fail "machine after the boot pass: $after_boot"
ok "the boot pass repaired the companion service: $after_boot"

# ---- 5b. an upgrade over a running boot pass, silently, into the remembered folder ---------------
cp "$dir/Quorvane.cfg" "$work/cfg-before"
wine "$exe_win" runhide >/dev/null 2>&1 &
pass=$!
sleep 2
[ -n "$(ours_running 'quorvane\.exe.*runhide')" ] || fail "the boot pass did not start"
start=$SECONDS
wine "$driver" run "\"$(winpath "$installer")\" /S"; rc=$?
[ $rc = 0 ] || fail "the silent upgrade ended with exit code $rc"
kill -0 $pass 2>/dev/null && fail "the upgrade did not wait for the boot pass"
wait $pass
cmp -s "$dir/Quorvane.cfg" "$work/cfg-before" || fail "the upgrade changed Quorvane.cfg"
cmp -s "$dir/Quorvane.exe" "$build/app/Quorvane.exe" || fail "the upgrade did not install Quorvane.exe"
[ -e "$prefix/drive_c/Program Files (x86)/Quorvane" ] && fail "the upgrade went to the default folder"
[ -z "$(xdotool search --onlyvisible --name '^Quorvane$' 2>/dev/null)" ] || fail "a silent install started the program"
ok "silent upgrade over a running boot pass after $((SECONDS - start)) s: Quorvane.cfg kept, remembered folder"

# ---- 6. uninstall with a file in use ----------------------------------------------------------------
wine "$driver" hold "$(winpath "$dir/Quorvane.cfg")" 20000 >/dev/null 2>&1 &
holder=$!
sleep 1
wine "$driver" uninstall "$(winpath "$dir/uninst.exe")" "$(winpath "$shots")" leftovers || fail "uninstall"
wine reg query 'HKLM\System\CurrentControlSet\Services\QuorvaneSvr' >/dev/null 2>&1 && fail "QuorvaneSvr is still registered"
[ -e "$dir/Quorvane.exe" ] && fail "Quorvane.exe is left"
wine reg query "$uninstall_key" /reg:32 >/dev/null 2>&1 && fail "the uninstall entry is left"
[ -e "$menu" ] || [ -e "$desktop/Quorvane.lnk" ] && fail "shortcuts are left"
wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations 2>/dev/null |
  grep -q 'Quorvane.cfg' || fail "Quorvane.cfg in use is not scheduled for the restart"
ok "QuorvaneSvr, the program, the shortcuts and the entries gone; the file in use is scheduled"
kill $holder 2>/dev/null; wait $holder 2>/dev/null

# ---- 7. nothing left behind -------------------------------------------------------------------------
# The Flash Player installers the repair downloaded stay, as the tool leaves every installer it
# saved. The uninstaller's own copy cannot delete itself: it is scheduled for the next restart,
# which comes next; the plug-in folders of both wizards must be gone already.
sleep 1
leftovers() { comm -13 <(echo "$temp_before") <(ls -A "$temp" | sort) | grep -v '^flashplayer.*_install_cn\.exe\(\.ran\)\?$'; }
left=$(leftovers | grep -v '^~nsu.*\.tmp$')
[ -z "$left" ] || fail "left in %TEMP% after the uninstall: $left"
wineboot -r >/dev/null 2>&1
wineserver -w
left=$(leftovers)
[ -z "$left" ] || fail "left in %TEMP% after a restart: $left"
[ -e "$dir" ] && fail "the install folder is left after a restart: $(ls -A "$dir" | tr '\n' ' ')"
running=$(ours_running 'quorvane\.exe|uninst\.exe|\\Un_?A?\.exe')
[ -z "$running" ] || fail "still running: $running"
ok "nothing left in %TEMP%, no program of ours running"

# ---- 8. silent install into a given folder, silent uninstall ---------------------------------------
silent="$prefix/drive_c/Qv Silent/Quorvane"
wine "$driver" run "\"$(winpath "$installer")\" /S /D=C:\\Qv Silent\\Quorvane"; rc=$?
[ $rc = 0 ] || fail "the silent install ended with exit code $rc"
[ -f "$silent/Quorvane.exe" ] && [ -f "$silent/uninst.exe" ] || fail "the silent install did not install into /D="
[ -z "$(xdotool search --onlyvisible --name '^Quorvane$' 2>/dev/null)" ] || fail "a silent install started the program"
wine "$driver" run "\"$(winpath "$silent/uninst.exe")\" /S"; rc=$?
[ $rc = 0 ] || fail "the silent uninstall ended with exit code $rc"
for i in $(seq 1 100); do [ -e "$silent" ] || break; sleep 0.3; done
[ -e "$silent" ] && fail "the silent uninstall left $(ls -A "$silent" | tr '\n' ' ')"
wine reg query "$uninstall_key" /reg:32 >/dev/null 2>&1 && fail "the silent uninstall left the uninstall entry"
ok "silent install into /D= and silent uninstall, no window"

# ---- every report decrypts and its token verifies -----------------------------------------------
demo_control "$build" /control/reports | /usr/bin/python3 -c '
import json, sys
records = [json.loads(line) for line in sys.stdin if line.strip()]
actions = [(r.get("payload") or {}).get("action") for r in records]
print("reports:", " ".join(str(a) for a in actions))
bad = [a for r, a in zip(records, actions) if not r.get("valid")]
if bad:
    sys.exit("not valid: %s" % bad)
for wanted in ("active", "check", "checkresult", "repairresult", "registerboot", "boot", "bootresult"):
    if wanted not in actions:
        sys.exit("no %s report" % wanted)
boot = [r["payload"] for r in records if r["payload"].get("action") == "bootresult"][-1]
if boot.get("helper") != "2":
    sys.exit("bootresult helper %r, expected 2" % boot.get("helper"))
' || fail "reports"
ok "every report valid"
echo "PASS: release installed, used, repaired at boot and uninstalled; screenshots in $shots"
