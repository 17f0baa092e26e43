#!/usr/bin/env bash
# Checks the release executable as Windows will load it: a 32-bit GUI program for x86, with an
# embedded manifest that asks for administrator rights and common controls 6 and declares no
# supported operating systems (that would change the version the Flash Player rules see), a
# version resource, the skin package and the icon.
set -u
exe=$1 version=$2
fails=0
check() {  # description, command...
  local what=$1; shift
  if "$@" >/dev/null 2>&1; then echo "ok: $what"; else echo "FAILED: $what"; fails=$((fails + 1)); fi
}
kind=$(file -b "$exe")
echo "file: $kind"
check "PE32 GUI executable for Intel 80386" grep -q '^PE32 executable (GUI) Intel 80386' <<<"$kind"
check "manifest asks for administrator rights" grep -aq 'level="requireAdministrator"' "$exe"
check "manifest asks for common controls 6" grep -aq 'Microsoft.Windows.Common-Controls" version="6.0.0.0"' "$exe"
check "manifest declares no supported OS" bash -c "! grep -aq 'supportedOS' '$exe'"
resources=$(i686-w64-mingw32-objdump -p "$exe" 2>/dev/null)
check "resource directory present" grep -q 'Resource Directory' <<<"$resources"
strings_le=$(strings -el "$exe")
check "version resource $version" grep -qx "$version" <<<"$strings_le"
check "skin package resource type ZIPRES" grep -qx 'ZIPRES' <<<"$strings_le"
here=$(cd "$(dirname "$0")" && pwd)
check "icon 107 is skin/res/logo.ico, every image" python3 "$here/pe_icon.py" "$exe" "$here/../../skin/res/logo.ico" 107
[ $fails -eq 0 ]
