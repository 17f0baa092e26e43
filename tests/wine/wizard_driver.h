// Driving a real installer from another process, as a person would: the product wizard skins'
// click points, finding the windows of processes the test started, waiting for the first paint
// and choosing a folder in the shell's chooser. Shared by the Wine installer test and the
// release lifecycle driver.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <filesystem>
#include <string>

#include "tests/wine/plugin_host.h"

namespace wizdrive {

// Client points of the product's wizard skins (packaging/skin_install, skin_uninstall).
constexpr POINT kInstallBtn = {293, 180};
constexpr POINT kChangeFolderBtn = {470, 246};
constexpr POINT kUninstallBtn = {223, 220};
constexpr POINT kFinishBtn = {293, 262};
constexpr POINT kCloseBtn = {560, 14};

inline ULONGLONG Now() {
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  return (ULONGLONG(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

// The file name of the program of a process started at or after `since`, or empty text.
inline std::wstring ProgramStartedAfter(DWORD pid, ULONGLONG since) {
  HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (process == nullptr) return {};
  wchar_t path[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  FILETIME created, exited, kernel, user;
  bool ok = ::QueryFullProcessImageNameW(process, 0, path, &size) &&
            ::GetProcessTimes(process, &created, &exited, &kernel, &user) &&
            ((ULONGLONG(created.dwHighDateTime) << 32) | created.dwLowDateTime) >= since;
  ::CloseHandle(process);
  return ok ? std::filesystem::path(path).filename().wstring() : std::wstring();
}

struct WindowSearch {
  const wchar_t* windowClass;
  DWORD pid;
  const wchar_t* program;
  ULONGLONG since;
  HWND hwnd;
};

// An EnumWindows callback: the Windows calling convention, which a lambda lacks on x86.
inline BOOL CALLBACK MatchWindow(HWND w, LPARAM p) {
  auto* s = reinterpret_cast<WindowSearch*>(p);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(w, &owner);
  if (!::IsWindowVisible(w) || plughost::ClassOf(w) != s->windowClass) return TRUE;
  if (s->pid != 0 && s->pid != owner) return TRUE;
  if (s->pid == 0) {
    std::wstring program = ProgramStartedAfter(owner, s->since);
    if (program.empty() || (s->program[0] != 0 && _wcsicmp(program.c_str(), s->program) != 0)) return TRUE;
  }
  s->hwnd = w;
  return FALSE;
}

// A visible window of `windowClass` that belongs to process `pid`, or (pid 0) to a process
// started after `since` that runs `program` (any program when it is empty): another test, or
// what a failed run left behind, may show a window of the same class.
inline HWND FindVisibleWindow(const wchar_t* windowClass, DWORD pid, DWORD timeoutMs, const wchar_t* program = L"",
                              ULONGLONG since = 0) {
  DWORD end = ::GetTickCount() + timeoutMs;
  do {
    WindowSearch s = {windowClass, pid, program, since, nullptr};
    ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&s));
    if (s.hwnd != nullptr) return s.hwnd;
    ::Sleep(100);
  } while (static_cast<int>(::GetTickCount() - end) < 0);
  return nullptr;
}

// Waits until the window has laid out and painted: `at` (a point on a coloured control) shows
// something other than black. Posted clicks would otherwise overtake the first paint, which is
// when the controls get their places, and hit nothing.
inline bool WaitPainted(HWND hwnd, POINT at) {
  for (int i = 0; i < 200; ++i) {
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored);
    if (plughost::ClientPixel(hwnd, at.x, at.y) != RGB(0, 0, 0)) return true;
    ::Sleep(100);
  }
  return false;
}

// Selects `folder` in process `pid`'s folder chooser `dialog` (the path has to live in that
// process) and confirms it; true once the chooser has closed.
inline bool ChooseFolder(HWND dialog, DWORD pid, const std::wstring& folder) {
  HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
  if (process == nullptr) return false;
  size_t bytes = (folder.size() + 1) * sizeof(wchar_t);
  void* remote = ::VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
  bool ok = remote != nullptr && ::WriteProcessMemory(process, remote, folder.c_str(), bytes, nullptr);
  if (ok) {
    ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(remote));
    ::Sleep(200);
    ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 100 && ::IsWindow(dialog); ++i) ::Sleep(50);
    ok = !::IsWindow(dialog);
    ::Sleep(200);
  }
  if (remote != nullptr) ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  ::CloseHandle(process);
  return ok;
}

}  // namespace wizdrive
