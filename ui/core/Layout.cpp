#include "ui/core/Layout.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>

namespace DuiLib {

namespace {

int Clamp(int v, int lo, int hi) { return std::max(lo, std::min(v, hi)); }

// One axis of a linear layout. "Main" is the stacking axis (y for vertical layouts).
struct Axis {
  bool vertical;
  int Main(const Size& s) const { return vertical ? s.cy : s.cx; }
  int Cross(const Size& s) const { return vertical ? s.cx : s.cy; }
  int MainBefore(const Rect& r) const { return vertical ? r.top : r.left; }
  int MainAfter(const Rect& r) const { return vertical ? r.bottom : r.right; }
  int CrossBefore(const Rect& r) const { return vertical ? r.left : r.top; }
  int CrossAfter(const Rect& r) const { return vertical ? r.right : r.bottom; }
  int MainExtent(const Rect& r) const { return vertical ? r.Height() : r.Width(); }
  int CrossExtent(const Rect& r) const { return vertical ? r.Width() : r.Height(); }
  Rect Make(int main_pos, int cross_pos, int main_len, int cross_len) const {
    return vertical ? Rect{cross_pos, main_pos, cross_pos + cross_len, main_pos + main_len}
                    : Rect{main_pos, cross_pos, main_pos + main_len, cross_pos + cross_len};
  }
};

std::vector<Rect> LayoutLinear(const Axis& ax, const Rect& parent, const Rect& area,
                               const std::vector<LayoutItem>& items, int child_padding) {
  // First pass: what the fixed children and all paddings use, and how many share the rest.
  int used = 0;
  int flexible = 0;
  int placed = 0;
  for (const LayoutItem& it : items) {
    if (!it.visible || it.floating) continue;
    if (ax.Main(it.fixed) == 0) ++flexible;
    else used += Clamp(ax.Main(it.fixed), ax.Main(it.min_size), ax.Main(it.max_size));
    used += ax.MainBefore(it.padding) + ax.MainAfter(it.padding);
    if (placed++ > 0) used += child_padding;
  }
  const int share = flexible > 0 ? std::max(0, ax.MainExtent(area) - used) / flexible : 0;

  // Second pass: place them in order.
  std::vector<Rect> rects(items.size());
  int cursor = ax.MainBefore(area);
  for (size_t i = 0; i < items.size(); ++i) {
    const LayoutItem& it = items[i];
    if (!it.visible) continue;
    if (it.floating) {
      rects[i] = PlaceFloating(parent, it);
      continue;
    }
    const int fixed_main = ax.Main(it.fixed);
    const int main_len = Clamp(fixed_main != 0 ? fixed_main : share, ax.Main(it.min_size),
                               ax.Main(it.max_size));
    const int cross_pad = ax.CrossBefore(it.padding) + ax.CrossAfter(it.padding);
    const int fixed_cross = ax.Cross(it.fixed);
    const int cross_len = Clamp(fixed_cross != 0 ? fixed_cross : ax.CrossExtent(area) - cross_pad,
                                ax.Cross(it.min_size), ax.Cross(it.max_size));
    const int main_pos = cursor + ax.MainBefore(it.padding);
    rects[i] = ax.Make(main_pos, ax.CrossBefore(area) + ax.CrossBefore(it.padding), main_len, cross_len);
    cursor = main_pos + main_len + ax.MainAfter(it.padding) + child_padding;
  }
  return rects;
}

}  // namespace

FixedPlacement PlacementFromPos(const Rect& pos) {
  FixedPlacement p;
  p.pos.x = pos.left >= 0 ? pos.left : pos.right;
  p.pos.y = pos.top >= 0 ? pos.top : pos.bottom;
  p.size = Size{pos.right - pos.left, pos.bottom - pos.top};
  return p;
}

Rect PlaceFloating(const Rect& parent, const LayoutItem& item) {
  const int w = std::max(0, item.fixed.cx);
  const int h = std::max(0, item.fixed.cy);
  const int left = item.fixed_pos.x >= 0 ? parent.left + item.fixed_pos.x : parent.right + item.fixed_pos.x - w;
  const int top = item.fixed_pos.y >= 0 ? parent.top + item.fixed_pos.y : parent.bottom + item.fixed_pos.y - h;
  return Rect{left, top, left + w, top + h};
}

std::vector<Rect> LayoutVertical(const Rect& parent, const Rect& area,
                                 const std::vector<LayoutItem>& items, int child_padding) {
  return LayoutLinear(Axis{true}, parent, area, items, child_padding);
}

std::vector<Rect> LayoutHorizontal(const Rect& parent, const Rect& area,
                                   const std::vector<LayoutItem>& items, int child_padding) {
  return LayoutLinear(Axis{false}, parent, area, items, child_padding);
}

Rect LayoutTabPage(const Rect& area, const LayoutItem& page) {
  Rect r{area.left + page.padding.left, area.top + page.padding.top,
         area.right - page.padding.right, area.bottom - page.padding.bottom};
  r.right = r.left + Clamp(r.Width(), page.min_size.cx, page.max_size.cx);
  r.bottom = r.top + Clamp(r.Height(), page.min_size.cy, page.max_size.cy);
  return r;
}

bool AcceptProgressValue(const ProgressRange& range, int value) {
  return value >= range.min && value <= range.max && value != range.value;
}

int ProgressFilledLength(const ProgressRange& range, int length) {
  const int64_t lo = range.min;
  const int64_t hi = range.max <= range.min ? lo + 1 : range.max;
  const int64_t v = std::max<int64_t>(lo, std::min<int64_t>(range.value, hi));
  return static_cast<int>(static_cast<int64_t>(length) * (v - lo) / (hi - lo));
}

std::wstring ProgressForeModifier(const ProgressRange& range, Size size, bool horizontal,
                                  bool stretch) {
  int top = 0;
  int width = size.cx;
  if (horizontal) {
    width = ProgressFilledLength(range, size.cx);
  } else {
    top = size.cy - ProgressFilledLength(range, size.cy);
  }
  wchar_t buf[160];
  if (stretch) {
    std::swprintf(buf, 160, L"dest='%d,%d,%d,%d'", 0, top, width, size.cy);
  } else {
    std::swprintf(buf, 160, L"dest='%d,%d,%d,%d' source='%d,%d,%d,%d'", 0, top, width, size.cy, 0,
                  top, width, size.cy);
  }
  return buf;
}

}  // namespace DuiLib
