// A skinned test window built from a skin folder written by the test, recording what
// reaches it: notifications (with the sender's selection at that moment), close requests
// and application messages.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/DuiLib.h"

namespace uitest {

struct Seen {
  std::wstring type;
  std::wstring sender;
  bool selected = false;  // an option's selection when the notification arrived
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

class TestWnd : public DuiLib::WindowImplBase {
 public:
  explicit TestWnd(std::wstring skinFile) : skinFile_(std::move(skinFile)) {}

  const wchar_t* WindowClassName() const override { return L"QvUiTestWnd"; }
  std::wstring SkinFolder() override { return L""; }
  std::wstring SkinFile() override { return skinFile_; }
  DuiLib::SkinSourceType SkinSource() override { return DuiLib::SkinSourceType::File; }
  void OnSkinReady() override { ++skinReady; }

  void OnNotification(DuiLib::NotifyRecord& msg) override {
    Seen seen{msg.type, msg.sender ? msg.sender->GetName() : L"", false, msg.wParam, msg.lParam};
    if (auto* option = dynamic_cast<DuiLib::COptionUI*>(msg.sender)) seen.selected = option->IsSelected();
    notes.push_back(seen);
    WindowImplBase::OnNotification(msg);
  }

  // Close requests are recorded and kept from destroying the window.
  LRESULT OnClose(UINT, WPARAM wParam, LPARAM, bool& handled) override {
    closeRequests.push_back(wParam);
    handled = true;
    return 0;
  }

  LRESULT OnAppMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override {
    if (msg == DuiLib::WM_MENU_PICKED) {
      auto* name = reinterpret_cast<wchar_t*>(wParam);
      picked.push_back({name, lParam});
      delete[] name;  // the receiver owns the copy
      handled = true;
      return 0;
    }
    return WindowImplBase::OnAppMessage(msg, wParam, lParam, handled);
  }

  DuiLib::CSkinManager& Manager() { return m_pm; }
  template <class T = DuiLib::CControlUI>
  T* Find(const wchar_t* name) {
    return dynamic_cast<T*>(m_pm.FindControl(name));
  }
  size_t Count(const std::wstring& type) const {
    size_t n = 0;
    for (const Seen& s : notes) n += s.type == type ? 1 : 0;
    return n;
  }

  std::vector<Seen> notes;
  std::vector<WPARAM> closeRequests;
  std::vector<std::pair<std::wstring, LPARAM>> picked;
  int skinReady = 0;

 private:
  std::wstring skinFile_;
};

struct OwnWindowSearch {
  const wchar_t* cls;
  HWND found;
};

inline BOOL CALLBACK MatchOwnWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<OwnWindowSearch*>(param);
  DWORD pid = 0;
  wchar_t cls[64] = {};
  ::GetWindowThreadProcessId(window, &pid);
  if (pid != ::GetCurrentProcessId() || !::GetClassNameW(window, cls, 64) || ::lstrcmpW(cls, search->cls) != 0)
    return TRUE;
  search->found = window;
  return FALSE;
}

// A top-level window of this process with the class: other tests' programs share the display,
// and FindWindow would return their windows as readily as ours.
inline HWND FindOwnWindow(const wchar_t* className) {
  OwnWindowSearch search{className, nullptr};
  ::EnumWindows(MatchOwnWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

inline void Pump(DWORD ms) {
  const DWORD start = ::GetTickCount();
  MSG msg;
  do {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  } while (::GetTickCount() - start < ms);
}

inline bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
  const DWORD start = ::GetTickCount();
  while (!done()) {
    if (::GetTickCount() - start > ms) return false;
    Pump(10);
  }
  return true;
}

inline POINT Centre(DuiLib::CControlUI* control) {
  const RECT& rc = control->GetPos();
  return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

inline LPARAM At(POINT pt) { return MAKELPARAM(pt.x, pt.y); }

// Press at `down` and release at `up`, as the system delivers them (client coordinates).
inline void Drag(HWND window, POINT down, POINT up) {
  ::SendMessageW(window, WM_MOUSEMOVE, 0, At(down));
  ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(down));
  ::SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, At(up));
  ::SendMessageW(window, WM_LBUTTONUP, 0, At(up));
}

inline void Click(HWND window, DuiLib::CControlUI* control) {
  POINT pt = Centre(control);
  Drag(window, pt, pt);
}

inline LRESULT HitTest(HWND window, POINT client) {
  ::ClientToScreen(window, &client);
  return ::SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(client.x, client.y));
}

// Writes UTF-8 text to a file.
inline bool WriteFileText(const std::wstring& path, const std::string& text) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  ::CloseHandle(file);
  return ok && written == text.size();
}

}  // namespace uitest
