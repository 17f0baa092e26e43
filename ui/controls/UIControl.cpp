#include "ui/controls/UIControl.h"

#include <cwctype>

#include "ui/UIManager.h"
#include "ui/controls/AttributeTable.h"
#include "ui/core/AttributeList.h"
#include "ui/core/Layout.h"
#include "ui/core/ValueSyntax.h"
#include "ui/render/RenderImage.h"

namespace DuiLib {

namespace {

bool EqualsNoCase(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::towlower(a[i]) != std::towlower(b[i])) return false;
  }
  return true;
}

CControlUI* FindByNameNoCase(CControlUI* control, void* data) {
  return EqualsNoCase(control->GetName(), *static_cast<const std::wstring*>(data)) ? control : nullptr;
}

RECT ToWin(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

}  // namespace

CControlUI::CControlUI() = default;

CControlUI::~CControlUI() {
  if (manager_ != nullptr) manager_->ReapControl(this);
}

const wchar_t* CControlUI::GetClass() const { return L"ControlUI"; }

void* CControlUI::GetInterface(const wchar_t*) { return nullptr; }

void CControlUI::SetText(const std::wstring& text) {
  if (text_ == text) return;
  text_ = text;
  Invalidate();
}

void CControlUI::SetVisible(bool visible) {
  if (visible_ == visible) return;
  bool wasVisible = IsVisible();
  visible_ = visible;
  if (IsFocused()) state_ &= ~UISTATE_FOCUSED;
  if (IsVisible() != wasVisible) NeedParentUpdate();
}

void CControlUI::SetInternVisible(bool visible) {
  internVisible_ = visible;
  if (!visible && manager_ != nullptr && manager_->GetFocus() == this) manager_->SetFocus(nullptr);
}

void CControlUI::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  if (enabled) {
    state_ &= ~UISTATE_DISABLED;
  } else {
    state_ |= UISTATE_DISABLED;
  }
  Invalidate();
}

void CControlUI::SetFocus() {
  if (manager_ != nullptr) manager_->SetFocus(this);
}

// Names a class handles are not seen by its bases; unknown names are ignored (tooltip,
// userdata, relativepos and the like change nothing the skins rely on).
void CControlUI::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  using C = CControlUI;
  static const AttributeHandler<C> kTable[] = {
      {L"name", [](C& c, const std::wstring& v) { c.SetName(v); }},
      {L"text", [](C& c, const std::wstring& v) { c.SetText(v); }},
      {L"pos",
       [](C& c, const std::wstring& v) {
         FixedPlacement placement = PlacementFromPos(ParseRect(v.c_str()));
         c.fixedX_ = placement.pos.x;
         c.fixedY_ = placement.pos.y;
         c.fixedWidth_ = placement.size.cx;
         c.fixedHeight_ = placement.size.cy;
         c.NeedParentUpdate();
       }},
      {L"float", [](C& c, const std::wstring& v) { c.float_ = ParseBool(v.c_str()); c.NeedParentUpdate(); }},
      {L"width", [](C& c, const std::wstring& v) { c.SetFixedWidth(ParseInt(v.c_str())); }},
      {L"height", [](C& c, const std::wstring& v) { c.SetFixedHeight(ParseInt(v.c_str())); }},
      {L"minwidth", [](C& c, const std::wstring& v) { c.minWidth_ = ParseInt(v.c_str()); }},
      {L"minheight", [](C& c, const std::wstring& v) { c.minHeight_ = ParseInt(v.c_str()); }},
      {L"maxwidth", [](C& c, const std::wstring& v) { c.maxWidth_ = ParseInt(v.c_str()); }},
      {L"maxheight", [](C& c, const std::wstring& v) { c.maxHeight_ = ParseInt(v.c_str()); }},
      {L"padding", [](C& c, const std::wstring& v) { c.padding_ = ToWin(ParseRect(v.c_str())); c.NeedParentUpdate(); }},
      {L"bkcolor", [](C& c, const std::wstring& v) { c.SetBkColor(ParseColor(v.c_str())); }},
      {L"bordercolor", [](C& c, const std::wstring& v) { c.borderColor_ = ParseColor(v.c_str()); }},
      {L"bkimage", [](C& c, const std::wstring& v) { c.SetBkImage(v); }},
      {L"bordersize",
       [](C& c, const std::wstring& v) {
         if (v.find(L',') != std::wstring::npos) {
           c.borderSize_ = ToWin(ParseRect(v.c_str()));
         } else {
           int size = ParseInt(v.c_str());
           c.borderSize_ = RECT{size, size, size, size};
         }
         c.Invalidate();
       }},
      {L"visible", [](C& c, const std::wstring& v) { c.SetVisible(ParseBool(v.c_str())); }},
      {L"enabled", [](C& c, const std::wstring& v) { c.SetEnabled(ParseBool(v.c_str())); }},
      {L"mouse", [](C& c, const std::wstring& v) { c.SetMouseEnabled(ParseBool(v.c_str())); }},
      {L"menu", [](C& c, const std::wstring& v) { c.menuUsed_ = ParseBool(v.c_str()); }},
  };
  ApplyFromTable(kTable, *this, name, value);
}

void CControlUI::ApplyAttributes(const std::wstring& list) {
  for (const AttributePair& pair : ParseAttributeList(list.c_str())) ApplyAttribute(pair.first, pair.second);
}

CControlUI* CControlUI::FindSubControl(const std::wstring& name) {
  std::wstring wanted = name;
  return FindControl(FindByNameNoCase, &wanted, FIND_ALL);
}

void CControlUI::SetPos(RECT rc) {
  if (rc.right < rc.left) rc.right = rc.left;
  if (rc.bottom < rc.top) rc.bottom = rc.top;
  RECT old = pos_;
  pos_ = rc;
  updateNeeded_ = false;
  if (manager_ != nullptr && !::EqualRect(&old, &pos_)) {
    RECT both;
    ::UnionRect(&both, &old, &pos_);
    manager_->Invalidate(both);
  }
}

void CControlUI::SetFixedWidth(int cx) {
  if (cx < 0) return;
  fixedWidth_ = cx;
  NeedParentUpdate();
}

void CControlUI::SetFixedHeight(int cy) {
  if (cy < 0) return;
  fixedHeight_ = cy;
  NeedParentUpdate();
}

void CControlUI::SetFixedXY(int x, int y) {
  fixedX_ = x;
  fixedY_ = y;
  NeedParentUpdate();
}

SIZE CControlUI::EstimateSize(SIZE) { return SIZE{fixedWidth_, fixedHeight_}; }

void CControlUI::SetManager(CSkinManager* manager, CControlUI* parent, bool init) {
  manager_ = manager;
  parent_ = parent;
  if (init && manager_ != nullptr) manager_->InitControl(this);
}

CControlUI* CControlUI::FindControl(FindProc proc, void* data, UINT flags) {
  if ((flags & FIND_VISIBLE) && !IsVisible()) return nullptr;
  if ((flags & FIND_ENABLED) && !IsEnabled()) return nullptr;
  if ((flags & FIND_HITTEST) && (!mouseEnabled_ || !::PtInRect(&pos_, *static_cast<POINT*>(data)))) {
    return nullptr;
  }
  return proc(this, data);
}

void CControlUI::DoEvent(ControlEvent& event) {
  switch (event.kind) {
    case UIEVENT_SETCURSOR:
      ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
      return;
    case UIEVENT_SETFOCUS:
      state_ |= UISTATE_FOCUSED;
      Invalidate();
      return;
    case UIEVENT_KILLFOCUS:
      state_ &= ~UISTATE_FOCUSED;
      Invalidate();
      return;
    case UIEVENT_TIMER:
      if (manager_ != nullptr) manager_->SendNotify(this, L"timer", event.wParam, event.lParam);
      return;
    case UIEVENT_CONTEXTMENU:
      if (menuUsed_ && manager_ != nullptr) manager_->SendNotify(this, L"menu", event.wParam, event.lParam);
      return;
    case UIEVENT_MOUSEENTER:
      return;
    case UIEVENT_MOUSEHOVER:
      // The system's hover report (after 5 ms at rest) is what announces the pointer.
      if (manager_ != nullptr) manager_->SendNotify(this, L"mouseenter");
      return;
    case UIEVENT_MOUSELEAVE:
      if (manager_ != nullptr) manager_->SendNotify(this, L"mouseleave");
      return;
    default:
      if (parent_ != nullptr) parent_->DoEvent(event);
      return;
  }
}

// Paint order: background colour, background image, state images, text, border.
void CControlUI::DoPaint(HDC dc, const RECT& paint) {
  if (!::IntersectRect(&paintRect_, &paint, &pos_)) return;
  PaintBkColor(dc);
  PaintBkImage(dc);
  PaintStatusImage(dc);
  PaintText(dc);
  PaintBorder(dc);
}

void CControlUI::PaintBkColor(HDC dc) {
  if (bkColor_ != 0) DrawColor(dc, FromRECT(paintRect_), bkColor_);
}

void CControlUI::PaintBkImage(HDC dc) {
  if (!bkImage_.empty()) DrawImage(dc, bkImage_);
}

void CControlUI::PaintBorder(HDC dc) {
  if (borderColor_ == 0) return;
  const RECT& b = borderSize_;
  Rect r = FromRECT(pos_);
  if (b.left > 0) DrawColor(dc, Rect{r.left, r.top, r.left + b.left, r.bottom}, borderColor_);
  if (b.top > 0) DrawColor(dc, Rect{r.left, r.top, r.right, r.top + b.top}, borderColor_);
  if (b.right > 0) DrawColor(dc, Rect{r.right - b.right, r.top, r.right, r.bottom}, borderColor_);
  if (b.bottom > 0) DrawColor(dc, Rect{r.left, r.bottom - b.bottom, r.right, r.bottom}, borderColor_);
}

bool CControlUI::DrawImage(HDC dc, const std::wstring& image, const std::wstring& modify) {
  if (manager_ == nullptr) return false;
  return manager_->DrawImageString(dc, pos_, paintRect_, image, modify);
}

void CControlUI::Invalidate() {
  if (!IsVisible() || manager_ == nullptr) return;
  manager_->Invalidate(pos_);
}

void CControlUI::NeedUpdate() {
  if (!IsVisible()) return;
  updateNeeded_ = true;
  Invalidate();
  if (manager_ != nullptr) manager_->NeedUpdate();
}

void CControlUI::NeedParentUpdate() {
  if (parent_ != nullptr) {
    parent_->NeedUpdate();
    parent_->Invalidate();
  } else {
    NeedUpdate();
  }
  if (manager_ != nullptr) manager_->NeedUpdate();
}

void CControlUI::SetBkColor(DWORD color) {
  if (bkColor_ == color) return;
  bkColor_ = color;
  Invalidate();
}

void CControlUI::SetBkImage(const std::wstring& image) {
  if (bkImage_ == image) return;
  bkImage_ = image;
  Invalidate();
}

}  // namespace DuiLib
