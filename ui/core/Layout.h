// Layout arithmetic: how a container gives its children their rectangles. Pure functions over
// a description of each child; the control classes fill in LayoutItem from their attributes
// and copy the resulting rectangles back.
#pragma once

#include <string>
#include <vector>

#include "ui/core/UIGeometry.h"

namespace DuiLib {

inline constexpr int kDefaultMaxExtent = 9999;

struct LayoutItem {
  bool visible = true;
  bool floating = false;
  Point fixed_pos;  // floating children: x/y from the left/top edge, or (negative) the right/bottom
  Size fixed;       // 0 = the layout decides
  Size min_size{0, 0};
  Size max_size{kDefaultMaxExtent, kDefaultMaxExtent};
  Rect padding;     // outer spacing inside a layout; floating children ignore it
};

// The fixed position and size a `pos` attribute l,t,r,b gives: x = l when l >= 0, else r;
// y = t when t >= 0, else b; width = r - l; height = b - t.
struct FixedPlacement {
  Point pos;
  Size size;
};
FixedPlacement PlacementFromPos(const Rect& pos);

// A floating child inside `parent` (the container's whole rectangle): x >= 0 is measured from
// the left edge, x < 0 puts the child's right edge at parent.right + x; y likewise; the size is
// the fixed size.
Rect PlaceFloating(const Rect& parent, const LayoutItem& item);

// Vertical and horizontal layouts. `parent` is the container's rectangle (for floating
// children), `area` its child area (rectangle minus inset and scroll bars). The result has one
// rectangle per item: floating ones placed as above, hidden ones empty (all zero).
std::vector<Rect> LayoutVertical(const Rect& parent, const Rect& area,
                                 const std::vector<LayoutItem>& items, int child_padding);
std::vector<Rect> LayoutHorizontal(const Rect& parent, const Rect& area,
                                   const std::vector<LayoutItem>& items, int child_padding);

// The selected page of a tab layout: the child area minus the page's padding, limited to its
// minimum and maximum size.
Rect LayoutTabPage(const Rect& area, const LayoutItem& page);

// Progress bars.
struct ProgressRange {
  int min = 0;
  int max = 100;
  int value = 0;
};
// `value` is accepted only when min <= value <= max and it differs from the current value.
bool AcceptProgressValue(const ProgressRange& range, int value);
// Filled length along the bar: max is raised to min + 1 when not above min and the value is
// held inside the range; length * (value - min) / (max - min).
int ProgressFilledLength(const ProgressRange& range, int length);
// The modifying image string for the fore image of a bar of `size`: horizontal bars fill from
// the left, vertical ones from the bottom; "dest='0,top,w,h'" stretched, or with
// " source='0,top,w,h'" appended when the image is cut instead.
std::wstring ProgressForeModifier(const ProgressRange& range, Size size, bool horizontal,
                                  bool stretch);

}  // namespace DuiLib
