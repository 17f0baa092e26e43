#include "windows/DlgConfig.h"

#include <shellapi.h>

#include "core/ConfigFile.h"
#include "core/StrUtil.h"
#include "core/SysUtil.h"
#include "core/ToolContext.h"
#include "net/Endpoints.h"
#include "net/Statistics.h"
#include "net/ToolConfig.h"

#ifdef QV_HAVE_LAUNCHER
#include "app/LauncherService.h"
#endif

using namespace DuiLib;

namespace {
// Pop-up, visible, caption with system menu and border, clipping children and siblings.
constexpr DWORD kDialogStyle = 0x96C80000;

template <typename T>
T* FindAs(CSkinManager& pm, const wchar_t* name) {
  return dynamic_cast<T*>(pm.FindControl(name));
}

std::vector<CDlgConfig*>& Dialogs() {
  static std::vector<CDlgConfig*> dialogs;
  return dialogs;
}

bool StartupRepairRegistered() {
#ifdef QV_HAVE_LAUNCHER
  return LauncherServiceExists();
#else
  return false;
#endif
}

void SwitchStartupRepair(bool enabled) {
#ifdef QV_HAVE_LAUNCHER
  SetStartupRepair(enabled);
#else
  (void)enabled;
#endif
}
}  // namespace

CDlgConfig* CDlgConfig::Open(HWND owner, int page, const wchar_t* checkBox) {
  auto* dialog = new CDlgConfig();
  if (!dialog->Create(owner, L"DlgConfig", kDialogStyle, 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT)) {
    return nullptr;  // whether the framework already released it is unknown; leave it
  }
  Dialogs().push_back(dialog);
  if (dialog->mainSwitch_ && dialog->mainSwitch_->GetCurSel() != page) dialog->mainSwitch_->SelectItem(page);
  dialog->CenterWindow();
  ::ShowWindow(dialog->GetHWND(), SW_SHOWNORMAL);
  dialog->activeCheck_ = FindAs<CCheckBoxUI>(dialog->m_pm, checkBox);
  if (dialog->activeCheck_) dialog->activeCheck_->Selected(true);
  return dialog;
}

CDlgConfig::CDlgConfig() : version_(WideToAnsi(GetFileVersionString(GetModulePath()))) {}

CDlgConfig::~CDlgConfig() = default;

void CDlgConfig::OnSkinReady() {
  CCheckBoxUI* autoRun = FindAs<CCheckBoxUI>(m_pm, L"autoRun");
  mainSwitch_ = FindAs<CTabLayoutUI>(m_pm, L"mainSwitch");
  helperbtn_ = FindAs<CButtonUI>(m_pm, L"helperbtn");
  settingip_ = FindAs<CLabelUI>(m_pm, L"settingip");
  activeCheck_ = autoRun;
  if (autoRun) autoRun->Selected(ReadSetting("checked") == "1");
}

void CDlgConfig::OnNotification(NotifyRecord& msg) {
  if (msg.type == L"click" && msg.sender) {
    const std::wstring& name = msg.sender->GetName();
    if (name == L"ok") {
      ApplyChoice();
      CloseDialog();
    } else if (name == L"cancel" || name == L"close") {
      CloseDialog();
    } else if (name == L"checkip") {
      QueryRegion();
    } else if (msg.sender == helperbtn_) {
      const std::wstring url = AnsiToWide(VendorWebUrl(kSupportPagePath));
      ::ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
  }
  // Every notification also takes the base's way: its OnClick closes on "closebtn".
  WindowImplBase::OnNotification(msg);
}

LRESULT CDlgConfig::OnClose(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
  // Nothing is applied: the window goes as it does after "取消".
  closing_ = true;
  return WindowImplBase::OnClose(msg, wParam, lParam, handled);
}

LRESULT CDlgConfig::MessageFilter(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
  LRESULT result = WindowImplBase::MessageFilter(msg, wParam, lParam, handled);
  if (msg != WM_KEYDOWN || closing_) return result;
  if (wParam == VK_ESCAPE) {
    handled = true;
    CloseDialog();
  } else if (wParam == VK_RETURN && ShownPageButton(L"ok")) {
    // Consumed, so that a focused check box or button does not also take the key.
    handled = true;
    ApplyChoice();
    CloseDialog();
  }
  return result;
}

CControlUI* CDlgConfig::ShownPageButton(const wchar_t* name) {
  if (!mainSwitch_) return nullptr;
  CControlUI* page = mainSwitch_->GetItemAt(mainSwitch_->GetCurSel());
  return page ? page->FindSubControl(name) : nullptr;
}

void CDlgConfig::OnWindowDestroyed(HWND window) {
  WindowImplBase::OnWindowDestroyed(window);
  std::vector<CDlgConfig*>& dialogs = Dialogs();
  std::erase(dialogs, this);
  delete this;
}

const std::vector<CDlgConfig*>& CDlgConfig::OpenDialogs() { return Dialogs(); }

void CDlgConfig::ApplyChoice() {
  const bool wanted = activeCheck_ && activeCheck_->IsSelected();
  if (wanted == StartupRepairRegistered()) return;
  SwitchStartupRepair(wanted);
  // The report thread gets copies; the dialog may be gone before it ends.
  ReportArgs args;
  args.version = version_;
  args.registerChecked = wanted;
  if (HANDLE thread = StartReportThread(ReportRegisterBoot, args)) ::CloseHandle(thread);
}

void CDlgConfig::CloseDialog() {
  closing_ = true;
  if (::IsWindow(GetHWND())) ::ShowWindow(GetHWND(), SW_HIDE);
  if (::IsWindow(GetHWND())) ::PostMessageW(GetHWND(), WM_CLOSE, 1, 0);
}

void CDlgConfig::QueryRegion() {
  if (mainSwitch_) mainSwitch_->SelectItem(2);
  ToolConfig config;
  FetchToolConfig(GetToolContext(), config);
  if (settingip_) settingip_->SetText(L"您的IP：" + AnsiToWide(GetConfiguredIp()));
}
