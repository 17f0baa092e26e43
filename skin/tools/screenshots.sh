#!/usr/bin/env bash
# Photographs every view of the skins in real framework windows under Wine and Xvfb.
#
#   skin/tools/screenshots.sh BUILD_DIR [OUTPUT_DIR]
#
# BUILD_DIR is a win64 build that has built qv_skin_views (and with it ToolsSkin.zip); the
# pictures go to OUTPUT_DIR (default BUILD_DIR/skin-screenshots), one PNG per view, cut to the
# window with a margin of desktop around it so the shadow shows. Uses the build's own Wine
# prefix (BUILD_DIR/wineprefix-skin) and an Xvfb display of its own.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd)
out=${2:-$build/skin-screenshots}
mkdir -p "$out"
views=$build/tests/fixtures/qv_skin_views.exe
zip=$build/skin/ToolsSkin.zip
zip_win="Z:$zip"
[ -f "$views" ] && [ -f "$zip" ] || { echo "build qv_skin_views in $build first" >&2; exit 1; }

. "$here/scripts/lib/wine.sh"
qv_wine_prefix "$build/wineprefix-skin"
qv_xvfb_start
trap 'qv_xvfb_stop; qv_wine_stop' EXIT
# The first Wine program of a fresh prefix starts slowly: warm up before photographing.
wine "$views" "$zip_win" MainWnd.xml quit:500 >/dev/null 2>&1 || true
screen_w=1280 screen_h=800
# A grey backdrop window under everything, so the window's shadow can be seen against it; as a
# client that stays connected it also keeps Xvfb from resetting between two shots. A
# compositor (xcompmgr, optional) makes the layered shadow window blend as on Windows; without
# one X draws its premultiplied pixels over black.
backdrop=$(mktemp --suffix=.png)
convert -size ${screen_w}x${screen_h} xc:'#7884a0' "$backdrop"
display -display "$DISPLAY" -geometry ${screen_w}x${screen_h}+0+0 -borderwidth 0 "$backdrop" >/dev/null 2>&1 &
backdrop_pid=$!
compositor_pid=
if command -v xcompmgr >/dev/null; then
  xcompmgr -d "$DISPLAY" >/dev/null 2>&1 &
  compositor_pid=$!
else
  echo "no xcompmgr: shadows show over black" >&2
fi
trap 'kill $backdrop_pid $compositor_pid 2>/dev/null; rm -f "$backdrop"; qv_xvfb_stop; qv_wine_stop' EXIT
sleep 1

# shoot NAME WIDTH HEIGHT SKIN LAYOUT [STEP...]: run one view, photograph it, let it end.
shoot() {
  local name=$1 w=$2 h=$3 skin=$4 layout=$5
  shift 5
  wine "$views" "$skin" "$layout" "$@" quit:8000 >/dev/null 2>&1 &
  local pid=$!
  local m=24 x=$(( (screen_w - w) / 2 - 24 )) y=$(( (screen_h - h) / 2 - 24 )) i
  local crop="$((w + 2 * m))x$((h + 2 * m))+$x+$y"
  # Wait until the window has painted (a spot just inside its top-left corner has the dark
  # window colour, neither black nor desktop grey), then a little longer so animations and
  # the shadow have drawn too.
  for i in $(seq 1 24); do
    sleep 0.5
    [ "$(import -display "$DISPLAY" -window root -crop "4x4+$((x + m + 4))+$((y + m + 40))" +repage \
          -format '%[fx:mean>0.05 && mean<0.3]' info:)" = 1 ] && break
  done
  sleep 1
  import -display "$DISPLAY" -window root -crop "$crop" +repage "$out/$name.png"
  wait "$pid" || true
  echo "$out/$name.png"
}

checking=(hide:MainLayout show:CheckLayout hide:cancelRepairbtn hide:returnbtn hide:repairbtn hide:recheckbtn
          hide:RepairCancelTip hide:repairTip)
rows=(row:resultList:result_item.xml "rowtext:result:必要组件服务未启动" rowhide:repairLogo rowhide:resultTip
      rowattr:resultLogo:bkimage:success.png rowshow:resultLogo
      row:resultList:result_item_crt.xml "rowtext:result:必要组件服务启动类型异常" rowhide:repairLogo rowhide:resultTip
      rowattr:resultLogo:bkimage:failed.png
      "rowtext:resultServTip:如反复出现此问题，请设置开机启动项解决此问题" rowtext:ServSet:设置
      row:resultList:result_item_fp.xml "rowtext:result:您的Flash Player版本较低，建议下载最新版Flash Player"
      rowhide:resultLogo rowhide:resultTip rowhide:repairLogo rowhide:repairLogoNew rowhide:resultTipNew
      rowhide:resultServTip rowtext:GoOfficialNet:立即下载)

shoot main_start 586 364 "$zip_win" MainWnd.xml hide:RepairCancelTip hide:resultList hide:repairTip
shoot main_checking 586 364 "$zip_win" MainWnd.xml "${checking[@]}" show:cancelCheckbtn page:mainSwitch:1 \
  "text:checkResult:正在检测，请稍候…" "text:checkTip:正在检测:Flash 版本……" value:check_progress:66
shoot main_results 586 364 "$zip_win" MainWnd.xml "${checking[@]}" hide:cancelCheckbtn show:repairbtn \
  page:mainSwitch:2 hide:repair_progress "text:checkResult:检测已完成，发现异常问题，请立即修复" \
  "text:checkTip:发现以下3个问题" attr:checkTip:textcolor:#FFFF0000 "${rows[@]}"
shoot main_repairing 586 364 "$zip_win" MainWnd.xml "${checking[@]}" hide:cancelCheckbtn show:cancelRepairbtn \
  page:mainSwitch:2 value:repair_progress:40 "text:checkResult:正在修复，请稍候…" \
  "text:checkTip:修复时间可能较长，还请耐心等待" \
  row:resultList:result_item.xml "rowtext:result:必要组件服务未启动" rowhide:resultLogo rowhide:resultTip rowshow:repairLogo \
  row:resultList:result_item_fp.xml "rowtext:result:您的Flash Player版本较低，建议下载最新版Flash Player" \
  rowhide:repairLogo rowhide:resultLogo rowhide:resultTip rowshow:repairLogoNew "rowtext:resultTipNew:正在下载..." \
  rowhide:resultServTip \
  rowhide:GoOfficialNet
shoot main_cancelling 586 364 "$zip_win" MainWnd.xml "${checking[@]}" hide:cancelCheckbtn show:cancelRepairbtn \
  hide:checkResult hide:checkTip show:RepairCancelTip page:mainSwitch:3
shoot main_done 586 364 "$zip_win" MainWnd.xml "${checking[@]}" hide:cancelCheckbtn show:returnbtn show:repairTip \
  page:mainSwitch:2 hide:repair_progress "text:checkResult:修复已完成" "${rows[@]}"
shoot main_menu 586 364 "$zip_win" MainWnd.xml hide:RepairCancelTip hide:resultList hide:repairTip menu:MainMenu.xml:morebtn
for page in 0 1 2 3; do
  shoot "dialog_page$page" 340 180 "$zip_win" DlgConfig.xml "page:mainSwitch:$page"
done
for page in 0 1; do shoot "install_look_page$page" 586 364 "$zip_win" Install.xml "page:mainSwitch:$page"; done
for page in 0 1 2; do shoot "uninstall_look_page$page" 586 364 "$zip_win" Unstall.xml "page:mainSwitch:$page"; done
for page in 0 1; do
  shoot "wizard_install_page$page" 586 364 "Z:$here/packaging/skin_install" install.xml "page:wizardTab:$page"
done
for page in 0 1 2; do
  shoot "wizard_uninstall_page$page" 586 364 "Z:$here/packaging/skin_uninstall" uninstall.xml "page:wizardTab:$page"
done

# The framework's own test window with its drop shadow, held on screen by its shadow test.
ui_test=$build/tests/wine/ui_wine_test.exe
if [ -f "$ui_test" ]; then
  QV_UI_HOLD_MS=5000 wine "$ui_test" --gtest_filter='*ShadowFollowsTheWindow' >/dev/null 2>&1 &
  pid=$!
  sleep 4
  # The test moves its 300x220 window to (200,150); the shadow reaches 10 px beyond it.
  import -display "$DISPLAY" -window root -crop 360x280+170+120 +repage "$out/framework_test_window.png"
  wait "$pid" || true
  echo "$out/framework_test_window.png"
fi
