// Quorvane.exe: one executable, four modes chosen by a word in the command line.
#include <windows.h>
#include <objbase.h>

#include <string>

#include "app/RunMode.h"
#include "core/ScopedHandle.h"
#include "core/SysUtil.h"

#ifdef QV_HAVE_DUILIB
#include "ui/DuiLib.h"
#endif
#ifdef QV_HAVE_TOOLWND
#include "windows/ToolWnd.h"
#endif
#ifdef QV_HAVE_BOOT
#include "app/BootRepair.h"
#include "app/LauncherService.h"
#endif

namespace {

void RunLauncher(const std::wstring& modulePath) {
#ifdef QV_HAVE_BOOT
  LaunchBootRepairProcess(modulePath);
#else
  (void)modulePath;
#endif
}

void RunBootRepair() {
#ifdef QV_HAVE_BOOT
  CBootRepair pass;
  pass.Run();
#endif
}

void RunRemoveService() {
  ScopedScHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  if (!manager) return;
#ifdef QV_HAVE_BOOT
  StopAndDeleteLauncherService(manager.Get());
#endif
}

void RunInteractive() {
#ifdef QV_HAVE_TOOLWND
  // Never deleted explicitly: the process ends after the loop, and GoOfficialNet may end it
  // from inside the window.
  CToolWnd* window = new CToolWnd();
  window->Create(nullptr, L"Quorvane", 0x00020100, WS_EX_WINDOWEDGE, CW_USEDEFAULT, CW_USEDEFAULT,
                 CW_USEDEFAULT, CW_USEDEFAULT);
  ::ShowWindow(window->GetHWND(), SW_SHOW);
  DuiLib::CSkinManager::MessageLoop();
#endif
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
#ifdef QV_HAVE_DUILIB
  DuiLib::CSkinManager::SetInstance(instance);
  DuiLib::CShadowUI::Initialize(instance);
#else
  (void)instance;
#endif
  if (FAILED(::CoInitialize(nullptr))) return 0;

  wchar_t modulePath[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, modulePath, MAX_PATH);
  std::wstring command = commandLine ? commandLine : L"";

  switch (ChooseRunMode(command)) {
    case RunMode::Launcher:
      RunLauncher(modulePath);
      break;
    case RunMode::BootRepair:
      RunBootRepair();
      break;
    case RunMode::RemoveService:
      RunRemoveService();
      break;
    case RunMode::Interactive:
      RunInteractive();
      break;
  }

  ::CoUninitialize();
  return 0;
}
