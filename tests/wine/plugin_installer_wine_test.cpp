// The product's installer script, built by makensis as an amd64-unicode installer around the
// Unicode plug-in, run under Wine + Xvfb and clicked through like a person would: change the
// folder in the shell's chooser, install, then uninstall with the installed uninstaller.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/wine/plugin_host.h"
#include "tests/wine/wizard_driver.h"

namespace {

namespace fs = std::filesystem;

using namespace wizdrive;

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
  ::UpdateWindow(hwnd);  // the screen shows what the last paint drew
  EXPECT_TRUE(plughost::SaveWindowPng(hwnd, std::wstring(QV_SHOT_DIR) + L"/" + name + L".png"));
}

// Picks `folder` in the installer's folder chooser.
void ChooseFolderOf(DWORD pid, const std::wstring& folder) {
  HWND dialog = FindVisibleWindow(L"#32770", pid, 10000);
  ASSERT_NE(dialog, nullptr) << "no folder chooser";
  ::Sleep(300);
  ASSERT_TRUE(ChooseFolder(dialog, pid, folder));
}

// Ends a process of the test that is still running when the test stops early, so that its
// window cannot be mistaken for the next run's.
class EndOnExit {
 public:
  explicit EndOnExit(HANDLE process) : process_(process) {}
  ~EndOnExit() {
    if (::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) ::TerminateProcess(process_, 1);
    ::CloseHandle(process_);
  }
  EndOnExit(const EndOnExit&) = delete;
  EndOnExit& operator=(const EndOnExit&) = delete;

 private:
  HANDLE process_;
};

// The exit code of `process`; a process still running after 30 s is ended so that it cannot
// get in the way of later runs.
DWORD WaitExit(HANDLE process) {
  bool ended = ::WaitForSingleObject(process, 30000) == WAIT_OBJECT_0;
  EXPECT_TRUE(ended);
  if (!ended) ::TerminateProcess(process, 12345);
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
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  std::wstring command = L"\"" QV_TEST_INSTALLER L"\"";
  ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  ::CloseHandle(pi.hThread);
  EndOnExit installer(pi.hProcess);
  HWND wizard = FindVisibleWindow(L"QuorvanePlugInstallWnd", pi.dwProcessId, 30000);
  ASSERT_NE(wizard, nullptr);
  ASSERT_TRUE(WaitPainted(wizard, kInstallBtn));
  Shot(wizard, L"real_install_page0");

  ClickAndSettle(wizard, kChangeFolderBtn);
  ChooseFolderOf(pi.dwProcessId, parent.wstring());
  Shot(wizard, L"real_install_page0_folder");
  const ULONGLONG installStart = Now();
  ClickAndSettle(wizard, kInstallBtn);
  EXPECT_EQ(WaitExit(pi.hProcess), 0u);
#ifdef QV_HAS_APP
  // The finish starts the installed program; closed from outside, it ends.
  HWND program = FindVisibleWindow(L"ToolWnd", 0, 30000, L"Quorvane.exe", installStart);
  EXPECT_NE(program, nullptr) << "the installed program did not open after the finish";
  if (program != nullptr) {
    DWORD programPid = 0;
    ::GetWindowThreadProcessId(program, &programPid);
    HANDLE app = ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, FALSE, programPid);
    ASSERT_NE(app, nullptr);
    EndOnExit appEnds(app);
    ::PostMessageW(program, WM_CLOSE, 0, 0);
    EXPECT_EQ(::WaitForSingleObject(app, 15000), WAIT_OBJECT_0) << "the program did not end when closed";
  }
#endif

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
                              "GetInstallDir C:\\QvWizardTarget\\Quorvane\r\n"  // $INSTDIR drops the backslash
                              "Installed\r\n"),
            std::string::npos)
      << installTrace;

  // ---- uninstall: the uninstaller runs a copy of itself from the temporary folder
  fs::remove(trace);
  std::wstring uninstall = L"\"" + (target / L"uninst.exe").wstring() + L"\"";
  const ULONGLONG uninstallStart = Now();
  ASSERT_TRUE(::CreateProcessW(nullptr, uninstall.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  // The copy is the installer's uninstaller program under its temporary name.
  HWND unwizard = FindVisibleWindow(L"QuorvanePlugUninstallWnd", 0, 30000, L"Un.exe", uninstallStart);
  ASSERT_NE(unwizard, nullptr);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(unwizard, &pid);
  HANDLE copy = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, pid);
  ASSERT_NE(copy, nullptr);
  EndOnExit uninstaller(copy);
  ASSERT_TRUE(WaitPainted(unwizard, kUninstallBtn));
  Shot(unwizard, L"real_uninstall_page0");
  ClickAndSettle(unwizard, kUninstallBtn);
  for (int i = 0; i < 100 && ReadTrace(trace).find("un.Removed") == std::string::npos; ++i) ::Sleep(100);
  ::Sleep(500);
  Shot(unwizard, L"real_uninstall_page2");
  ClickAndSettle(unwizard, kFinishBtn);
  EXPECT_EQ(WaitExit(copy), 0u);

  EXPECT_FALSE(fs::exists(target)) << "install folder left behind";
  std::string uninstallTrace = ReadTrace(trace);
  EXPECT_NE(uninstallTrace.find("un.ShowMainWnd\r\nun.UninstallServ\r\nun.Removed\r\nun.ExitNsDui\r\n"),
            std::string::npos)
      << uninstallTrace;
  fs::remove_all(parent);
}

}  // namespace
