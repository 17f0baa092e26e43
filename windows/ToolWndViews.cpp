// The views of the main window, one function per view, one line per step.
#include "windows/ToolWnd.h"

#include "engine/Runs.h"
#include "net/Statistics.h"
#include "windows/DlgConfig.h"

using namespace DuiLib;

namespace {
void StartReport(LPTHREAD_START_ROUTINE body, const ReportArgs& args) {
  if (HANDLE thread = StartReportThread(body, args)) ::CloseHandle(thread);
}
}  // namespace

// --- step vocabulary ------------------------------------------------------------------------

void CToolWnd::ShowPage(int page) {
  if (mainSwitch_ && mainSwitch_->GetCurSel() != page) mainSwitch_->SelectItem(page);
}

void CToolWnd::ShowHeader() {
  if (mainLayout_ && mainLayout_->IsVisible()) mainLayout_->SetVisible(false);
  if (checkLayout_ && !checkLayout_->IsVisible()) checkLayout_->SetVisible(true);
}

void CToolWnd::Show(CControlUI* control, bool visible) {
  if (control) control->SetVisible(visible);
}

void CToolWnd::SetTipColour(const wchar_t* colour) {
  if (checkTip_) checkTip_->ApplyAttribute(L"textcolor", colour);
}

void CToolWnd::SetProgressValue(CProgressUI* bar, int value) {
  // The bar itself ignores a value equal to its current one or outside its range.
  if (bar) bar->SetValue(value);
}

void CToolWnd::RemoveAllRows() {
  if (resultList_) resultList_->RemoveAll();
}

namespace {
void SetTextOf(CControlUI* control, const std::wstring& text) {
  if (control) control->SetText(text);
}
}  // namespace

// --- the views ------------------------------------------------------------------------------

void CToolWnd::StartCheck() {
  ResetForCheck(ctx_);
  RemoveAllRows();
  ShowPage(1);
  ShowHeader();
  Show(resultList_, false);
  Show(cancelCheckbtn_, true);
  Show(cancelRepairbtn_, false);
  Show(recheckbtn_, false);
  Show(repairbtn_, false);
  Show(returnbtn_, false);
  Show(repairCancelTip_, false);
  Show(checkResult_, true);
  Show(checkTip_, true);
  // The cancelled views hide the bar; without this a check after them would run with none.
  Show(checkProgress_, true);
  SetTextOf(checkResult_, kCheckingText);
  ::StartCheck(ctx_, *this);
}

void CToolWnd::RequestCancelCheck() {
  ::RequestCancelCheck(ctx_);
  Show(checkResult_, true);
  Show(checkTip_, true);
  SetTextOf(checkResult_, kCancellingCheckText);
  Show(repairCancelTip_, false);
}

void CToolWnd::OnCheckDone() {
  ShowPage(2);
  ShowHeader();
  Show(cancelCheckbtn_, false);
  Show(cancelRepairbtn_, false);
  Show(recheckbtn_, !ctx_.problemsFound);
  Show(repairbtn_, ctx_.problemsFound);
  Show(returnbtn_, false);
  Show(repairCancelTip_, false);
  Show(checkResult_, true);
  Show(checkTip_, true);
  SetProgressValue(checkProgress_, 0);
  Show(repairProgress_, false);
  SnapshotProblems(ctx_);
  if (ctx_.problemsFound) {
    SetTextOf(checkResult_, kProblemsFoundText);
    SetTextOf(repairbtn_, kRepairButtonText);
    SetTipColour(kTipRed);
    int counted = 0;
    for (size_t i = 0; i < ctx_.problems.size(); ++i) {
      const RepairEntry& problem = ctx_.problems[i];
      AddCheckRow(static_cast<int>(i), problem, false);
      if (problem.kind == FlashBelowMinimum) {
        SetTextOf(checkResult_, kFlashTooOldText);
        SetTextOf(repairbtn_, kDownloadButtonText);
      }
      if (problem.kind != FlashOutdated) ++counted;
    }
    countText_ = ::CountText(counted);
    SetTextOf(checkTip_, countText_);
    Show(resultList_, true);
  } else {
    SetTextOf(checkResult_, kNothingFoundText);
    SetTipColour(kTipGrey);
    countText_ = NoProblemHint();
    SetTextOf(checkTip_, countText_);
  }
  Show(repairTip_, false);
  StartReport(ReportCheckResult, SnapshotReportArgs(ctx_));
}

void CToolWnd::DoShowCheckCancelled() {
  ctx_.cancelCheck = true;
  ShowPage(2);
  ShowHeader();
  Show(cancelCheckbtn_, false);
  Show(cancelRepairbtn_, false);
  SetProgressValue(repairProgress_, 0);
  Show(repairProgress_, false);
  SetProgressValue(checkProgress_, 0);
  Show(checkProgress_, false);
  Show(recheckbtn_, !ctx_.problemsFound);
  Show(repairbtn_, ctx_.problemsFound);
  Show(returnbtn_, false);
  Show(checkResult_, true);
  Show(checkTip_, true);
  Show(repairCancelTip_, false);
  SetTextOf(checkResult_, kCheckCancelledText);
  if (ctx_.problemsFound) {
    countText_ = ::CountText(static_cast<int>(ctx_.problems.size()));
    SetTipColour(kTipRed);
    SetTextOf(checkTip_, countText_);
    for (size_t i = 0; i < ctx_.problems.size(); ++i) AddCheckRow(static_cast<int>(i), ctx_.problems[i], true);
    // A lone Flash Player row offers its own download button instead of the repair.
    if (ctx_.problems.size() == 1 && IsFlashProblem(ctx_.problems[0].kind)) Show(repairbtn_, false);
    Show(resultList_, true);
  } else {
    SetTipColour(kTipGrey);
    SetTextOf(checkTip_, kNoProblemShortText);
  }
  Show(repairTip_, false);
}

void CToolWnd::StartRepair() {
  ShowPage(2);
  ShowHeader();
  Show(cancelCheckbtn_, false);
  Show(cancelRepairbtn_, true);
  Show(recheckbtn_, false);
  Show(repairbtn_, false);
  Show(returnbtn_, false);
  Show(checkResult_, true);
  Show(checkTip_, true);
  Show(repairProgress_, true);
  SetProgressValue(repairProgress_, 0);
  SetTextOf(cancelRepairbtn_, kCancelRepairText);
  SetTextOf(checkResult_, kRepairingText);
  SetTipColour(kTipGrey);
  const int rowCount = resultList_ ? resultList_->GetCount() : 0;
  for (int i = 0; i < rowCount; ++i) {
    CControlUI* row = resultList_->GetItemAt(i);
    const size_t index = row->GetTag();
    if (index >= ctx_.problems.size()) continue;
    ShowRowWorking(row, ctx_.problems[index].kind, kRowDownloadingText);
    if (ctx_.problems[index].kind == FlashBelowMinimum) {
      SetTextOf(checkResult_, kDownloadingFlashText);
      SetTextOf(cancelRepairbtn_, kCancelDownloadText);
    }
  }
  // progressLimit, the animation's event and the cleared cancel flag come with the threads.
  ::StartRepair(ctx_, *this);
}

void CToolWnd::RequestCancelRepair() {
  RemoveAllRows();
  ctx_.cancelRepair = true;
  Show(checkResult_, false);
  Show(checkTip_, false);
  Show(repairCancelTip_, true);
  SignalRepairEvent(ctx_);
  ShowPage(3);
}

void CToolWnd::DoShowInstallingRows() {
  const int rowCount = resultList_ ? resultList_->GetCount() : 0;
  for (int i = 0; i < rowCount; ++i) {
    CControlUI* row = resultList_->GetItemAt(i);
    const size_t index = row->GetTag();
    if (index < ctx_.problems.size()) ShowRowWorking(row, ctx_.problems[index].kind, kRowInstallingText);
  }
}

void CToolWnd::DoShowRepairCancelled() {
  ctx_.cancelRepair = true;
  ShowPage(2);
  ShowHeader();
  ctx_.problems.clear();
  RemoveAllRows();
  Show(resultList_, false);
  Show(cancelCheckbtn_, false);
  Show(cancelRepairbtn_, false);
  Show(recheckbtn_, true);
  Show(repairbtn_, false);
  Show(returnbtn_, false);
  Show(checkResult_, true);
  Show(checkTip_, true);
  SetProgressValue(repairProgress_, 100);
  Show(repairProgress_, false);
  SetProgressValue(checkProgress_, 100);
  Show(checkProgress_, false);
  Show(repairCancelTip_, false);
  SetTextOf(checkResult_, kRepairCancelledText);
  if (ctx_.problemsFound) {
    SetTipColour(kTipGrey);
    SetTextOf(checkTip_, kRecheckAdviceText);
  }
}

void CToolWnd::OnRepairDone() {
  ShowPage(2);
  ShowHeader();
  SetProgressValue(repairProgress_, 100);
  Show(cancelCheckbtn_, false);
  Show(cancelRepairbtn_, false);
  Show(recheckbtn_, false);
  Show(repairbtn_, false);
  Show(returnbtn_, true);
  Show(checkResult_, true);
  Show(checkTip_, true);
  Show(repairProgress_, false);
  SignalRepairEvent(ctx_);
  ctx_.repairSucceeded = EvaluateRepairOutcome(ctx_);
  SnapshotProblems(ctx_);
  if (ctx_.repairSucceeded && !ctx_.cancelRepair) {
    SetTextOf(checkResult_, kRepairDoneText);
    SetTextOf(returnbtn_, kFinishButtonText);
    SetTipColour(kTipGrey);
    SetTextOf(checkTip_, AfterRepairHint());
    Show(repairTip_, true);
  } else {
    SetTextOf(checkResult_, kRepairFailedText);
    SetTextOf(returnbtn_, kBackButtonText);
    SetTipColour(kTipGrey);
    SetTextOf(checkTip_, RepairFailedHint());
    Show(repairTip_, false);
  }
  ShowRepairResults();
  if (RepairResultReportDue(ctx_)) StartReport(ReportRepairResult, SnapshotReportArgs(ctx_));
}

void CToolWnd::ReturnToStart() {
  // After a successful repair the button reads "完成" and ends the program; the steps below
  // still run. A repair cancelled too late to stop it shows "返回" and must go back instead.
  if (ctx_.repairSucceeded && !ctx_.cancelRepair) ::PostQuitMessage(0);
  ctx_.cancelCheck = false;
  ctx_.problems.clear();
  RemoveAllRows();
  ShowPage(0);
  if (mainLayout_ && !mainLayout_->IsVisible()) mainLayout_->SetVisible(true);
  if (checkLayout_ && checkLayout_->IsVisible()) checkLayout_->SetVisible(false);
  Show(repairTip_, false);
}

void CToolWnd::OpenSettingsDialog(int page, const wchar_t* checkBox) { CDlgConfig::Open(GetHWND(), page, checkBox); }
