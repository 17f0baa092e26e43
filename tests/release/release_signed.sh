#!/usr/bin/env bash
# The signed release: scripts/release with a code-signing certificate made here, then every
# artefact is checked as a user's machine would see it. Without a certificate the release
# refuses to run; with one, the program, the plug-in, the installer and the uninstaller the
# installer carries verify against the test CA (and against no other), the installer carries
# exactly the signed program and plug-in, the binaries are stripped, SHA256SUMS matches, and
# one flipped byte breaks each signature. A key of another certificate fails the release. Given a time-stamp server (a local one here), the
# signature carries its time stamp.
#
#   release_signed.sh SOURCE_DIR WORK_DIR
set -u
# The tools' own messages are read below (nm's "no symbols"): untranslated.
export LC_ALL=C
src=$1 work=$2
. "$src/tests/release/pki.sh"
fails=0
check() {  # description, command...
  local what=$1; shift
  if "$@" >"$work/check.log" 2>&1; then echo "ok: $what"; else echo "FAILED: $what"; sed 's/^/    /' "$work/check.log" | tail -n 15; fails=$((fails + 1)); fi
}
refused() { ! "$@"; }

rm -rf "$work"; mkdir -p "$work"
qv_test_pki "$work/pki" test || { echo "FAILED: making the test CA"; exit 1; }
qv_test_pki "$work/pki" other || { echo "FAILED: making the second CA"; exit 1; }
ca=$work/pki/test-ca.pem

# No certificate: a clear refusal before anything is built.
out=$(env -u QV_SIGN_CERT -u QV_SIGN_KEY QV_RELEASE_BUILD="$work/unsigned-build" "$src/scripts/release" "$work/none" 2>&1)
rc=$?
echo "$out"
check "a release without a certificate fails" test $rc -ne 0
check "  and names the variables to set" grep -q 'QV_SIGN_CERT and QV_SIGN_KEY' <<<"$out"
check "  and builds nothing" test ! -e "$work/none"

QV_SIGN_CERT=$work/pki/test-signer.pem QV_SIGN_KEY=$work/pki/test-signer.key QV_SIGN_TIMESTAMP_URL= \
  QV_RELEASE_BUILD="$work/build" "$src/scripts/release" "$work/out" || { echo "FAILED: scripts/release"; exit 1; }

# A key that does not belong to the certificate: the release fails and leaves no artefacts.
QV_SIGN_CERT=$work/pki/test-signer.pem QV_SIGN_KEY=$work/pki/other-signer.key \
  QV_RELEASE_BUILD="$work/build" "$src/scripts/release" "$work/badkey" >"$work/badkey.log" 2>&1
rc=$?
check "a release with a key of another certificate fails" test $rc -ne 0
check "  at the signing step" grep -q 'release: signing .* failed' "$work/badkey.log"
check "  and leaves no artefacts" test ! -e "$work/badkey"

cd "$work/out" || exit 1
installer=$(ls Quorvane-*.exe)
check "the four artefacts are there" test -f Quorvane.exe -a -f nsQuorvanePlug.dll -a -f "$installer" -a -f SHA256SUMS
check "SHA256SUMS matches them" sha256sum -c SHA256SUMS
for f in Quorvane.exe nsQuorvanePlug.dll; do
  check "$f has no symbols" bash -c "i686-w64-mingw32-nm '$f' 2>&1 | grep -q 'no symbols'"
  check "$f has no debug sections" bash -c "! i686-w64-mingw32-objdump -h '$f' | grep -q debug"
done

# What the installer carries: the program it installs, the plug-in its wizards load, and the
# uninstaller that WriteUninstaller writes (7-Zip rebuilds it the same way).
7zz x -y -o"$work/unpacked" "$installer" >"$work/7z.log" 2>&1 || { cat "$work/7z.log"; echo "FAILED: unpacking $installer"; exit 1; }
check "the installer carries the signed Quorvane.exe" cmp Quorvane.exe "$work/unpacked/Quorvane.exe"
check "the installer carries the signed plug-in" cmp nsQuorvanePlug.dll "$work/unpacked/\$PLUGINSDIR/nsQuorvanePlug.dll"
cp "$work/unpacked/uninst.exe" "$work/uninst.exe"

for f in Quorvane.exe nsQuorvanePlug.dll "$installer" "$work/uninst.exe"; do
  name=$(basename "$f")
  check "$name verifies against the test CA" osslsigncode verify -CAfile "$ca" -in "$f"
  check "$name carries no time stamp (none asked for)" bash -c "osslsigncode verify -CAfile '$ca' -in '$f' | grep -q 'Timestamp is not available'"
  check "$name does not verify against another CA" refused osslsigncode verify -CAfile "$work/pki/other-ca.pem" -in "$f"
  qv_flip_byte "$f" "$work/flipped-$name"
  check "$name with one byte flipped fails" refused osslsigncode verify -CAfile "$ca" -in "$work/flipped-$name"
done

# A time stamp when a server is named: the signing step of the release against a local
# time-stamp authority of the test CA.
qv_test_tsa "$work/pki" test || { echo "FAILED: making the time-stamping certificate"; exit 1; }
python3 "$src/tests/release/tsa.py" "$work/pki/test-tsa.cnf" "$work/tsa.port" 2>"$work/tsa.log" &
tsa_pid=$!
for _ in $(seq 1 50); do [ -s "$work/tsa.port" ] && break; sleep 0.1; done
osslsigncode remove-signature -in nsQuorvanePlug.dll -out "$work/stamped.dll" >/dev/null
QV_SIGN_CERT=$work/pki/test-signer.pem QV_SIGN_KEY=$work/pki/test-signer.key \
  QV_SIGN_TIMESTAMP_URL="http://127.0.0.1:$(cat "$work/tsa.port" 2>/dev/null)" \
  "$src/scripts/release" --sign-file "$work/stamped.dll" >"$work/stamp.log" 2>&1
check "signing with a time-stamp URL succeeds" test $? -eq 0
check "  and the signature carries a verified time stamp" bash -c \
  "osslsigncode verify -CAfile '$ca' -TSA-CAfile '$ca' -in '$work/stamped.dll' | grep -q 'Timestamp Server Signature verification: ok'"
kill $tsa_pid 2>/dev/null

[ $fails -eq 0 ]
