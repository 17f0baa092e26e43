#include "ui/controls/UIGifAnim.h"

#include <objidl.h>
#include <shlwapi.h>
// GDI+ wants min/max in scope; the project builds with NOMINMAX.
#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include <cstring>
#include <vector>

#include "ui/UIManager.h"
#include "ui/controls/AttributeTable.h"
#include "ui/core/SkinSource.h"
#include "ui/core/ValueSyntax.h"

namespace DuiLib {

namespace {

// GDI+ is started once for the process, on the first GIF, and left running until it ends.
bool EnsureGdiplus() {
  static const bool started = [] {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
  }();
  return started;
}

}  // namespace

// One decoded frame: a premultiplied 32-bit DIB and how long it is shown.
struct CGifAnimUI::Frame {
  HBITMAP bitmap = nullptr;
  int width = 0;
  int height = 0;
  UINT delayMs = 100;
  ~Frame() {
    if (bitmap != nullptr) ::DeleteObject(bitmap);
  }
};

namespace {

HBITMAP MakeDib(int width, int height, void** bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

// Frame delays of the GIF in 10 ms units; a 0 delay is shown for 100 ms.
std::vector<UINT> ReadDelays(Gdiplus::Bitmap& gif, UINT frameCount) {
  std::vector<UINT> delays(frameCount, 100);
  UINT size = gif.GetPropertyItemSize(PropertyTagFrameDelay);
  if (size == 0) return delays;
  std::vector<unsigned char> buffer(size);
  auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
  if (gif.GetPropertyItem(PropertyTagFrameDelay, size, item) != Gdiplus::Ok) return delays;
  UINT count = std::min<UINT>(frameCount, item->length / 4);
  for (UINT i = 0; i < count; ++i) {
    UINT units = 0;
    std::memcpy(&units, static_cast<const unsigned char*>(item->value) + i * 4, 4);
    delays[i] = units == 0 ? 100 : units * 10;
  }
  return delays;
}

}  // namespace

CGifAnimUI::CGifAnimUI() = default;

CGifAnimUI::~CGifAnimUI() {
  if (manager_ != nullptr) manager_->KillTimer(this, kFrameTimerId);
}

const wchar_t* CGifAnimUI::GetClass() const { return L"GifAnimUI"; }

void CGifAnimUI::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  using C = CGifAnimUI;
  static const AttributeHandler<C> kTable[] = {
      {L"bkimage", [](C& c, const std::wstring& v) { c.SetGifImage(v); }},
      {L"autoplay", [](C& c, const std::wstring& v) { c.autoPlay_ = ParseBool(v.c_str()); }},
      {L"autosize", [](C& c, const std::wstring& v) { c.autoSize_ = ParseBool(v.c_str()); }},
  };
  if (!ApplyFromTable(kTable, *this, name, value)) CControlUI::ApplyAttribute(name, value);
}

void CGifAnimUI::SetGifImage(const std::wstring& name) {
  if (name == gifName_) return;
  StopGif();
  Unload();
  gifName_ = name;
  Invalidate();
}

// A GIF on a hidden page is decoded when the page is first shown: decoding needs the codec
// library, whose load is a large share of the window's start-up.
void CGifAnimUI::DoInit() {
  initialised_ = true;
  if (IsVisible()) Load();
}

void CGifAnimUI::Load() {
  if (loadTried_ || gifName_.empty()) return;
  loadTried_ = true;
  std::vector<uint8_t> bytes;
  if (!ReadSkinImageFile(gifName_, bytes) || bytes.empty() || !EnsureGdiplus()) return;
  IStream* stream = ::SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size()));
  if (stream == nullptr) return;
  {
    Gdiplus::Bitmap gif(stream);
    if (gif.GetLastStatus() == Gdiplus::Ok) {
      GUID dimension = Gdiplus::FrameDimensionTime;
      UINT count = gif.GetFrameCount(&dimension);
      if (count == 0) count = 1;
      std::vector<UINT> delays = ReadDelays(gif, count);
      int width = static_cast<int>(gif.GetWidth());
      int height = static_cast<int>(gif.GetHeight());
      for (UINT i = 0; i < count; ++i) {
        if (gif.SelectActiveFrame(&dimension, i) != Gdiplus::Ok && i > 0) break;
        Gdiplus::Rect all(0, 0, width, height);
        Gdiplus::BitmapData data{};
        if (gif.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data) != Gdiplus::Ok) break;
        auto frame = std::make_unique<Frame>();
        void* bits = nullptr;
        frame->bitmap = MakeDib(width, height, &bits);
        frame->width = width;
        frame->height = height;
        frame->delayMs = delays[i];
        if (frame->bitmap != nullptr) {
          for (int y = 0; y < height; ++y) {
            std::memcpy(static_cast<uint8_t*>(bits) + static_cast<size_t>(y) * width * 4,
                        static_cast<const uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride,
                        static_cast<size_t>(width) * 4);
          }
        }
        gif.UnlockBits(&data);
        if (frame->bitmap == nullptr) break;
        frames_.push_back(std::move(frame));
      }
    }
  }
  stream->Release();
  if (frames_.empty()) return;
  if (autoSize_) {
    SetFixedWidth(frames_[0]->width);
    SetFixedHeight(frames_[0]->height);
  }
  if (autoPlay_) PlayGif();
}

void CGifAnimUI::Unload() {
  frames_.clear();
  frame_ = 0;
  loadTried_ = false;
}

void CGifAnimUI::PlayGif() {
  if (playing_ || frames_.empty() || !IsVisible()) return;
  playing_ = true;
  ScheduleNextFrame();
}

void CGifAnimUI::PauseGif() {
  if (!playing_) return;
  playing_ = false;
  if (manager_ != nullptr) manager_->KillTimer(this, kFrameTimerId);
}

void CGifAnimUI::StopGif() {
  PauseGif();
  frame_ = 0;
  Invalidate();
}

void CGifAnimUI::ScheduleNextFrame() {
  if (manager_ == nullptr || frames_.empty()) return;
  manager_->KillTimer(this, kFrameTimerId);
  manager_->SetTimer(this, kFrameTimerId, frames_[frame_]->delayMs);
}

void CGifAnimUI::DoEvent(ControlEvent& event) {
  if (event.kind == UIEVENT_TIMER && event.wParam == kFrameTimerId) {
    if (!playing_ || frames_.empty()) return;
    frame_ = (frame_ + 1) % frames_.size();
    Invalidate();
    ScheduleNextFrame();
    return;
  }
  CControlUI::DoEvent(event);
}

void CGifAnimUI::SetVisible(bool visible) {
  CControlUI::SetVisible(visible);
  OnVisibilityChanged();
}

void CGifAnimUI::SetInternVisible(bool visible) {
  CControlUI::SetInternVisible(visible);
  OnVisibilityChanged();
}

void CGifAnimUI::OnVisibilityChanged() {
  if (IsVisible()) {
    // Before the layout that follows, so autosize has the GIF's size. While the skin is still
    // being built, pages are shown and hidden before they find their place: DoInit decides.
    if (initialised_) Load();
    PlayGif();
  } else {
    StopGif();
  }
}

void CGifAnimUI::DoPaint(HDC dc, const RECT& paint) {
  if (!::IntersectRect(&paintRect_, &paint, &pos_)) return;
  Load();
  CControlUI::DoPaint(dc, paint);
  if (frames_.empty()) return;
  const Frame& frame = *frames_[frame_];
  HDC memory = ::CreateCompatibleDC(dc);
  HGDIOBJ old = ::SelectObject(memory, frame.bitmap);
  int saved = ::SaveDC(dc);
  ::IntersectClipRect(dc, paintRect_.left, paintRect_.top, paintRect_.right, paintRect_.bottom);
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ::AlphaBlend(dc, pos_.left, pos_.top, pos_.right - pos_.left, pos_.bottom - pos_.top, memory, 0, 0, frame.width,
               frame.height, blend);
  ::RestoreDC(dc, saved);
  ::SelectObject(memory, old);
  ::DeleteDC(memory);
}

}  // namespace DuiLib
