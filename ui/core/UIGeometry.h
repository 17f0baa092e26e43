// Small value types of the framework's platform-free side. The Win32 layer converts them to
// RECT/SIZE/POINT at its edge; they have the same member names so the conversion is obvious.
#pragma once

#include <algorithm>

namespace DuiLib {

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

// Half-open rectangle: right and bottom are one past the last pixel, as in GDI.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  void Offset(int dx, int dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
  }
  // The overlap of both; an empty (all zero) rectangle when they do not meet.
  Rect Intersect(const Rect& o) const {
    Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
           std::min(bottom, o.bottom)};
    return r.IsEmpty() ? Rect{} : r;
  }
  friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace DuiLib
