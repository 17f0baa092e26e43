#include "ui/UIBase.h"

#include <cwctype>

#include "ui/UIManager.h"
#include "ui/controls/UIControl.h"

namespace DuiLib {

namespace {

// The window object of a window we created or subclassed.
constexpr const wchar_t* kObjectProperty = L"DuiLibWindowObject";

std::wstring Lower(std::wstring text) {
  for (wchar_t& ch : text) ch = static_cast<wchar_t>(std::towlower(ch));
  return text;
}

}  // namespace

// --- CWindowWnd ---------------------------------------------------------------------------------

bool CWindowWnd::RegisterWindowClass() {
  HINSTANCE instance = CSkinManager::GetInstance();
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (::GetClassInfoExW(instance, WindowClassName(), &existing)) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = WindowClassStyle();
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = nullptr;
  wc.lpszClassName = WindowClassName();
  return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// A class derived from an existing one: its procedure becomes the default processing.
bool CWindowWnd::RegisterSuperclass() {
  HINSTANCE instance = CSkinManager::GetInstance();
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (!::GetClassInfoExW(nullptr, BaseClassName(), &wc) && !::GetClassInfoExW(instance, BaseClassName(), &wc)) {
    return false;
  }
  oldWndProc_ = wc.lpfnWndProc;
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (::GetClassInfoExW(instance, WindowClassName(), &existing)) return true;
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance;
  wc.lpszClassName = WindowClassName();
  return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CWindowWnd::Create(HWND owner, const wchar_t* title, DWORD style, DWORD exStyle, const RECT& rc, HMENU menu) {
  return Create(owner, title, style, exStyle, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, menu);
}

HWND CWindowWnd::Create(HWND owner, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y, int cx, int cy,
                        HMENU menu) {
  bool registered = BaseClassName() != nullptr ? RegisterSuperclass() : RegisterWindowClass();
  if (!registered) return nullptr;
  hwnd_ = ::CreateWindowExW(exStyle, WindowClassName(), title, style, x, y, cx, cy, owner, menu,
                            CSkinManager::GetInstance(), this);
  return hwnd_;
}

HWND CWindowWnd::Subclass(HWND window) {
  hwnd_ = window;
  ::SetPropW(window, kObjectProperty, this);
  oldWndProc_ = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WndProc)));
  subclassed_ = true;
  return hwnd_;
}

void CWindowWnd::Unsubclass() {
  if (!subclassed_ || !::IsWindow(hwnd_)) return;
  ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldWndProc_));
  ::RemovePropW(hwnd_, kObjectProperty);
  oldWndProc_ = ::DefWindowProcW;
  subclassed_ = false;
}

void CWindowWnd::ShowWindow(bool show, bool takeFocus) {
  if (!::IsWindow(hwnd_)) return;
  ::ShowWindow(hwnd_, show ? (takeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) : SW_HIDE);
}

void CWindowWnd::Close(UINT result) {
  if (::IsWindow(hwnd_)) ::PostMessageW(hwnd_, WM_CLOSE, result, 0);
}

void CWindowWnd::CenterWindow() {
  RECT window;
  ::GetWindowRect(hwnd_, &window);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  ::GetMonitorInfoW(::MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &monitor);
  RECT work = monitor.rcWork;
  RECT around = work;
  HWND owner = ::GetWindow(hwnd_, GW_OWNER);
  if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner)) ::GetWindowRect(owner, &around);
  int width = window.right - window.left;
  int height = window.bottom - window.top;
  int x = (around.left + around.right - width) / 2;
  int y = (around.top + around.bottom - height) / 2;
  if (x + width > work.right) x = work.right - width;
  if (y + height > work.bottom) y = work.bottom - height;
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  ::SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowWnd::ResizeClient(int cx, int cy) {
  RECT rc{0, 0, cx, cy};
  ::AdjustWindowRectEx(&rc, ::GetWindowLongW(hwnd_, GWL_STYLE), ::GetMenu(hwnd_) != nullptr,
                       ::GetWindowLongW(hwnd_, GWL_EXSTYLE));
  ::SetWindowPos(hwnd_, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

LRESULT CWindowWnd::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageW(hwnd_, msg, wParam, lParam);
}

BOOL CWindowWnd::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::PostMessageW(hwnd_, msg, wParam, lParam);
}

LRESULT CWindowWnd::RouteMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::CallWindowProcW(oldWndProc_, hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK CWindowWnd::WndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  CWindowWnd* self = nullptr;
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    self = static_cast<CWindowWnd*>(create->lpCreateParams);
    self->hwnd_ = window;
    ::SetPropW(window, kObjectProperty, self);
  } else {
    self = static_cast<CWindowWnd*>(::GetPropW(window, kObjectProperty));
  }
  if (self == nullptr) return ::DefWindowProcW(window, msg, wParam, lParam);
  if (msg != WM_NCDESTROY) return self->RouteMessage(msg, wParam, lParam);

  // The last message: unhook, then tell the object its window is gone (it may delete itself).
  LRESULT result = self->RouteMessage(msg, wParam, lParam);
  if (self->subclassed_) {
    ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(self->oldWndProc_));
    self->subclassed_ = false;
  }
  ::RemovePropW(window, kObjectProperty);
  self->hwnd_ = nullptr;
  self->OnWindowDestroyed(window);
  return result;
}

// --- CNotifyPump ------------------------------------------------------------------------------

bool CNotifyPump::AddVirtualWnd(const std::wstring& name, CNotifyPump* pump) {
  return virtualWnds_.emplace(Lower(name), pump).second;
}

bool CNotifyPump::RemoveVirtualWnd(const std::wstring& name) { return virtualWnds_.erase(Lower(name)) > 0; }

void CNotifyPump::NotifyPump(NotifyRecord& msg) {
  if (!msg.virtualWindow.empty()) {
    auto it = virtualWnds_.find(Lower(msg.virtualWindow));
    if (it != virtualWnds_.end() && it->second->LoopDispatch(msg)) return;
  }
  LoopDispatch(msg);
}

// Most derived map first; inside a map a named entry beats the empty-name fallback.
bool CNotifyPump::LoopDispatch(NotifyRecord& msg) {
  const std::wstring senderName = msg.sender != nullptr ? msg.sender->GetName() : std::wstring();
  for (const NotifyMap* map = GetNotifyMap(); map != nullptr; map = map->base) {
    const NotifyMapEntry* fallback = nullptr;
    const NotifyMapEntry* match = nullptr;
    for (const NotifyMapEntry* entry = map->entries(); entry->type != nullptr; ++entry) {
      if (msg.type != entry->type) continue;
      if (entry->controlName[0] == L'\0') {
        if (fallback == nullptr) fallback = entry;
      } else if (senderName == entry->controlName) {
        match = entry;
        break;
      }
    }
    if (match == nullptr) match = fallback;
    if (match == nullptr) continue;
    if (match->onRecord != nullptr) {
      (this->*(match->onRecord))(msg);
    } else {
      (this->*(match->onParams))(msg.wParam, msg.lParam);
    }
    return true;
  }
  return false;
}

}  // namespace DuiLib
