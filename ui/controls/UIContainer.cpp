#include "ui/controls/UIContainer.h"

#include <algorithm>

#include "ui/UIManager.h"
#include "ui/controls/AttributeTable.h"
#include "ui/controls/LayoutBridge.h"
#include "ui/core/ValueSyntax.h"

namespace DuiLib {

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI() {
  for (CControlUI* child : items_) delete child;
  items_.clear();
}

const wchar_t* CContainerUI::GetClass() const { return L"ContainerUI"; }

void* CContainerUI::GetInterface(const wchar_t* name) {
  if (std::wstring(name) == kInterfaceContainer) return static_cast<IContainerUI*>(this);
  return CControlUI::GetInterface(name);
}

void CContainerUI::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  using C = CContainerUI;
  static const AttributeHandler<C> kTable[] = {
      {L"inset", [](C& c, const std::wstring& v) { c.inset_ = ToWinRect(ParseRect(v.c_str())); c.NeedUpdate(); }},
      {L"childpadding", [](C& c, const std::wstring& v) { c.childPadding_ = ParseInt(v.c_str()); c.NeedUpdate(); }},
      {L"mousechild", [](C& c, const std::wstring& v) { c.mouseChild_ = ParseBool(v.c_str()); }},
  };
  if (!ApplyFromTable(kTable, *this, name, value)) CControlUI::ApplyAttribute(name, value);
}

CControlUI* CContainerUI::GetItemAt(int index) const {
  if (index < 0 || index >= static_cast<int>(items_.size())) return nullptr;
  return items_[index];
}

int CContainerUI::GetItemIndex(CControlUI* control) const {
  auto it = std::find(items_.begin(), items_.end(), control);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

int CContainerUI::GetCount() const { return static_cast<int>(items_.size()); }

bool CContainerUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CContainerUI::AddAt(CControlUI* control, int index) {
  if (control == nullptr || index < 0 || index > static_cast<int>(items_.size())) return false;
  if (manager_ != nullptr) {
    control->SetManager(manager_, this, true);
  } else {
    control->SetManager(nullptr, this, false);
  }
  // A hidden container hides what it receives.
  control->SetInternVisible(IsVisible());
  items_.insert(items_.begin() + index, control);
  NeedUpdate();
  return true;
}

bool CContainerUI::Remove(CControlUI* control) { return RemoveAt(GetItemIndex(control)); }

bool CContainerUI::RemoveAt(int index) {
  CControlUI* child = GetItemAt(index);
  if (child == nullptr) return false;
  items_.erase(items_.begin() + index);
  DestroyChild(child);
  NeedUpdate();
  return true;
}

void CContainerUI::RemoveAll() {
  std::vector<CControlUI*> children;
  children.swap(items_);
  for (CControlUI* child : children) DestroyChild(child);
  NeedUpdate();
}

void CContainerUI::DestroyChild(CControlUI* child) {
  if (manager_ != nullptr) {
    manager_->DelayedDestroy(child);
  } else {
    delete child;
  }
}

void CContainerUI::SetVisible(bool visible) {
  if (visible_ == visible) return;
  CControlUI::SetVisible(visible);
  for (CControlUI* child : items_) child->SetInternVisible(IsVisible());
}

void CContainerUI::SetInternVisible(bool visible) {
  CControlUI::SetInternVisible(visible);
  for (CControlUI* child : items_) child->SetInternVisible(IsVisible());
}

void CContainerUI::SetManager(CSkinManager* manager, CControlUI* parent, bool init) {
  for (CControlUI* child : items_) child->SetManager(manager, this, init);
  CControlUI::SetManager(manager, parent, init);
}

// Children are searched before the container itself (deepest first), later siblings before
// earlier ones for hit tests, so the control drawn on top wins.
CControlUI* CContainerUI::FindControl(FindProc proc, void* data, UINT flags) {
  if ((flags & FIND_VISIBLE) && !IsVisible()) return nullptr;
  if ((flags & FIND_ENABLED) && !IsEnabled()) return nullptr;
  if (flags & FIND_HITTEST) {
    if (!::PtInRect(&pos_, *static_cast<POINT*>(data))) return nullptr;
    if (mouseChild_) {
      for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
        CControlUI* found = (*it)->FindControl(proc, data, flags);
        if (found != nullptr) return found;
      }
    }
    return mouseEnabled_ ? proc(this, data) : nullptr;
  }
  if (flags & FIND_ME_FIRST) {
    CControlUI* found = proc(this, data);
    if (found != nullptr) return found;
  }
  for (CControlUI* child : items_) {
    CControlUI* found = child->FindControl(proc, data, flags);
    if (found != nullptr) return found;
  }
  return (flags & FIND_ME_FIRST) ? nullptr : proc(this, data);
}

RECT CContainerUI::ChildArea() const {
  return RECT{pos_.left + inset_.left, pos_.top + inset_.top, pos_.right - inset_.right,
              pos_.bottom - inset_.bottom};
}

void CContainerUI::SetFloatPos(CControlUI* child, const RECT&) {
  child->SetPos(ToWinRect(PlaceFloating(FromWinRect(pos_), MakeLayoutItem(child))));
}

// A plain container stacks its non-floating children over the whole child area.
void CContainerUI::SetPos(RECT rc) {
  CControlUI::SetPos(rc);
  RECT area = ChildArea();
  for (CControlUI* child : items_) {
    if (!child->IsVisible()) continue;
    if (child->IsFloat()) {
      SetFloatPos(child, area);
    } else {
      child->SetPos(area);
    }
  }
}

void CContainerUI::DoPaint(HDC dc, const RECT& paint) {
  RECT visible;
  if (!::IntersectRect(&visible, &paint, &pos_)) return;
  CControlUI::DoPaint(dc, paint);
  for (CControlUI* child : items_) {
    if (!child->IsVisible()) continue;
    RECT overlap;
    if (::IntersectRect(&overlap, &visible, &child->GetPos())) child->DoPaint(dc, visible);
  }
}

void CContainerUI::DoEvent(ControlEvent& event) { CControlUI::DoEvent(event); }

}  // namespace DuiLib
