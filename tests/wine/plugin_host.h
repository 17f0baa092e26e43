// The installer's side of the plug-in, played by the tests: a string stack of GlobalAlloc'd
// entries, installer services that record what the plug-in asks for, calls of the exports as
// a script makes them, and the window helpers (message pump, clicks, screenshots) around them.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/wine/screen_png.h"

namespace plughost {

struct Entry {
  Entry* next;
  char text[1];
};

struct Extra {
  void* execFlags;
  int(WINAPI* ExecuteCodeSegment)(int, HWND);
  void(WINAPI* ValidateFilename)(char*);
  int(WINAPI* RegisterPluginCallback)(HMODULE, UINT_PTR (*)(int));
};

using ExportFn = void (*)(HWND, int, char*, Entry**, Extra*);

// What the plug-in asked of the installer.
struct InstallerLog {
  std::vector<std::pair<int, HWND>> executed;  // ExecuteCodeSegment(address, parent)
  std::vector<std::pair<HMODULE, UINT_PTR (*)(int)>> callbacks;
  // Script functions by the address ExecuteCodeSegment receives; they may call exports.
  std::map<int, std::function<void()>> functions;
};

inline InstallerLog& Log() {
  static InstallerLog log;
  return log;
}

inline int WINAPI ExecuteCodeSegment(int address, HWND parent) {
  Log().executed.emplace_back(address, parent);
  auto fn = Log().functions.find(address);
  if (fn != Log().functions.end()) fn->second();
  return 0;
}

inline int WINAPI RegisterPluginCallback(HMODULE module, UINT_PTR (*callback)(int)) {
  Log().callbacks.emplace_back(module, callback);
  return 0;
}

class Installer {
 public:
  explicit Installer(const wchar_t* dllPath) {
    module_ = ::LoadLibraryW(dllPath);
    extra_.ExecuteCodeSegment = &ExecuteCodeSegment;
    extra_.RegisterPluginCallback = &RegisterPluginCallback;
  }
  ~Installer() { Clear(); }  // the library stays loaded: its windows may outlive us

  HMODULE Module() const { return module_; }
  void SetStringSize(int size) { stringSize_ = size; }

  void Push(const std::string& text) {
    auto* e = static_cast<Entry*>(::GlobalAlloc(GPTR, sizeof(Entry) + stringSize_));
    strncpy(e->text, text.c_str(), stringSize_ - 1);
    e->next = top_;
    top_ = e;
  }
  // False on an empty stack.
  bool Pop(std::string* text) {
    if (top_ == nullptr) return false;
    Entry* e = top_;
    *text = std::string(e->text, strnlen(e->text, stringSize_));
    top_ = e->next;
    ::GlobalFree(e);
    return true;
  }
  std::string PopOr(const std::string& fallback) {
    std::string text;
    return Pop(&text) ? text : fallback;
  }
  size_t Depth() const {
    size_t n = 0;
    for (Entry* e = top_; e != nullptr; e = e->next) ++n;
    return n;
  }
  void Clear() {
    std::string ignored;
    while (Pop(&ignored)) {
    }
  }

  // Calls an export as `nsQuorvanePlug::name a b c` does: the first text ends on top.
  void Call(const char* name, const std::vector<std::string>& args = {}) {
    for (auto it = args.rbegin(); it != args.rend(); ++it) Push(*it);
    auto fn = reinterpret_cast<ExportFn>(reinterpret_cast<void*>(::GetProcAddress(module_, name)));
    if (fn == nullptr) throw std::runtime_error(std::string("no export ") + name);
    char variables[1024 * 25] = {};
    fn(nullptr, stringSize_, variables, &top_, &extra_);
  }

 private:
  HMODULE module_ = nullptr;
  Entry* top_ = nullptr;
  int stringSize_ = 1024;
  Extra extra_ = {};
};

// Dispatches this thread's messages for `ms` milliseconds.
inline void Pump(DWORD ms) {
  DWORD end = ::GetTickCount() + ms;
  for (;;) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    DWORD now = ::GetTickCount();
    if (static_cast<int>(end - now) <= 0) return;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
  }
}

// Dispatches messages one at a time until `done` holds (checked after each) or time runs out.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  DWORD end = ::GetTickCount() + timeoutMs;
  while (!done()) {
    MSG msg;
    if (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
      continue;
    }
    DWORD now = ::GetTickCount();
    if (static_cast<int>(end - now) <= 0) return done();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
  }
  return true;
}

// A left click at a client point, delivered as the mouse would deliver it.
inline void Click(HWND hwnd, int x, int y) {
  LPARAM at = MAKELPARAM(x, y);
  ::PostMessageW(hwnd, WM_MOUSEMOVE, 0, at);
  ::PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::PostMessageW(hwnd, WM_LBUTTONUP, 0, at);
}

// The window's pixels as the screen shows them, saved as PNG.
inline bool SaveWindowPng(HWND hwnd, const std::wstring& path) {
  RECT rc;
  if (!::GetWindowRect(hwnd, &rc)) return false;
  return screenpng::SaveScreenArea(rc, path);
}

// The colour of one client pixel as the screen shows it.
inline COLORREF ClientPixel(HWND hwnd, int x, int y) {
  POINT pt = {x, y};
  ::ClientToScreen(hwnd, &pt);
  HDC screen = ::GetDC(nullptr);
  COLORREF c = ::GetPixel(screen, pt.x, pt.y);
  ::ReleaseDC(nullptr, screen);
  return c;
}

inline std::string Narrow(const std::wstring& wide) {
  int n = ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string s(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, s.data(), n, nullptr, nullptr);
  return s;
}

// Wine's X11 driver waits up to 2 s for a window manager each time a managed window is hidden
// or destroyed; Xvfb has none. Windows of `program` (an .exe file name) are left unmanaged, which
// Wine reads when the program's first window is made.
inline void LeaveWindowsUnmanaged(const std::wstring& program) {
  std::wstring key = L"Software\\Wine\\AppDefaults\\" + program + L"\\X11 Driver";
  ::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"Managed", REG_SZ, L"N", 2 * sizeof(wchar_t));
}

inline std::wstring ClassOf(HWND hwnd) {
  wchar_t name[128] = {};
  ::GetClassNameW(hwnd, name, 128);
  return name;
}

}  // namespace plughost
