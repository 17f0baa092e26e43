#include "plugin/QuorvanePlugUnstallWnd.h"

namespace plug {

bool CQuorvanePlugUnstallWnd::FindRequiredControls() {
  tab_ = dynamic_cast<DuiLib::CTabLayoutUI*>(FindControl(L"wizardTab"));
  progressLabel_ = FindControl(L"uninstall_Pro_Info");
  progressBar_ = dynamic_cast<DuiLib::CProgressUI*>(FindControl(L"uninstall_progress"));
  return tab_ != nullptr && progressLabel_ != nullptr && progressBar_ != nullptr;
}

LRESULT CQuorvanePlugUnstallWnd::OnAppMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
  if (msg == kMsgUninstallShowUninstalling) {
    ShowWorkingPage(); // not marked handled
  } else if (msg == kMsgUninstallShowFinish) {
    ::SetTimer(GetHWND(), kFinishPageTimer, kWizardTimerMs, nullptr);
  } else if (msg == WM_TIMER && wParam == kFinishPageTimer) {
    // The finish page; a counting timer 11 may go on behind it on the hidden page.
    if (tab_ != nullptr) tab_->SelectItem(2);
    progress_.Reset();
    ::KillTimer(GetHWND(), kFinishPageTimer);
  }
  return CQuorvanePlugBaseWnd::OnAppMessage(msg, wParam, lParam, handled);
}

} // namespace plug
