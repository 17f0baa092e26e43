// Conversions between the controls and the platform-free layout arithmetic.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/controls/UIControl.h"
#include "ui/core/Layout.h"

namespace DuiLib {

inline RECT ToWinRect(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }
inline Rect FromWinRect(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }

inline LayoutItem MakeLayoutItem(const CControlUI* child) {
  LayoutItem item;
  item.visible = child->IsVisible();
  item.floating = child->IsFloat();
  item.fixed_pos = Point{child->GetFixedX(), child->GetFixedY()};
  item.fixed = Size{child->GetFixedWidth(), child->GetFixedHeight()};
  item.min_size = Size{child->GetMinWidth(), child->GetMinHeight()};
  item.max_size = Size{child->GetMaxWidth(), child->GetMaxHeight()};
  item.padding = FromWinRect(child->GetPadding());
  return item;
}

inline std::vector<LayoutItem> MakeLayoutItems(const std::vector<CControlUI*>& children) {
  std::vector<LayoutItem> items;
  items.reserve(children.size());
  for (const CControlUI* child : children) items.push_back(MakeLayoutItem(child));
  return items;
}

// Gives every visible child its rectangle from a layout result.
inline void ApplyLayout(const std::vector<CControlUI*>& children, const std::vector<Rect>& rects) {
  for (size_t i = 0; i < children.size() && i < rects.size(); ++i) {
    if (children[i]->IsVisible()) children[i]->SetPos(ToWinRect(rects[i]));
  }
}

}  // namespace DuiLib
