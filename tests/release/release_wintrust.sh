#!/usr/bin/env bash
# Windows' own verdict on the signed release (the files release_signed left): WinVerifyTrust
# under Wine, from a 32-bit program in a fresh 64-bit prefix, as the shell asks before it runs
# an elevated program. Wine's chain engine trusts the host's CA files, not the prefix's ROOT
# store, so the test CA is put in place of /etc/ssl/certs inside a mount namespace of our own.
# The four signed files are trusted, a copy with one flipped byte is refused for its digest
# (Wine's wintrust does check the file's hash) and a copy without a signature is refused.
# Wine 8 accepts a chain to a root it does not trust as well (checked 2026-12-10), so which CA
# signed is checked on Linux by release_signed, with osslsigncode against the test CA and
# another one.
#
# A machine whose kernel cannot run 32-bit programs asks from the 64-bit verifier instead (the
# shell of 64-bit Windows is a 64-bit program too): the verdict is on the files, not the caller.
#
#   release_wintrust.sh SIGNED_WORK_DIR WORK_DIR VERIFY_TRUST_EXE [VERIFY_TRUST_EXE_64]
set -u
signed=$1 work=$2 verifier=$3 verifier64=${4:-}
. "$(dirname "$0")/../../scripts/lib/wine.sh"
if ! qv_can_run_i386; then
  [ -f "$verifier64" ] || { echo "FAILED: this machine cannot run 32-bit programs and there is no 64-bit verifier ($verifier64: build the win64 preset)"; exit 1; }
  echo "-- this machine cannot run 32-bit programs: asking WinVerifyTrust from the 64-bit verifier"
  verifier=$verifier64
fi

if [ -e /var/lib/quorvane-no-wine32 ]; then
  echo "FAILED: 32-bit Wine is not installed (see scripts/setup)"
  exit 1
fi
installer=$(cd "$signed/out" 2>/dev/null && ls Quorvane-*.exe 2>/dev/null)
[ -n "$installer" ] || { echo "FAILED: no signed release in $signed/out (release_signed did not run)"; exit 1; }

rm -rf "$work"; mkdir -p "$work/certs"
cp "$signed/pki/test-ca.pem" "$work/certs/ca-certificates.crt"
# The rest of the Wine environment is scripts/lib/wine.sh's.
export WINEPREFIX=$work/wineprefix
trap 'wineserver -k >/dev/null 2>&1' EXIT
# Wine's helper processes outlive the programs: they must not hold CTest's pipes.
wineboot -i >"$work/wineboot.log" 2>&1 </dev/null
wineserver -w

winpath() { local p=$1; echo "Z:${p//\//\\}"; }
files=("$signed/out/Quorvane.exe" "$signed/out/nsQuorvanePlug.dll" "$signed/out/$installer" "$signed/uninst.exe")
fails=0
verdicts() {  # log, expected result, files...: every file must get the expected result
  local log=$1 want=$2 f name got; shift 2
  for f in "$@"; do
    name=$(basename "$f")
    got=$(grep -F "$(winpath "$f"):" "$log" | sed 's/.*: //' | tr -d '\r')
    if [ "$got" = "$want" ]; then echo "ok: $name: $got"; else echo "FAILED: $name: ${got:-no verdict}, expected $want"; fails=$((fails + 1)); fi
  done
}
args=()
for f in "${files[@]}"; do args+=("$(winpath "$f")"); done

flipped=()
for f in "${files[@]}"; do flipped+=("$signed/flipped-$(basename "$f")"); done
for f in "${flipped[@]}"; do args+=("$(winpath "$f")"); done
unsigned=$work/unsigned-Quorvane.exe
osslsigncode remove-signature -in "${files[0]}" -out "$unsigned" >/dev/null || { echo "FAILED: removing the signature"; exit 1; }
args+=("$(winpath "$unsigned")")

# With the test CA among the host's roots.
unshare --mount bash -c 'mount --bind "$1" /etc/ssl/certs && shift && wine "$@"; rc=$?; wineserver -w; exit $rc' \
  sh "$work/certs" "$verifier" "${args[@]}" >"$work/trusted.log" 2>&1 </dev/null
echo "-- with the test CA trusted"
verdicts "$work/trusted.log" 0x00000000 "${files[@]}"
echo "-- one byte flipped (0x80096010 is TRUST_E_BAD_DIGEST)"
verdicts "$work/trusted.log" 0x80096010 "${flipped[@]}"
echo "-- signature removed (0x800b0100 is TRUST_E_NOSIGNATURE)"
verdicts "$work/trusted.log" 0x800b0100 "$unsigned"
[ $fails -eq 0 ] || { echo "verifier output:"; cat "$work/trusted.log"; }
[ $fails -eq 0 ]
