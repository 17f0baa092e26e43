#include "engine/FlashInstall.h"

#include <cstdlib>

#include "core/ScopedHandle.h"
#include "core/StrUtil.h"
#include "core/SysUtil.h"
#include "engine/CompanionService.h"
#include "engine/Runs.h"
#include "net/HttpTransfer.h"
#include "net/Statistics.h"

namespace {
const wchar_t kInstallingText[] = L"正在安装Flash Player，请稍候...";
const wchar_t kInstallTakesTimeText[] = L"安装时间可能较长，还请耐心等待";
const wchar_t kTipColour[] = L"#FF666666";

// Deletes any old file and downloads the installer; true when it arrived.
bool FetchInstaller(const RepairEntry& download, const std::wstring& path) {
  ::DeleteFileW(path.c_str());
  HttpTransfer transfer;
  return transfer.HttpDownload(download.text, WideToAnsi(path)) == 0;
}

void ShowInstallingView(RunView& view) {
  view.SetVisible(L"cancelRepairbtn", false);  // from here on the repair cannot be cancelled
  view.SetText(L"checkResult", kInstallingText);
  view.SetAttribute(L"checkTip", L"textcolor", kTipColour);
  view.SetText(L"checkTip", kInstallTakesTimeText);
  view.ShowInstallingRows();
}
}  // namespace

std::wstring InstallerLocalPath(const RepairEntry& download) {
  return FormatStringW(L"%s%s", GetTempDir().c_str(), AnsiToWide(download.fileName).c_str());
}

void InstallFlashPlayers(CheckContext& ctx, RunView& view) {
  if (ctx.downloads.empty()) return;
  ctx.progressLimit = 96;
  const int n = static_cast<int>(ctx.downloads.size());
  const int half = (96 / n) / 2;
  const int full = 2 * half;
  for (int i = 0; i < n; ++i) {
    const RepairEntry& download = ctx.downloads[i];
    if (ctx.cancelRepair) return;
    if (download.state != StateInstall) continue;
    ctx.progressLimit = half + i * full;
    std::wstring path = InstallerLocalPath(download);
    if (!FetchInstaller(download, path)) continue;
    if (ctx.cancelRepair) return;
    ctx.progressLimit = (i + 1) * full;
    ShowInstallingView(view);
    if (ctx.cancelRepair) return;
    RunHiddenAndWait(path, AnsiToWide(InstallerArguments(false)), ctx.timings.flashInstallerWaitMs);
  }
}

void DownloadLatestAndExit(CheckContext& ctx, HWND window) {
  if (::IsWindow(window)) ::ShowWindow(window, SW_HIDE);
  for (const RepairEntry& download : ctx.downloads) {
    std::wstring path = InstallerLocalPath(download);
    if (FetchInstaller(download, path)) {
      RunHiddenAndWait(path, AnsiToWide(InstallerArguments(false)), ctx.timings.officialInstallerWaitMs);
    }
  }
  ScopedHandle report(StartReportThread(ReportRepairResult, SnapshotReportArgs(ctx)));
  if (report) ::WaitForSingleObject(report.Get(), ctx.timings.officialReportWaitMs);
  report.Close();
  std::exit(0);
}
