#include "ui/controls/UITabLayout.h"

#include "ui/UIManager.h"
#include "ui/controls/LayoutBridge.h"
#include "ui/core/ValueSyntax.h"

namespace DuiLib {

const wchar_t* CTabLayoutUI::GetClass() const { return L"TabLayoutUI"; }

void CTabLayoutUI::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"selectedid") {
    SelectItem(ParseInt(value.c_str()));
    return;
  }
  CContainerUI::ApplyAttribute(name, value);
}

bool CTabLayoutUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CTabLayoutUI::AddAt(CControlUI* control, int index) {
  if (!CContainerUI::AddAt(control, index)) return false;
  if (curSel_ < 0) {
    curSel_ = index;
    control->SetVisible(true);
  } else {
    if (index <= curSel_) ++curSel_;
    control->SetVisible(false);
  }
  return true;
}

bool CTabLayoutUI::Remove(CControlUI* control) {
  int index = GetItemIndex(control);
  if (!CContainerUI::RemoveAt(index)) return false;
  if (index == curSel_) {
    curSel_ = -1;
    if (GetCount() > 0) SelectItem(0);
  } else if (index < curSel_) {
    --curSel_;
  }
  return true;
}

void CTabLayoutUI::RemoveAll() {
  curSel_ = -1;
  CContainerUI::RemoveAll();
}

bool CTabLayoutUI::SelectItem(int index) {
  if (index < 0 || index >= GetCount()) return false;
  if (index == curSel_) return true;
  int previous = curSel_;
  curSel_ = index;
  for (int i = 0; i < GetCount(); ++i) items_[i]->SetVisible(i == index);
  NeedParentUpdate();
  if (manager_ != nullptr) {
    manager_->SetFocus(nullptr);
    manager_->SendNotify(this, L"tabselect", static_cast<WPARAM>(curSel_), static_cast<LPARAM>(previous));
  }
  return true;
}

void CTabLayoutUI::SetPos(RECT rc) {
  CControlUI::SetPos(rc);
  CControlUI* page = GetItemAt(curSel_);
  if (page == nullptr || !page->IsVisible()) return;
  if (page->IsFloat()) {
    SetFloatPos(page, ChildArea());
  } else {
    page->SetPos(ToWinRect(LayoutTabPage(FromWinRect(ChildArea()), MakeLayoutItem(page))));
  }
}

}  // namespace DuiLib
