#include "plugin/QuorvanePlugBaseWnd.h"

#include "plugin/PlugState.h"

namespace plug {

DuiLib::CControlUI* CQuorvanePlugBaseWnd::FindControl(const std::wstring& name) {
  return m_pm.FindControl(name);
}

void CQuorvanePlugBaseWnd::BindScript(const std::wstring& name, int address) { bindings_[name] = address; }

bool CQuorvanePlugBaseWnd::GetControlText(const std::wstring& name, std::wstring* text) {
  DuiLib::CControlUI* control = FindControl(name);
  if (control == nullptr) return false;
  *text = control->GetText();
  return true;
}

bool CQuorvanePlugBaseWnd::SetControlText(const std::wstring& name, const std::wstring& text) {
  DuiLib::CControlUI* control = FindControl(name);
  if (control == nullptr) return false;
  control->SetText(text);
  return true;
}

LRESULT CQuorvanePlugBaseWnd::RouteMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCLBUTTONDBLCLK) return 0;
  return WindowImplBase::RouteMessage(msg, wParam, lParam);
}

void CQuorvanePlugBaseWnd::OnWindowDestroyed(HWND window) {
  WindowImplBase::OnWindowDestroyed(window);
  ForgetWindow(this);
  delete this;
}

void CQuorvanePlugBaseWnd::OnSkinReady() {
  CenterWindow();
  if (!FindRequiredControls()) {
    // Not a usable wizard: close before any page is shown; the script sees no window.
    Close(1);
    return;
  }
  ready_ = true;
  tab_->SelectItem(0);
}

void CQuorvanePlugBaseWnd::OnNotification(DuiLib::NotifyRecord& msg) {
  if (msg.type != L"click" || msg.sender == nullptr) return;
  if (OnOwnClick(msg)) return;
  auto bound = bindings_.find(msg.sender->GetName());
  if (bound != bindings_.end()) {
    // The script function may end the process or destroy this window: nothing of this
    // object is touched after it returns.
    RunScriptFunction(bound->second);
    return;
  }
  OnClick(msg);
}

void CQuorvanePlugBaseWnd::SetProgressValue(int value) {
  if (!ready_) return;
  ShowProgress(progress_.SetValue(value, progressBar_->GetValue()));
}

void CQuorvanePlugBaseWnd::ShowWorkingPage() {
  if (!ready_) return;
  tab_->SelectItem(1);
  ::SetTimer(GetHWND(), kProgressTimer, kWizardTimerMs, nullptr);
}

void CQuorvanePlugBaseWnd::OnProgressTick() {
  if (!ready_) return;
  WizardProgress::Step step = progress_.Tick();
  ShowProgress(step);
  if (step.stopTimer) ::KillTimer(GetHWND(), kProgressTimer);
}

void CQuorvanePlugBaseWnd::ShowProgress(const WizardProgress::Step& step) {
  if (step.showText) {
    wchar_t text[64];
    swprintf(text, sizeof(text) / sizeof(text[0]), ProgressFormat(), step.value);
    progressLabel_->SetText(text);
  }
  if (step.setBar) progressBar_->SetValue(step.value);
}

LRESULT CQuorvanePlugBaseWnd::OnAppMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
  (void)lParam;
  if (msg == WM_TIMER && wParam == kProgressTimer) {
    OnProgressTick(); // left unhandled so the skin's own control timers keep running
  } else if (msg == kMsgSetMinimize) {
    SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    handled = true;
  }
  return 0;
}

} // namespace plug
