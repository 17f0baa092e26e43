// InitWnd's window side: the framework set up for the plug-in module and the installer's
// skin folder, then the wizard window of the asked kind.
#include "plugin/PlugRules.h"
#include "plugin/PlugWindow.h"
#include "plugin/QuorvanePlugInstallWnd.h"
#include "plugin/QuorvanePlugUnstallWnd.h"

namespace plug {

IPlugWindow* OpenWizardWindow(HMODULE module, const std::wstring& kind, const std::wstring& skinFolder,
                              const std::wstring& skinFile) {
  DuiLib::CSkinManager::SetInstance(module);
  DuiLib::CShadowUI::Initialize(module);
  DuiLib::CSkinManager::SetSkinRootPath(skinFolder);

  CQuorvanePlugBaseWnd* window = nullptr;
  if (EqualsNoCase(kind, L"install")) {
    window = new CQuorvanePlugInstallWnd(skinFile);
  } else if (EqualsNoCase(kind, L"uninstall")) {
    window = new CQuorvanePlugUnstallWnd(skinFile);
  } else {
    return nullptr;
  }
  // The skin's size replaces the empty size while the window is created.
  HWND hwnd = window->Create(nullptr, L"Quorvane修复工具", WS_VISIBLE | WS_OVERLAPPEDWINDOW,
                             WS_EX_APPWINDOW | WS_EX_STATICEDGE, 0, 0, 0, 0);
  if (hwnd == nullptr) return nullptr; // a failed creation has already run the destroy path, if any
  window->CenterWindow();
  ::ShowWindow(hwnd, SW_HIDE);
  return window;
}

} // namespace plug
