#include "ui/WindowImplBase.h"

#include <windowsx.h>

#include <cwctype>

#include "ui/UIBuilder.h"
#include "ui/UIFlavour.h"
#include "ui/controls/UIControl.h"
#include "ui/core/ValueSyntax.h"
#include "ui/render/SkinModule.h"

namespace DuiLib {

namespace {

bool EqualsNoCase(const wchar_t* a, const wchar_t* b) {
  for (; *a != L'\0' && *b != L'\0'; ++a, ++b) {
    if (std::towlower(*a) != std::towlower(*b)) return false;
  }
  return *a == *b;
}

// Over these classes the caption band stays client area.
bool IsClientClass(const wchar_t* className) {
  const UIFlavour& flavour = GetUIFlavour();
  for (size_t i = 0; i < flavour.clientClassCount; ++i) {
    if (EqualsNoCase(className, flavour.clientClasses[i])) return true;
  }
  return false;
}

MONITORINFO MonitorOf(HWND window) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
  return info;
}

// The one built-in message-map entry: every click goes to OnClick.
}  // namespace

DUI_BEGIN_BASE_MESSAGE_MAP(WindowImplBase)
DUI_ON_MSGTYPE(L"click", OnClick)
DUI_END_MESSAGE_MAP()

LRESULT WindowImplBase::RouteMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  CSkinManager::MessageScope scope(m_pm);
  bool handled = true;
  LRESULT result = 0;
  switch (msg) {
    case WM_CREATE: result = OnCreate(msg, wParam, lParam, handled); break;
    case WM_CLOSE: result = OnClose(msg, wParam, lParam, handled); break;
    case WM_DESTROY: result = OnDestroy(msg, wParam, lParam, handled); break;
    case WM_NCACTIVATE: result = OnNcActivate(msg, wParam, lParam, handled); break;
    case WM_NCCALCSIZE: result = OnNcCalcSize(msg, wParam, lParam, handled); break;
    case WM_NCPAINT: result = OnNcPaint(msg, wParam, lParam, handled); break;
    case WM_NCHITTEST: result = OnNcHitTest(msg, wParam, lParam, handled); break;
    case WM_GETMINMAXINFO: result = OnGetMinMaxInfo(msg, wParam, lParam, handled); break;
    case WM_MOUSEWHEEL: result = OnMouseWheel(msg, wParam, lParam, handled); break;
    case WM_SIZE: result = OnSize(msg, wParam, lParam, handled); break;
    case WM_CHAR: result = OnChar(msg, wParam, lParam, handled); break;
    case WM_SYSCOMMAND: result = OnSysCommand(msg, wParam, lParam, handled); break;
    case WM_KEYDOWN: result = OnKeyDown(msg, wParam, lParam, handled); break;
    case WM_KILLFOCUS: result = OnKillFocus(msg, wParam, lParam, handled); break;
    case WM_SETFOCUS: result = OnSetFocus(msg, wParam, lParam, handled); break;
    case WM_LBUTTONUP: result = OnLButtonUp(msg, wParam, lParam, handled); break;
    case WM_LBUTTONDOWN: result = OnLButtonDown(msg, wParam, lParam, handled); break;
    case WM_MOUSEMOVE: result = OnMouseMove(msg, wParam, lParam, handled); break;
    case WM_MOUSEHOVER: result = OnMouseHover(msg, wParam, lParam, handled); break;
    case WM_MOUSELEAVE: result = OnMouseLeave(msg, wParam, lParam, handled); break;
    case WM_ERASEBKGND: result = OnEraseBkgnd(msg, wParam, lParam, handled); break;
    default: handled = false; break;
  }
  if (handled) return result;
  result = OnAppMessage(msg, wParam, lParam, handled);
  if (handled) return result;
  if (m_pm.MessageHandler(msg, wParam, lParam, result)) return result;
  return CWindowWnd::RouteMessage(msg, wParam, lParam);
}

void WindowImplBase::OnWindowDestroyed(HWND) {
  m_pm.RemovePreMessageFilter(this);
  m_pm.RemoveNotifier(this);
  m_pm.OnWindowGone();
}

// --- Skin --------------------------------------------------------------------------------------

void WindowImplBase::OnClick(NotifyRecord& msg) {
  const std::wstring name = msg.sender != nullptr ? msg.sender->GetName() : std::wstring();
  if (name == L"closebtn") {
    if (::IsWindow(hwnd_)) ::PostMessageW(hwnd_, WM_CLOSE, 1, 0);
  } else if (name == L"minbtn") {
    SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
  } else if (name == L"maxbtn") {
    SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  } else if (name == L"restorebtn") {
    SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
  }
}

bool WindowImplBase::DefaultKeyResponse(WPARAM key) { return key == VK_ESCAPE; }

SkinSourceType WindowImplBase::SkinSource() { return GetUIFlavour().defaultSkinSource; }

std::wstring WindowImplBase::SkinPackageName() { return GetUIFlavour().defaultPackageName; }

void WindowImplBase::OnNotification(NotifyRecord& msg) { NotifyPump(msg); }

LRESULT WindowImplBase::MessageFilter(UINT msg, WPARAM wParam, LPARAM, bool& handled) {
  if (msg == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) DefaultKeyResponse(wParam);
  handled = false;
  return 0;
}

CControlUI* WindowImplBase::MakeCustomControl(const wchar_t*) { return nullptr; }

LONG WindowImplBase::StyleWithoutCaption() { return ::GetWindowLongW(hwnd_, GWL_STYLE) & ~WS_CAPTION; }

// --- Creation -----------------------------------------------------------------------------------

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, bool& handled) {
  handled = true;
  ::SetWindowLongW(hwnd_, GWL_STYLE, StyleWithoutCaption() | WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
  ::SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);

  m_pm.Init(hwnd_);
  m_pm.AddPreMessageFilter(this);

  if (CSkinManager::GetSkinRootPath().empty()) {
    std::wstring root = CSkinManager::GetInstancePath();
    if (GetUIFlavour().rootIncludesSkinFolder) root += SkinFolder();
    CSkinManager::SetSkinRootPath(root);
  }

  SkinSourceType source = SkinSource();
  if (source == SkinSourceType::ZipFile) {
    CSkinManager::OpenSkinPackage(SkinPackageName());
  } else if (source == SkinSourceType::ZipResource) {
    // A program without its skin resource (or with an empty one) builds nothing and shows
    // nothing. A resource that is there but is no readable package is a damaged skin: the
    // package stays unopened, so the build below fails and ends the process with its message.
    size_t size = 0;
    const uint8_t* package = FindModuleResource(MAKEINTRESOURCEW(SkinResourceId()), L"ZIPRES", size);
    if (package == nullptr || size == 0) return 0;
    CSkinManager::OpenSkinPackageFromMemory(package, size);
  }

  CSkinBuilder builder;
  const std::wstring skinFile = SkinFile();
  CControlUI* root = source == SkinSourceType::XmlResource
                         ? builder.Build(static_cast<UINT>(ParseInt(skinFile.c_str())), L"xml", this, &m_pm)
                         : builder.Build(skinFile, this, &m_pm);
  if (root == nullptr) {
    ::MessageBoxW(nullptr, L"加载资源失败！", skinFile.c_str(), MB_OK | MB_ICONERROR);
    ::ExitProcess(1);
  }
  m_pm.AttachRoot(root);
  m_pm.AddNotifier(this);
  OnSkinReady();
  return 0;
}

// --- Message handlers -------------------------------------------------------------------------------

LRESULT WindowImplBase::OnClose(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnDestroy(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnEraseBkgnd(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 1;
}

LRESULT WindowImplBase::OnNcActivate(UINT, WPARAM wParam, LPARAM, bool& handled) {
  if (::IsIconic(hwnd_)) {
    handled = false;
    return 0;
  }
  handled = true;
  return wParam == 0 ? TRUE : FALSE;
}

// The whole window is client area; maximised, the client area is the monitor's work area.
LRESULT WindowImplBase::OnNcCalcSize(UINT, WPARAM wParam, LPARAM lParam, bool& handled) {
  handled = true;
  if (wParam != 0 && ::IsZoomed(hwnd_)) {
    auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
    params->rgrc[0] = MonitorOf(hwnd_).rcWork;
  }
  return 0;
}

LRESULT WindowImplBase::OnNcPaint(UINT, WPARAM, LPARAM, bool& handled) {
  handled = true;
  return 0;
}

LRESULT WindowImplBase::OnNcHitTest(UINT, WPARAM, LPARAM lParam, bool& handled) {
  handled = true;
  POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ::ScreenToClient(hwnd_, &pt);
  RECT client;
  ::GetClientRect(hwnd_, &client);
  if (!::IsZoomed(hwnd_)) {
    const RECT& box = m_pm.GetSizeBox();
    if (pt.y < client.top + box.top) {
      if (pt.x < client.left + box.left) return HTTOPLEFT;
      if (pt.x >= client.right - box.right) return HTTOPRIGHT;
      return HTTOP;
    }
    if (pt.y >= client.bottom - box.bottom) {
      if (pt.x < client.left + box.left) return HTBOTTOMLEFT;
      if (pt.x >= client.right - box.right) return HTBOTTOMRIGHT;
      return HTBOTTOM;
    }
    if (pt.x < client.left + box.left) return HTLEFT;
    if (pt.x >= client.right - box.right) return HTRIGHT;
  }
  const RECT& caption = m_pm.GetCaptionRect();
  if (pt.x >= client.left + caption.left && pt.x < client.right - caption.right && pt.y >= caption.top &&
      pt.y < caption.bottom) {
    CControlUI* control = m_pm.FindControl(pt);
    if (control != nullptr && !IsClientClass(control->GetClass())) return HTCAPTION;
  }
  return HTCLIENT;
}

LRESULT WindowImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, bool& handled) {
  handled = true;
  MONITORINFO monitor = MonitorOf(hwnd_);
  auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
  info->ptMaxPosition = POINT{monitor.rcWork.left - monitor.rcMonitor.left, monitor.rcWork.top - monitor.rcMonitor.top};
  info->ptMaxSize = POINT{monitor.rcWork.right - monitor.rcWork.left, monitor.rcWork.bottom - monitor.rcWork.top};
  SIZE minInfo = m_pm.GetMinInfo();
  info->ptMinTrackSize = POINT{minInfo.cx, minInfo.cy};
  return 0;
}

LRESULT WindowImplBase::OnSize(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
  handled = true;
  if (wParam != SIZE_MINIMIZED) {
    RECT window;
    ::GetWindowRect(hwnd_, &window);
    SIZE corner = m_pm.GetRoundCorner();
    HRGN region = ::CreateRoundRectRgn(0, 0, window.right - window.left + 1, window.bottom - window.top + 1,
                                       corner.cx, corner.cy);
    ::SetWindowRgn(hwnd_, region, TRUE);  // the system owns the region from here
  }
  // The manager lays the tree out again for the new size.
  LRESULT ignored = 0;
  m_pm.MessageHandler(msg, wParam, lParam, ignored);
  return 0;
}

LRESULT WindowImplBase::OnSysCommand(UINT, WPARAM wParam, LPARAM, bool& handled) {
  if ((wParam & 0xFFF0) != SC_CLOSE) {
    handled = false;
    return 0;
  }
  handled = true;
  SendMessage(WM_CLOSE);
  return 0;
}

#define DUI_UNHANDLED_MESSAGE(name)                                 \
  LRESULT WindowImplBase::name(UINT, WPARAM, LPARAM, bool& handled) { \
    handled = false;                                                \
    return 0;                                                       \
  }
DUI_UNHANDLED_MESSAGE(OnMouseWheel)
DUI_UNHANDLED_MESSAGE(OnMouseHover)
DUI_UNHANDLED_MESSAGE(OnMouseLeave)
DUI_UNHANDLED_MESSAGE(OnChar)
DUI_UNHANDLED_MESSAGE(OnKeyDown)
DUI_UNHANDLED_MESSAGE(OnKillFocus)
DUI_UNHANDLED_MESSAGE(OnSetFocus)
DUI_UNHANDLED_MESSAGE(OnLButtonDown)
DUI_UNHANDLED_MESSAGE(OnLButtonUp)
DUI_UNHANDLED_MESSAGE(OnMouseMove)
DUI_UNHANDLED_MESSAGE(OnAppMessage)
#undef DUI_UNHANDLED_MESSAGE

}  // namespace DuiLib
