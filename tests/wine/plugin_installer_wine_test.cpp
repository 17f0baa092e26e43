// The product's installer script, built by makensis as an amd64-unicode installer around the
// Unicode plug-in, run under Wine + Xvfb and clicked through like a person would: change the
// folder in the shell's chooser, install, then uninstall with the installed uninstaller.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/wine/plugin_host.h"

namespace {

namespace fs = std::filesystem;

// Client points of the product skins' controls.
constexpr POINT kInstallBtn = {293, 180};
constexpr POINT kChangeFolderBtn = {470, 246};
constexpr POINT kUninstallBtn = {223, 220};
constexpr POINT kFinishBtn = {293, 262};

struct Found {
  const wchar_t* windowClass;
  DWORD pid; // 0: any process
  HWND hwnd;
};

HWND FindVisibleWindow(const wchar_t* windowClass, DWORD pid, DWORD timeoutMs) {
  DWORD end = ::GetTickCount() + timeoutMs;
  do {
    Found f = {windowClass, pid, nullptr};
    ::EnumWindows([](HWND w, LPARAM p) -> BOOL {
      auto* f = reinterpret_cast<Found*>(p);
      DWORD owner = 0;
      ::GetWindowThreadProcessId(w, &owner);
      if (::IsWindowVisible(w) && plughost::ClassOf(w) == f->windowClass && (f->pid == 0 || f->pid == owner)) {
        f->hwnd = w;
        return FALSE;
      }
      return TRUE;
    }, reinterpret_cast<LPARAM>(&f));
    if (f.hwnd != nullptr) return f.hwnd;
    ::Sleep(100);
  } while (static_cast<int>(::GetTickCount() - end) < 0);
  return nullptr;
}

void ClickAndSettle(HWND hwnd, POINT at) {
  plughost::Click(hwnd, at.x, at.y);
  ::Sleep(400);
}

std::string ReadTrace(const fs::path& trace) {
  std::stringstream text;
  text << std::ifstream(trace, std::ios::binary).rdbuf();
  return text.str();
}

void Shot(HWND hwnd, const wchar_t* name) {
  fs::create_directories(QV_SHOT_DIR);
  ::UpdateWindow(hwnd); // the screen shows what the last paint drew
  EXPECT_TRUE(plughost::SaveWindowPng(hwnd, std::wstring(QV_SHOT_DIR) + L"/" + name + L".png"));
}

// Picks `folder` in another process's folder chooser: the path has to live in that process.
void ChooseFolder(DWORD pid, const std::wstring& folder) {
  HWND dialog = FindVisibleWindow(L"#32770", pid, 10000);
  ASSERT_NE(dialog, nullptr) << "no folder chooser";
  ::Sleep(300);
  HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
  ASSERT_NE(process, nullptr);
  size_t bytes = (folder.size() + 1) * sizeof(wchar_t);
  void* remote = ::VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
  ASSERT_NE(remote, nullptr);
  ::WriteProcessMemory(process, remote, folder.c_str(), bytes, nullptr);
  ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(remote));
  ::Sleep(200);
  ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  for (int i = 0; i < 100 && ::IsWindow(dialog); ++i) ::Sleep(50);
  ::Sleep(200);
  ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  ::CloseHandle(process);
}

DWORD WaitExit(HANDLE process) {
  EXPECT_EQ(::WaitForSingleObject(process, 30000), WAIT_OBJECT_0);
  DWORD code = 12345;
  ::GetExitCodeProcess(process, &code);
  return code;
}

TEST(RealInstaller, InstallsIntoTheChosenFolderThenUninstalls) {
  wchar_t temp[MAX_PATH];
  ::GetTempPathW(MAX_PATH, temp);
  const fs::path trace = fs::path(temp) / L"qv_wizard_trace.txt";
  const fs::path parent = L"C:\\QvWizardTarget";
  const fs::path target = parent / L"Quorvane";
  fs::remove(trace);
  fs::remove_all(parent);
  fs::create_directories(parent);

  // ---- install
  STARTUPINFOW si = {sizeof(si)};
  PROCESS_INFORMATION pi = {};
  std::wstring command = L"\"" QV_TEST_INSTALLER L"\"";
  ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  HWND wizard = FindVisibleWindow(L"QuorvanePlugInstallWnd", pi.dwProcessId, 30000);
  ASSERT_NE(wizard, nullptr);
  ::Sleep(500);
  Shot(wizard, L"real_install_page0");

  ClickAndSettle(wizard, kChangeFolderBtn);
  ChooseFolder(pi.dwProcessId, parent.wstring());
  Shot(wizard, L"real_install_page0_folder");
  ClickAndSettle(wizard, kInstallBtn);
  EXPECT_EQ(WaitExit(pi.hProcess), 0u);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);

  EXPECT_TRUE(fs::exists(target / L"uninst.exe"));
#ifdef QV_HAS_APP
  EXPECT_TRUE(fs::exists(target / L"Quorvane.exe"));
#endif
  std::string installTrace = ReadTrace(trace);
  EXPECT_NE(installTrace.find("InitWnd "), std::string::npos) << installTrace;
  size_t init = installTrace.find("InitWnd ");
  EXPECT_NE(installTrace.substr(init, 10), "InitWnd 0\r") << installTrace;
  EXPECT_NE(installTrace.find("ShowMainWnd\r\n"
                              "SelectInstallDir C:\\QvWizardTarget\\Quorvane\\\r\n"
                              "GetInstallDir C:\\QvWizardTarget\\Quorvane\r\n" // $INSTDIR drops the backslash
                              "Installed\r\n"),
            std::string::npos)
      << installTrace;

  // ---- uninstall: the uninstaller runs a copy of itself from the temporary folder
  fs::remove(trace);
  std::wstring uninstall = L"\"" + (target / L"uninst.exe").wstring() + L"\"";
  ASSERT_TRUE(::CreateProcessW(nullptr, uninstall.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  HWND unwizard = FindVisibleWindow(L"QuorvanePlugUninstallWnd", 0, 30000);
  ASSERT_NE(unwizard, nullptr);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(unwizard, &pid);
  HANDLE copy = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
  ASSERT_NE(copy, nullptr);
  ::Sleep(500);
  Shot(unwizard, L"real_uninstall_page0");
  ClickAndSettle(unwizard, kUninstallBtn);
  for (int i = 0; i < 100 && ReadTrace(trace).find("un.Removed") == std::string::npos; ++i) ::Sleep(100);
  ::Sleep(500);
  Shot(unwizard, L"real_uninstall_page2");
  ClickAndSettle(unwizard, kFinishBtn);
  EXPECT_EQ(WaitExit(copy), 0u);
  ::CloseHandle(copy);

  EXPECT_FALSE(fs::exists(target)) << "install folder left behind";
  std::string uninstallTrace = ReadTrace(trace);
  EXPECT_NE(uninstallTrace.find("un.ShowMainWnd\r\nun.UninstallServ\r\nun.Removed\r\nun.ExitNsDui\r\n"), std::string::npos)
      << uninstallTrace;
  fs::remove_all(parent);
}

} // namespace
