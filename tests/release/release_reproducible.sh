#!/usr/bin/env bash
# Rebuilds the release of the checked-out commit twice, in two different folders, one after
# the other (so at different times) and in different time zones, with ccache off so each build
# really compiles and links, and compares the unsigned artefacts byte for byte: Quorvane.exe,
# nsQuorvanePlug.dll and the installer. The binaries also carry no link time stamp.
#
#   release_reproducible.sh SOURCE_DIR WORK_DIR
set -u
src=$1 work=$2
rm -rf "$work"; mkdir -p "$work/first" "$work/second/deeper"
export CCACHE_DISABLE=1
# One commit for both builds, whatever is committed meanwhile.
QV_RELEASE_COMMIT=$(git -C "$src" rev-parse HEAD) || { echo "FAILED: not a git checkout"; exit 1; }
export QV_RELEASE_COMMIT

build() {  # build folder, out folder, time zone
  TZ=$3 QV_RELEASE_BUILD=$1 "$src/scripts/release" --unsigned "$2" >"$2.log" 2>&1
  local rc=$?
  cat "$2.log"
  return $rc
}
build "$work/first/build" "$work/first/out" UTC || { echo "FAILED: first release build"; exit 1; }
build "$work/second/deeper/b" "$work/second/out" Asia/Shanghai || { echo "FAILED: second release build"; exit 1; }

fails=0
cd "$work/first/out" || exit 1
for f in Quorvane.exe nsQuorvanePlug.dll Quorvane-*.exe SHA256SUMS; do
  if cmp "$f" "$work/second/out/$f"; then
    echo "ok: $f is byte-identical ($(sha256sum "$f" | cut -d' ' -f1))"
  else
    echo "FAILED: $f differs between the two builds"
    fails=$((fails + 1))
  fi
done
for f in Quorvane.exe nsQuorvanePlug.dll; do
  # The file header's stamp comes first (the export directory has one of its own, also 0).
  stamp=$(i686-w64-mingw32-objdump -p "$f" | grep -m1 '^Time/Date' | sed 's/^Time\/Date[[:space:]]*//')
  if [ "$stamp" = "Thu Jan  1 00:00:00 1970" ]; then echo "ok: $f has no link time stamp"
  else echo "FAILED: $f has the link time stamp $stamp"; fails=$((fails + 1)); fi
done
[ $fails -eq 0 ]
