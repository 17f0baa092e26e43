// CSkinManager: routing a window's messages to its controls, layout and painting.
#include <windowsx.h>

#include "ui/UIManager.h"
#include "ui/UIShadow.h"
#include "ui/controls/UIControl.h"

namespace DuiLib {

namespace {

// How long the pointer rests before the system reports hover.
constexpr DWORD kHoverTimeMs = 5;

// Asks the system for the leave report, and with `hover` for the hover report too. Wine
// watches the pointer with a timer at the hover time for as long as either report is pending,
// and a resting pointer costs a window hit test each tick: a 5 ms hover time left running for
// the leave report alone kept the idle window busy a hundred times a second. So once the hover
// report has come, leave tracking goes on at the system's default hover time (Windows itself
// needs no timer for it).
void TrackMouse(HWND window, bool hover) {
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof(track);
  track.dwFlags = hover ? TME_HOVER | TME_LEAVE : TME_LEAVE;
  track.hwndTrack = window;
  track.dwHoverTime = hover ? kHoverTimeMs : HOVER_DEFAULT;
  ::TrackMouseEvent(&track);
}

}  // namespace

WORD CSkinManager::KeyState() const {
  WORD state = 0;
  if (::GetKeyState(VK_RBUTTON) < 0) state |= UIKEY_RBUTTON;
  if (::GetKeyState(VK_LBUTTON) < 0) state |= UIKEY_LBUTTON;
  if (::GetKeyState(VK_SHIFT) < 0) state |= UIKEY_SHIFT;
  if (::GetKeyState(VK_CONTROL) < 0) state |= UIKEY_CONTROL;
  if (::GetKeyState(VK_MENU) < 0) state |= UIKEY_ALT;
  return state;
}

void CSkinManager::SendEvent(CControlUI* control, int kind, WPARAM wParam, LPARAM lParam) {
  if (control == nullptr) return;
  ControlEvent event;
  event.kind = kind;
  event.sender = control;
  event.timestamp = ::GetTickCount();
  event.mouse = mousePos_;
  event.keyState = KeyState();
  event.wParam = wParam;
  event.lParam = lParam;
  if (kind == UIEVENT_KEYDOWN || kind == UIEVENT_CHAR) event.key = static_cast<wchar_t>(wParam);
  control->DoEvent(event);
}

bool CSkinManager::MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (window_ == nullptr) return false;
  MessageScope scope(*this);
  FlushAsyncNotify();
  for (IMessageFilterUI* filter : std::vector<IMessageFilterUI*>(preFilters_)) {
    bool handled = false;
    LRESULT filtered = filter->MessageFilter(msg, wParam, lParam, handled);
    if (handled) {
      result = filtered;
      return true;
    }
  }
  if (shadow_ != nullptr) shadow_->OnOwnerMessage(msg, wParam, lParam);
  switch (msg) {
    case WM_PAINT:
      Paint();
      result = 0;
      return true;
    case WM_SIZE:
      updateNeeded_ = true;
      ::InvalidateRect(window_, nullptr, FALSE);
      return false;
    case WM_TIMER: {
      for (const TimerEntry& timer : timers_) {
        if (timer.nativeId == wParam) {
          SendEvent(timer.control, UIEVENT_TIMER, timer.localId, lParam);
          result = 0;
          return true;
        }
      }
      return false;
    }
    case WM_SETCURSOR: {
      if (LOWORD(lParam) != HTCLIENT) return false;
      POINT pt;
      ::GetCursorPos(&pt);
      ::ScreenToClient(window_, &pt);
      CControlUI* control = FindControl(pt);
      if (control == nullptr) return false;
      SendEvent(control, UIEVENT_SETCURSOR, wParam, lParam);
      result = TRUE;
      return true;
    }
    case WM_KEYDOWN:
    case WM_CHAR:
      if (focus_ == nullptr) return false;
      SendEvent(focus_, msg == WM_KEYDOWN ? UIEVENT_KEYDOWN : UIEVENT_CHAR, wParam, lParam);
      return false;
    case WM_CONTEXTMENU:
      if (hover_ != nullptr) SendEvent(hover_, UIEVENT_CONTEXTMENU, wParam, lParam);
      return false;
    default:
      return HandleMouse(msg, wParam, lParam);
  }
}

bool CSkinManager::HandleMouse(UINT msg, WPARAM wParam, LPARAM lParam) {
  POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  switch (msg) {
    case WM_MOUSEMOVE:
      mousePos_ = pt;
      HandleMouseMove(pt);
      return false;
    case WM_MOUSEHOVER:
      mousePos_ = pt;
      if (mouseTracking_) TrackMouse(window_, false);
      if (hover_ != nullptr) SendEvent(hover_, UIEVENT_MOUSEHOVER, wParam, lParam);
      return false;
    case WM_MOUSELEAVE:
      // The next mouse move asks for hover and leave reports again.
      mouseTracking_ = false;
      if (hover_ != nullptr) {
        CControlUI* leaving = hover_;
        hover_ = nullptr;
        SendEvent(leaving, UIEVENT_MOUSELEAVE, wParam, lParam);
      }
      return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      mousePos_ = pt;
      ::SetFocus(window_);
      CControlUI* control = FindControl(pt);
      if (control == nullptr || control->GetManager() != this) return false;
      SetFocus(control);
      ::SetCapture(window_);
      click_ = control;
      SendEvent(control, msg == WM_LBUTTONDOWN ? UIEVENT_BUTTONDOWN : UIEVENT_DBLCLICK, wParam, lParam);
      return false;
    }
    case WM_LBUTTONUP: {
      mousePos_ = pt;
      CControlUI* control = click_;
      click_ = nullptr;
      if (::GetCapture() == window_) ::ReleaseCapture();
      if (control != nullptr) SendEvent(control, UIEVENT_BUTTONUP, wParam, lParam);
      return false;
    }
    case WM_MOUSEWHEEL:
      if (hover_ != nullptr) SendEvent(hover_, UIEVENT_SCROLLWHEEL, wParam, lParam);
      return false;
    default:
      return false;
  }
}

void CSkinManager::HandleMouseMove(POINT pt) {
  if (!mouseTracking_) {
    TrackMouse(window_, true);
    mouseTracking_ = true;
  }
  CControlUI* now = FindControl(pt);
  if (now != nullptr && now->GetManager() != this) now = nullptr;
  if (now != hover_) {
    CControlUI* leaving = hover_;
    hover_ = now;
    if (leaving != nullptr) SendEvent(leaving, UIEVENT_MOUSELEAVE);
    if (hover_ != nullptr) SendEvent(hover_, UIEVENT_MOUSEENTER);
  }
  if (click_ != nullptr) {
    SendEvent(click_, UIEVENT_MOUSEMOVE);
  } else if (hover_ != nullptr) {
    SendEvent(hover_, UIEVENT_MOUSEMOVE);
  }
}

void CSkinManager::LayoutIfNeeded() {
  if (!updateNeeded_ || root_ == nullptr) return;
  updateNeeded_ = false;
  RECT client;
  ::GetClientRect(window_, &client);
  if (::IsRectEmpty(&client)) return;
  root_->SetPos(client);
  ::InvalidateRect(window_, nullptr, FALSE);
}

// Draws into an off-screen bitmap of the client size and copies the damaged area in one go.
void CSkinManager::Paint() {
  LayoutIfNeeded();
  if (root_ != nullptr && firstLayout_ && !windowInitSent_) {
    firstLayout_ = false;
    windowInitSent_ = true;
    SendNotify(root_, L"windowinit");
  }
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(window_, &ps);
  if (root_ != nullptr && !::IsRectEmpty(&ps.rcPaint)) {
    RECT client;
    ::GetClientRect(window_, &client);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = client.right;
    info.bmiHeader.biHeight = -client.bottom;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = ::CreateCompatibleDC(dc);
    if (bitmap != nullptr && memory != nullptr) {
      HGDIOBJ old = ::SelectObject(memory, bitmap);
      root_->DoPaint(memory, ps.rcPaint);
      ::BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
               ps.rcPaint.bottom - ps.rcPaint.top, memory, ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
      ::SelectObject(memory, old);
    }
    if (memory != nullptr) ::DeleteDC(memory);
    if (bitmap != nullptr) ::DeleteObject(bitmap);
  }
  ::EndPaint(window_, &ps);
}

}  // namespace DuiLib
