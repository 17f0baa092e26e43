#include "ui/controls/UIListContainerElement.h"

#include "ui/UIManager.h"
#include "ui/controls/UIList.h"
#include "ui/core/ValueSyntax.h"
#include "ui/render/RenderImage.h"

namespace DuiLib {

const wchar_t* CListContainerElementUI::GetClass() const { return L"ListContainerElementUI"; }

void* CListContainerElementUI::GetInterface(const wchar_t* name) {
  if (std::wstring(name) == kInterfaceListItem) return this;
  return CHorizontalLayoutUI::GetInterface(name);
}

void CListContainerElementUI::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"selected") {
    Select(ParseBool(value.c_str()));
    return;
  }
  CHorizontalLayoutUI::ApplyAttribute(name, value);
}

bool CListContainerElementUI::Select(bool select) {
  if (selected_ == select) return true;
  selected_ = select;
  Invalidate();
  return true;
}

// Rows that accept the mouse report clicks to the list; the program's rows do not (mouse
// "false"), so their events go to the list.
void CListContainerElementUI::DoEvent(ControlEvent& event) {
  if (!IsMouseEnabled() || !IsEnabled()) {
    if (parent_ != nullptr) parent_->DoEvent(event);
    return;
  }
  if (event.kind == UIEVENT_BUTTONDOWN && manager_ != nullptr) {
    if (owner_ != nullptr) owner_->SelectItem(index_);
    manager_->SendNotify(this, L"itemclick");
    return;
  }
  if (event.kind == UIEVENT_DBLCLICK && manager_ != nullptr) {
    manager_->SendNotify(this, L"itemactivate");
    return;
  }
  CHorizontalLayoutUI::DoEvent(event);
}

void CListContainerElementUI::PaintRowBackground(HDC dc) {
  if (owner_ == nullptr) return;
  const ListItemStyle& style = owner_->GetItemStyle();
  DWORD color = selected_ ? style.selectedBkColor : style.bkColor;
  if (color != 0) DrawColor(dc, FromRECT(paintRect_), color);
  const std::wstring& image = selected_ ? style.selectedImage : style.bkImage;
  if (!image.empty()) DrawImage(dc, image);
}

void CListContainerElementUI::DoPaint(HDC dc, const RECT& paint) {
  if (!::IntersectRect(&paintRect_, &paint, &pos_)) return;
  PaintRowBackground(dc);
  CHorizontalLayoutUI::DoPaint(dc, paint);
}

}  // namespace DuiLib
