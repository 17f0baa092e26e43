// A part of the screen as the user sees it, saved as a PNG file through GDI+ (started once per
// process). Shared by the Wine tests that write screenshots of their windows.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <string>

namespace screenpng {

// The screen's pixels of `area` (screen coordinates), saved as PNG at `path`.
inline bool SaveScreenArea(const RECT& area, const std::wstring& path) {
  static const ULONG_PTR gdiplus = [] {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    return token;
  }();
  (void)gdiplus;
  const int cx = area.right - area.left, cy = area.bottom - area.top;
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, cx, cy);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, cx, cy, screen, area.left, area.top, SRCCOPY);
  ::SelectObject(memory, old);
  bool saved = false;
  {
    Gdiplus::Bitmap image(bitmap, nullptr);
    const CLSID png = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    saved = image.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
  }
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return saved;
}

}  // namespace screenpng
