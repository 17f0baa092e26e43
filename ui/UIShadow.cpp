#include "ui/UIShadow.h"

#include "ui/UIManager.h"
#include "ui/render/RenderImage.h"

namespace DuiLib {

bool CShadowUI::Initialize(HINSTANCE instance) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (::GetClassInfoExW(instance, kClassName, &existing)) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = ::DefWindowProcW;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kClassName;
  return ::RegisterClassExW(&wc) != 0;
}

CShadowUI::~CShadowUI() {
  if (shadow_ != nullptr && ::IsWindow(shadow_)) ::DestroyWindow(shadow_);
}

// Layered and transparent to the mouse; owned by the window, so it lives and dies with it.
bool CShadowUI::Create(CSkinManager* manager) {
  manager_ = manager;
  owner_ = manager->GetPaintWindow();
  Initialize(CSkinManager::GetInstance());
  shadow_ = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClassName,
                              nullptr, WS_POPUP, 0, 0, 0, 0, owner_, nullptr, CSkinManager::GetInstance(), nullptr);
  if (shadow_ == nullptr) return false;
  Update(::IsWindowVisible(owner_) != FALSE);
  return true;
}

void CShadowUI::OnOwnerMessage(UINT msg, WPARAM wParam, LPARAM) {
  switch (msg) {
    case WM_MOVE:
      Reposition();
      break;
    case WM_SIZE:
      Update(wParam != SIZE_MINIMIZED && wParam != SIZE_MAXIMIZED && ::IsWindowVisible(owner_));
      break;
    case WM_SHOWWINDOW:
      Update(wParam != FALSE);
      break;
    case WM_PAINT:
    case WM_EXITSIZEMOVE:
      Update(::IsWindowVisible(owner_) != FALSE);
      break;
    default:
      break;
  }
}

void CShadowUI::Update(bool ownerShown) {
  if (shadow_ == nullptr) return;
  if (!ownerShown || ::IsIconic(owner_) || ::IsZoomed(owner_)) {
    if (::IsWindowVisible(shadow_)) ::ShowWindow(shadow_, SW_HIDE);
    return;
  }
  Redraw();
  Reposition();
  if (!::IsWindowVisible(shadow_)) ::ShowWindow(shadow_, SW_SHOWNOACTIVATE);
}

// The shadow rectangle is the window's rectangle grown by the picture's border widths.
void CShadowUI::Reposition() {
  if (shadow_ == nullptr) return;
  RECT window, now;
  ::GetWindowRect(owner_, &window);
  const RECT& corner = manager_->GetShadowCorner();
  int x = window.left - corner.left, y = window.top - corner.top;
  // Every paint of the owner comes here (an animation paints many times a second); a shadow
  // already in place is left alone rather than moved to where it is.
  if (::GetWindowRect(shadow_, &now) && now.left == x && now.top == y) return;
  ::SetWindowPos(shadow_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Nine parts of shadowimage, the centre left out: an owned window lies above its owner, so
// the middle must stay clear for the window itself to show.
void CShadowUI::Redraw() {
  RECT window;
  ::GetWindowRect(owner_, &window);
  const RECT& corner = manager_->GetShadowCorner();
  SIZE size{window.right - window.left + corner.left + corner.right,
            window.bottom - window.top + corner.top + corner.bottom};
  if (size.cx <= 0 || size.cy <= 0) return;
  if (size.cx == drawnSize_.cx && size.cy == drawnSize_.cy) return;
  const ImageEntry* image = manager_->GetImage(manager_->GetShadowImage());
  if (image == nullptr) return;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = size.cx;
  info.bmiHeader.biHeight = -size.cy;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (memory != nullptr && bitmap != nullptr) {
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ImageDrawParams params;
    params.dest = Rect{0, 0, size.cx, size.cy};
    params.clip = params.dest;
    params.source = Rect{0, 0, image->width(), image->height()};
    params.corner = Rect{corner.left, corner.top, corner.right, corner.bottom};
    params.alpha = true;
    params.hole = true;
    DrawImage(memory, *image, params);
    POINT origin{0, 0};
    POINT at{window.left - corner.left, window.top - corner.top};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    if (::UpdateLayeredWindow(shadow_, screen, &at, &size, memory, &origin, 0, &blend, ULW_ALPHA)) drawnSize_ = size;
    ::SelectObject(memory, old);
  }
  if (bitmap != nullptr) ::DeleteObject(bitmap);
  if (memory != nullptr) ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
}

}  // namespace DuiLib
