# Sourced by scripts/test, scripts/run and scripts/wine-run: a private Wine prefix with the
# target machines' code page and fonts, one persistent wineserver, and an Xvfb display.
#
#   qv_wine_prefix DIR      create DIR as a fresh prefix if it has no system.reg yet, or if it
#                           was made before 32-bit Wine was installed; export it
#   qv_wine_stop            end this prefix's wineserver
#   qv_xvfb_start           start Xvfb on a free display, export DISPLAY and QV_XVFB_PID
#   qv_xvfb_stop            end that Xvfb by its pid
#
# On a machine whose kernel cannot run 32-bit programs (scripts/lib/arch.sh), "wine" is the
# 64-bit loader: prefixes then hold no 32-bit Windows, and only 64-bit programs run.

export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64
# No Mono/Gecko install dialogs: nothing of ours needs them.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LC_ALL=zh_CN.UTF-8
export LANG=zh_CN.UTF-8

. "$(dirname "${BASH_SOURCE[0]}")/arch.sh"
if ! qv_can_run_i386 && [ -x /usr/lib/wine/wine64 ]; then
  # Debian's wine script takes the 32-bit loader whenever wine32 is installed, and that one
  # cannot start here; wineboot and the other tools go through "wine-stable".
  qv_wine64_bin=${TMPDIR:-/tmp}/quorvane-wine64-$(id -u)
  if [ ! -x "$qv_wine64_bin/wine-stable" ]; then
    mkdir -p "$qv_wine64_bin"
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$qv_wine64_bin/wine.new"
    chmod +x "$qv_wine64_bin/wine.new"
    cp "$qv_wine64_bin/wine.new" "$qv_wine64_bin/wine-stable.new"
    mv "$qv_wine64_bin/wine.new" "$qv_wine64_bin/wine"
    mv "$qv_wine64_bin/wine-stable.new" "$qv_wine64_bin/wine-stable"
  fi
  case ":$PATH:" in *":$qv_wine64_bin:"*) ;; *) export PATH="$qv_wine64_bin:$PATH" ;; esac
  export WINELOADER=/usr/lib/wine/wine64
fi

qv_wine_prefix() {
  local dir=$1
  mkdir -p "$(dirname "$dir")"
  export WINEPREFIX=$dir
  (
    flock 9
    # A prefix made without 32-bit Wine cannot run 32-bit programs, and then not even 64-bit
    # ones ("could not load kernel32.dll"): it is made again where 32-bit programs can run.
    local wow64_missing=0
    if qv_can_run_i386 && [ ! -f "$dir/drive_c/windows/syswow64/kernel32.dll" ]; then wow64_missing=1; fi
    if [ ! -f "$dir/system.reg" ] || [ $wow64_missing = 1 ]; then
      rm -rf "$dir"
      wineboot -i >/dev/null 2>&1 || true
      wineserver -w
      # Chinese glyphs: the skins ask for 微软雅黑, which Wine does not have.
      local reg
      reg=$(mktemp --suffix=.reg)
      { printf '\xff\xfe'; printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"\xe5\xbe\xae\xe8\xbd\xaf\xe9\x9b\x85\xe9\xbb\x91"="WenQuanYi Micro Hei"\r\n"Microsoft YaHei"="WenQuanYi Micro Hei"\r\n"SimSun"="WenQuanYi Micro Hei"\r\n"\xe5\xae\x8b\xe4\xbd\x93"="WenQuanYi Micro Hei"\r\n' | iconv -f UTF-8 -t UTF-16LE; } > "$reg"
      wine regedit /S "$reg" >/dev/null 2>&1
      wineserver -w
      rm -f "$reg"
    fi
  ) 9>"$dir.lock"
  # One persistent server: each test process then starts in tens of milliseconds.
  wineserver -p >/dev/null 2>&1 || true
}

qv_wine_stop() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
}

qv_xvfb_start() {
  # Xvfb picks the display itself (-displayfd): it takes the lock file of a free one atomically,
  # so two runs starting at the same moment never share a display, as they could when the
  # script chose a number whose lock file was not there yet.
  local fifo n=""
  fifo=$(mktemp -u "${TMPDIR:-/tmp}/qv-xvfb.XXXXXX")
  mkfifo "$fifo" || return 1
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  QV_XVFB_PID=$!
  read -r -t 20 n <"$fifo"
  rm -f "$fifo"
  if [ -n "$n" ] && kill -0 "$QV_XVFB_PID" 2>/dev/null; then
    export DISPLAY=":$n" QV_XVFB_PID
    return 0
  fi
  kill "$QV_XVFB_PID" 2>/dev/null
  echo "could not start Xvfb" >&2
  return 1
}

qv_xvfb_stop() {
  [ -n "${QV_XVFB_PID:-}" ] && kill "$QV_XVFB_PID" 2>/dev/null || true
}
