// Drives a skinned window in the test's own thread: pumps its messages, clicks controls with
// real mouse messages at their centres and reads controls through the window's manager.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "tests/wine/screen_png.h"
#include "ui/DuiLib.h"

namespace uitest {

// Set when a WM_QUIT went through Pump; tests clear it themselves.
inline bool& QuitSeen() {
  static bool seen = false;
  return seen;
}

inline void PumpOnce() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      QuitSeen() = true;
      continue;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

inline void Pump(DWORD ms) {
  const DWORD start = ::GetTickCount();
  do {
    PumpOnce();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  } while (::GetTickCount() - start < ms);
  PumpOnce();
}

// Pumps until `done` holds or `ms` have passed; returns `done`'s last answer.
inline bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    PumpOnce();
    if (done()) return true;
    if (::GetTickCount() - start > ms) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

// Left click at the centre of `control`, as the mouse would deliver it.
inline bool Click(HWND window, DuiLib::CControlUI* control) {
  if (!control) return false;
  const RECT& rc = control->GetPos();
  const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
  ::PostMessageW(window, WM_MOUSEMOVE, 0, at);
  ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::PostMessageW(window, WM_LBUTTONUP, 0, at);
  Pump(60);
  return true;
}

// The same click, handled before this returns and without pumping anything else: what the
// click handler itself changed can be read before any worker's updates arrive.
inline bool ClickNow(HWND window, DuiLib::CControlUI* control) {
  if (!control) return false;
  // A control shown since the last paint gets its place when the window is laid out; painting
  // now does that without handling anything else that waits in the queue.
  ::UpdateWindow(window);
  const RECT& rc = control->GetPos();
  const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
  ::SendMessageW(window, WM_MOUSEMOVE, 0, at);
  ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageW(window, WM_LBUTTONUP, 0, at);
  return true;
}

// The screen's pixels under the window and `margin` around it (the shadow), saved as PNG.
inline bool SaveScreenPng(HWND window, const std::wstring& path, int margin = 20) {
  RECT rc{};
  if (!::GetWindowRect(window, &rc)) return false;
  return screenpng::SaveScreenArea({rc.left - margin, rc.top - margin, rc.right + margin, rc.bottom + margin}, path);
}

inline std::string Utf8(const std::wstring& text) {
  if (text.empty()) return "";
  int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(n, '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace uitest
