#include "ui/controls/UIOption.h"

#include "ui/UIManager.h"
#include "ui/controls/AttributeTable.h"
#include "ui/core/ValueSyntax.h"
#include "ui/render/RenderImage.h"

namespace DuiLib {

namespace {

struct GroupSearch {
  const std::wstring* group;
  COptionUI* except;
  std::vector<COptionUI*> found;
};

CControlUI* CollectGroup(CControlUI* control, void* data) {
  auto* search = static_cast<GroupSearch*>(data);
  auto* option = dynamic_cast<COptionUI*>(control);
  if (option != nullptr && option != search->except && option->GetGroup() == *search->group) {
    search->found.push_back(option);
  }
  return nullptr;
}

}  // namespace

const wchar_t* COptionUI::GetClass() const { return L"OptionUI"; }

void COptionUI::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  using C = COptionUI;
  static const AttributeHandler<C> kTable[] = {
      {L"selected", [](C& c, const std::wstring& v) { c.Selected(ParseBool(v.c_str())); }},
      {L"group", [](C& c, const std::wstring& v) { c.group_ = v; }},
      {L"selectedimage", [](C& c, const std::wstring& v) { c.selectedImage_ = v; c.Invalidate(); }},
      {L"selectedhotimage", [](C& c, const std::wstring& v) { c.selectedHotImage_ = v; }},
      {L"selectedforeimage", [](C& c, const std::wstring& v) { c.selectedForeImage_ = v; }},
      {L"selectedbkcolor", [](C& c, const std::wstring& v) { c.selectedBkColor_ = ParseColor(v.c_str()); }},
      {L"selectedtextcolor", [](C& c, const std::wstring& v) { c.selectedTextColor_ = ParseColor(v.c_str()); }},
  };
  if (!ApplyFromTable(kTable, *this, name, value)) CButtonUI::ApplyAttribute(name, value);
}

void COptionUI::Selected(bool selected) {
  selected_ = selected;
  if (selected) {
    state_ |= UISTATE_SELECTED;
  } else {
    state_ &= ~UISTATE_SELECTED;
  }
  Invalidate();
  if (manager_ == nullptr) return;
  if (group_.empty()) {
    manager_->SendNotify(this, L"selectchanged");
    return;
  }
  if (!selected) return;
  GroupSearch search{&group_, this, {}};
  if (manager_->GetRoot() != nullptr) {
    manager_->GetRoot()->FindControl(CollectGroup, &search, CControlUI::FIND_ALL);
  }
  for (COptionUI* other : search.found) {
    if (other->IsSelected()) other->Selected(false);
  }
  manager_->SendNotify(this, L"selectchanged");
}

bool COptionUI::Activate() {
  if (!CButtonUI::Activate()) return false;
  Selected(group_.empty() ? !selected_ : true);
  return true;
}

void COptionUI::PaintStatusImage(HDC dc) {
  if (selected_) {
    if (selectedBkColor_ != 0) DrawColor(dc, FromRECT(paintRect_), selectedBkColor_);
    bool drawn = false;
    if ((buttonState_ & UISTATE_HOT) && !selectedHotImage_.empty()) drawn = DrawStateImage(dc, selectedHotImage_);
    if (!drawn) drawn = DrawStateImage(dc, selectedImage_);
    if (drawn) {
      if (!selectedForeImage_.empty()) DrawImage(dc, selectedForeImage_);
      return;
    }
  }
  CButtonUI::PaintStatusImage(dc);
}

void COptionUI::PaintText(HDC dc) {
  if (selected_ && selectedTextColor_ != 0 && IsEnabled()) {
    DrawTextIn(dc, selectedTextColor_);
    return;
  }
  CButtonUI::PaintText(dc);
}

}  // namespace DuiLib
