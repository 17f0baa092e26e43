#include "ui/render/RenderImage.h"

#include <algorithm>

#include "ui/render/GdiScope.h"

namespace DuiLib {

namespace {

// Copies source rectangle `s` of the selected image to `d`: blended, 1:1 or stretched.
void Blit(HDC dc, HDC image_dc, const Rect& d, const Rect& s, bool alpha, uint8_t fade) {
  if (d.IsEmpty() || s.IsEmpty()) return;
  if (alpha) {
    BLENDFUNCTION bf{AC_SRC_OVER, 0, fade, AC_SRC_ALPHA};
    ::AlphaBlend(dc, d.left, d.top, d.Width(), d.Height(), image_dc, s.left, s.top, s.Width(),
                 s.Height(), bf);
  } else if (d.Width() == s.Width() && d.Height() == s.Height()) {
    ::BitBlt(dc, d.left, d.top, d.Width(), d.Height(), image_dc, s.left, s.top, SRCCOPY);
  } else {
    ::StretchBlt(dc, d.left, d.top, d.Width(), d.Height(), image_dc, s.left, s.top, s.Width(),
                 s.Height(), SRCCOPY);
  }
}

// The centre part: stretched, or repeated at its own size along the tiled axes (the last tile
// of a row or column is cut, not scaled).
void DrawCentre(HDC dc, HDC image_dc, const Rect& d, const Rect& s, const ImageDrawParams& p,
                bool alpha) {
  if (d.IsEmpty() || s.IsEmpty()) return;
  if (!p.xtiled && !p.ytiled) {
    Blit(dc, image_dc, d, s, alpha, p.fade);
    return;
  }
  const int step_x = p.xtiled ? s.Width() : d.Width();
  const int step_y = p.ytiled ? s.Height() : d.Height();
  for (int y = d.top; y < d.bottom; y += step_y) {
    const int h = std::min(step_y, d.bottom - y);
    for (int x = d.left; x < d.right; x += step_x) {
      const int w = std::min(step_x, d.right - x);
      Rect src = s;
      if (p.xtiled) src.right = s.left + w;
      if (p.ytiled) src.bottom = s.top + h;
      Blit(dc, image_dc, Rect{x, y, x + w, y + h}, src, alpha, p.fade);
    }
  }
}

}  // namespace

void DrawColor(HDC dc, const Rect& rect, uint32_t argb) {
  const uint32_t a = argb >> 24;
  if (a == 0 || rect.IsEmpty()) return;
  if (a == 255) {
    RECT r = ToRECT(rect);
    GdiObject brush(::CreateSolidBrush(ToColorRef(argb)));
    ::FillRect(dc, &r, static_cast<HBRUSH>(brush.get()));
    return;
  }
  // One premultiplied pixel stretched over the rectangle.
  DecodedImage px;
  px.width = px.height = 1;
  px.has_alpha = true;
  const uint32_t r = ((argb >> 16) & 0xFF) * a / 255, g = ((argb >> 8) & 0xFF) * a / 255,
                 b = (argb & 0xFF) * a / 255;
  px.pixels.push_back((a << 24) | (r << 16) | (g << 8) | b);
  std::unique_ptr<ImageEntry> entry = ImageEntry::Create(px, L"");
  if (!entry) return;
  MemoryDC mem(dc);
  GdiSelect select(mem.get(), entry->bitmap());
  Blit(dc, mem.get(), rect, Rect{0, 0, 1, 1}, true, 255);
}

void DrawImage(HDC dc, const ImageEntry& image, const ImageDrawParams& p) {
  const Rect visible = p.dest.Intersect(p.clip);
  if (visible.IsEmpty() || p.source.IsEmpty()) return;
  MemoryDC mem(dc);
  if (!mem.get()) return;
  GdiSelect select(mem.get(), image.bitmap());
  SavedDC saved(dc);
  ::IntersectClipRect(dc, visible.left, visible.top, visible.right, visible.bottom);
  if (::GetStretchBltMode(dc) != COLORONCOLOR) ::SetStretchBltMode(dc, COLORONCOLOR);

  const bool alpha = p.alpha || p.fade < 255;
  const Rect& d = p.dest;
  const Rect& s = p.source;
  const Rect& c = p.corner;
  const HDC src = mem.get();
  // Nine parts: rows top/middle/bottom by columns left/centre/right; corners unscaled.
  const int dx[4] = {d.left, d.left + c.left, d.right - c.right, d.right};
  const int dy[4] = {d.top, d.top + c.top, d.bottom - c.bottom, d.bottom};
  const int sx[4] = {s.left, s.left + c.left, s.right - c.right, s.right};
  const int sy[4] = {s.top, s.top + c.top, s.bottom - c.bottom, s.bottom};
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      const Rect dr{dx[col], dy[row], dx[col + 1], dy[row + 1]};
      const Rect sr{sx[col], sy[row], sx[col + 1], sy[row + 1]};
      if (row == 1 && col == 1) {
        if (!p.hole) DrawCentre(dc, src, dr, sr, p, alpha);
      } else {
        Blit(dc, src, dr, sr, alpha, p.fade);
      }
    }
  }
}

bool DrawImageString(HDC dc, const Rect& control, const Rect& paint, const wchar_t* image,
                     const wchar_t* modify, const ImageResolver& resolve, bool bktrans) {
  bool all_loaded = true;
  for (const ImageDrawSpec& spec : ParseImageString(image, modify)) {
    const ImageEntry* entry = resolve ? resolve(spec) : nullptr;
    if (!entry) {
      all_loaded = false;
      continue;
    }
    ImageDrawParams p;
    p.dest = control;
    if (spec.has_dest) {
      p.dest = Rect{control.left + spec.dest.left, control.top + spec.dest.top,
                    std::min(control.left + spec.dest.right, control.right),
                    std::min(control.top + spec.dest.bottom, control.bottom)};
    }
    const Rect whole{0, 0, entry->width(), entry->height()};
    p.source = spec.source == Rect{} ? whole
                                     : Rect{std::max(0, spec.source.left), std::max(0, spec.source.top),
                                            std::min(spec.source.right, whole.right),
                                            std::min(spec.source.bottom, whole.bottom)};
    p.clip = control.Intersect(paint);
    p.corner = spec.corner;
    p.alpha = entry->has_alpha() || bktrans;
    p.fade = spec.fade;
    p.hole = spec.hole;
    p.xtiled = spec.xtiled;
    p.ytiled = spec.ytiled;
    DrawImage(dc, *entry, p);
  }
  return all_loaded;
}

}  // namespace DuiLib
