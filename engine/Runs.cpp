#include "engine/Runs.h"

#include <windows.h>

#include <algorithm>

#include "core/ScopedHandle.h"
#include "core/ToolContext.h"
#include "engine/CompanionService.h"
#include "engine/FlashInstall.h"
#include "engine/FlashProbe.h"
#include "engine/ServiceControl.h"
#include "net/Statistics.h"
#include "net/ToolConfig.h"

namespace {
const wchar_t kCheckingServiceText[] = L"正在检测:必要组件是否正常……";
const wchar_t kCheckingFlashText[] = L"正在检测:Flash 版本……";
const wchar_t kRepairTakesTimeText[] = L"修复时间可能较长，还请耐心等待";
const wchar_t kTipColour[] = L"#FF666666";
constexpr int kAnimationEnd = 96;

struct RunArgs {
  CheckContext* ctx;
  RunView* view;
  void (*body)(CheckContext&, RunView&);
};

DWORD WINAPI RunThread(LPVOID param) {
  RunArgs args = *static_cast<RunArgs*>(param);
  delete static_cast<RunArgs*>(param);
  args.body(*args.ctx, *args.view);
  return 0;
}

// Threads are detached: their handles are closed at once and nothing joins them.
void StartDetached(CheckContext& ctx, RunView& view, void (*body)(CheckContext&, RunView&)) {
  auto* args = new RunArgs{&ctx, &view, body};
  HANDLE thread = ::CreateThread(nullptr, 0, RunThread, args, 0, nullptr);
  if (thread) {
    ::CloseHandle(thread);
  } else {
    delete args;
  }
}

void StartReportDetached(LPTHREAD_START_ROUTINE body, const ReportArgs& args) {
  HANDLE thread = StartReportThread(body, args);
  if (thread) ::CloseHandle(thread);
}

bool CompanionServiceHealthy(ServiceControl& sc) {
  ScopedServiceHandle manager(sc, sc.OpenManager());
  if (!manager) return false;
  ScopedServiceHandle service(sc, sc.Open(manager.Get(), kCompanionServiceName));
  if (!service) return false;
  uint32_t startType = 0;
  sc.QueryStartType(service.Get(), startType);
  uint32_t state = 0;
  bool statusRead = sc.QueryState(service.Get(), state);
  return startType == svc::kAutoStart && statusRead && state != svc::kStopped;
}
}  // namespace

void ResetForCheck(CheckContext& ctx) {
  ctx.problemsFound = false;
  ctx.cancelCheck = false;
  ctx.cancelRepair = false;
  ctx.repairSucceeded = true;
  ctx.flashInstalled = false;
  ctx.problems.clear();
  // The Flash Player step empties the list itself, but a check that never reaches it (the
  // configuration cannot be fetched, or the check is cancelled before) would leave the last
  // check's installers for the next repair to run.
  ctx.downloads.clear();
}

void StartCheck(CheckContext& ctx, RunView& view) {
  ResetForCheck(ctx);
  StartDetached(ctx, view, RunCheck);
  StartReportDetached(ReportCheck, CheckReportArgs(ctx));
}

void StartRepair(CheckContext& ctx, RunView& view) {
  ctx.progressLimit = 96;
  // An animation that ended at its limit never closed the previous repair's event; its thread
  // is long gone (the window signalled the event when that repair finished), so close it here.
  void* previous = ctx.repairEvent.exchange(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (previous != kInvalidEvent && previous != nullptr) ::CloseHandle(previous);
  ctx.cancelRepair = false;
  StartDetached(ctx, view, RunRepair);
  StartDetached(ctx, view, AnimateRepairProgress);
}

void RequestCancelCheck(CheckContext& ctx) { ctx.cancelCheck = true; }

void RequestCancelRepair(CheckContext& ctx) {
  ctx.cancelRepair = true;
  SignalRepairEvent(ctx);
}

void SignalRepairEvent(CheckContext& ctx) {
  void* event = ctx.repairEvent;
  if (event != kInvalidEvent && event != nullptr) ::SetEvent(event);
}

void RunCheck(CheckContext& ctx, RunView& view) {
  if (ctx.cancelCheck) return view.ShowCheckCancelled();
  view.SetText(L"checkTip", kCheckingServiceText);
  int32_t kind = ScmUnavailable;
  if (!CheckCompanionService(ctx, kind)) {
    ctx.problems.push_back({kind, kServiceProblemText, "", StateFound});
    ctx.problemsFound = true;
  }
  view.SetProgress(L"check_progress", 33);
  if (ctx.cancelCheck) return view.ShowCheckCancelled();
  if (FetchToolConfig(GetToolContext(), ctx.remoteConfig)) {
    view.SetText(L"checkTip", kCheckingFlashText);
    CheckFlashVersions(ctx);
    view.SetProgress(L"check_progress", 66);
    if (ctx.cancelCheck) return view.ShowCheckCancelled();
    view.SetProgress(L"check_progress", 100);
    if (ctx.cancelCheck) return view.ShowCheckCancelled();
  }
  view.Post(kWmCheckDone);
}

void RunRepair(CheckContext& ctx, RunView& view) {
  view.SetAttribute(L"checkTip", L"textcolor", kTipColour);
  view.SetText(L"checkTip", kRepairTakesTimeText);
  if (ctx.cancelRepair) return view.ShowRepairCancelled();
  view.SetText(L"checkTip", kRepairTakesTimeText);
  EnsureCompanionService(ServicesOf(ctx), ctx.timings.companionInstallerWaitMs);
  if (ctx.cancelRepair) return view.ShowRepairCancelled();
  InstallFlashPlayers(ctx, view);
  if (ctx.cancelRepair) return view.ShowRepairCancelled();
  view.Post(kWmRepairDone);
}

void AnimateRepairProgress(CheckContext& ctx, RunView& view) {
  const DWORD step = static_cast<DWORD>(std::max<size_t>(ctx.downloads.size(), 1)) * ctx.timings.animationStepMs;
  for (int i = 0; i <= kAnimationEnd; ++i) {
    // A limit lowered below the position ends the animation for the rest of the repair.
    if (i > ctx.progressLimit) return;
    if (::WaitForSingleObject(ctx.repairEvent.load(), step) == WAIT_OBJECT_0) {
      ::CloseHandle(ctx.repairEvent.exchange(kInvalidEvent));
      return;
    }
    view.SetProgress(L"repair_progress", i);
  }
}

bool EvaluateRepairOutcome(CheckContext& ctx) {
  bool flashOk = true;
  for (RepairEntry& problem : ctx.problems) {
    if (problem.kind == FlashOutdated) {
      problem.state = StateFlashDealtWith;
    } else if (problem.kind == FlashBelowMinimum) {
      if (ctx.downloads.empty()) {
        problem.state = StateFlashDealtWith;
      } else if (ctx.downloads.front().state == StateFound) {
        flashOk = true;
        problem.state = StateFlashDealtWith;
      } else {
        flashOk = IsFlavourUpToDate(ctx, ctx.downloads.front().kind);
        problem.state = flashOk ? StateFlashDealtWith : StateRepairFailed;
      }
    } else {
      problem.state = StateRepairFailed;
    }
  }
  const bool serviceOk = CompanionServiceHealthy(ServicesOf(ctx));
  for (RepairEntry& problem : ctx.problems) {
    if (problem.kind != FlashOutdated && problem.kind != FlashBelowMinimum) {
      problem.state = serviceOk ? StateServiceRepaired : StateRepairFailed;
    }
  }
  return serviceOk && flashOk;
}

void SnapshotProblems(CheckContext& ctx) { ctx.problemSnapshot = ctx.problems; }

ReportArgs CheckReportArgs(const CheckContext& ctx) {
  ReportArgs args;
  args.version = ctx.version;
  return args;
}

ReportArgs SnapshotReportArgs(const CheckContext& ctx) {
  ReportArgs args = CheckReportArgs(ctx);
  for (const RepairEntry& entry : ctx.problemSnapshot) args.problems.push_back({entry.kind, entry.state});
  return args;
}

bool RepairResultReportDue(const CheckContext& ctx) {
  return !ctx.downloads.empty() && ctx.downloads.front().state == StateInstall;
}
