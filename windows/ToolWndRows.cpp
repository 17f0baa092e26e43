// The main window's result rows in the check views and the repair outcome view, and the
// bookkeeping of companion-service repairs that comes with the outcome.
#include "windows/ToolWnd.h"

#include "core/ConfigFile.h"
#include "core/StrUtil.h"
#include "engine/ServiceControl.h"

using namespace DuiLib;

namespace {
constexpr char kHelperRepairedKey[] = "HelperRepaired";
constexpr wchar_t kLauncherServiceName[] = L"QuorvaneSvr";

// Start-up repair is on when the launcher service opens; a manager that will not open counts
// as off.
bool LauncherServiceRegistered(ServiceControl& services) {
  ScopedServiceHandle manager(services, services.OpenManager());
  if (!manager) return false;
  ScopedServiceHandle service(services, services.Open(manager.Get(), kLauncherServiceName));
  return static_cast<bool>(service);
}
}  // namespace

void CToolWnd::AddCheckRow(int index, const RepairEntry& problem, bool cancelled) {
  if (!resultList_) return;
  CControlUI* row = nullptr;
  if (IsFlashProblem(problem.kind)) {
    row = rows_.AddFlashRow(index, problem);
    if (!row) return;
    ShowRowPart(row, L"resultLogo", false);
    ShowRowPart(row, L"resultTip", false);
    SetRowPartText(row, L"resultServTip", kRowDownloadText);
    ShowRowPart(row, L"resultServTip", false);
    SetRowPartText(row, L"GoOfficialNet", kRowDownloadText);
    ShowRowPart(row, L"GoOfficialNet", false);
    // The advisory row is kept for the outcome view but not shown after a finished check.
    if (problem.kind == FlashOutdated && !cancelled) row->SetVisible(false);
    if (cancelled && ctx_.problems.size() == 1) {
      ShowRowPart(row, L"GoOfficialNet", true);
      SetRowPartText(row, L"result", LoneFlashRowText(problem.kind));
    }
  } else {
    row = rows_.AddProblemRow(index, problem);
    if (!row) return;
  }
  resultList_->Add(row);
}

void CToolWnd::ShowRepairResults() {
  // A cancelled repair has removed the rows already.
  if (ctx_.cancelRepair) return;

  const int count = NextHelperRepairedCount(ReadSetting(kHelperRepairedKey), ctx_.problems);
  WriteSetting(kHelperRepairedKey, FormatStringA("%d", count));

  if (!resultList_) return;
  const bool installerRan = !ctx_.downloads.empty() && ctx_.downloads.front().state == StateInstall;
  for (int j = 0; j < resultList_->GetCount(); ++j) {
    CControlUI* row = resultList_->GetItemAt(j);
    if (!row) break;
    row->SetVisible(true);
    const size_t index = row->GetTag();
    if (index >= ctx_.problems.size()) continue;
    const RepairEntry e = ctx_.problems[index];

    if (IsFlashProblem(e.kind)) {
      Show(repairbtn_, false);
      ShowRowPart(row, L"repairLogo", false);
      ShowRowPart(row, L"GoOfficialNet", true);
      ShowRowPart(row, L"repairLogoNew", false);
      ShowRowPart(row, L"resultTipNew", false);
      SetRowPartText(row, L"result", FlashOutcomeText(e.kind, ctx_.repairSucceeded));
      if (installerRan) {
        ShowRowPart(row, L"GoOfficialNet", false);
        ShowRowIcon(row, e.state == StateFlashDealtWith && ctx_.repairSucceeded);
      }
    } else {
      // From the third repaired companion-service problem on, the row is rebuilt with the
      // advice to switch on start-up repair (a template that cannot be built keeps the plain row).
      CControlUI* recurring = count >= 3 ? rows_.AddRecurringRow(j, e) : nullptr;
      if (recurring) {
        resultList_->RemoveAt(j);
        resultList_->AddAt(recurring, j);
        row = recurring;
      }
      ShowRowPart(row, L"repairLogo", false);
      ShowRowIcon(row, e.state == StateServiceRepaired);
      ShowRowPart(row, L"resultTip", false);
      if (!recurring) continue;
      SetRowPartText(row, L"resultServTip", kRecurringAdviceText);
      ShowRowPart(row, L"resultServTip", true);
      SetRowPartText(row, L"ServSet", kServSetText);
      ShowRowPart(row, L"ServSet", true);
      if (!LauncherServiceRegistered(ServicesOf(ctx_))) OpenSettingsDialog(3, L"autoRun3");
    }
  }
}
