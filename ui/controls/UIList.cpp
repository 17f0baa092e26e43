#include "ui/controls/UIList.h"

#include "ui/UIManager.h"
#include "ui/controls/AttributeTable.h"
#include "ui/controls/LayoutBridge.h"
#include "ui/controls/UIListContainerElement.h"
#include "ui/core/TextStyle.h"
#include "ui/core/ValueSyntax.h"

namespace DuiLib {

CListUI::CListUI() {
  header_ = new CHorizontalLayoutUI;
  body_ = new CVerticalLayoutUI;
  // An empty header would take a share of the height; it shows once a skin asks for it.
  header_->SetVisible(false);
  // Qualified: the list's own AddAt would put them into the body.
  CContainerUI::AddAt(header_, 0);
  CContainerUI::AddAt(body_, 1);
}

const wchar_t* CListUI::GetClass() const { return L"ListUI"; }

void* CListUI::GetInterface(const wchar_t* name) {
  if (std::wstring(name) == kInterfaceList) return this;
  return CVerticalLayoutUI::GetInterface(name);
}

void CListUI::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  using C = CListUI;
  static const AttributeHandler<C> kTable[] = {
      {L"header", [](C& c, const std::wstring& v) { c.header_->SetVisible(v != L"hidden"); }},
      {L"headerbkimage", [](C& c, const std::wstring& v) { c.header_->SetBkImage(v); }},
      {L"itemfont", [](C& c, const std::wstring& v) { c.itemStyle_.font = ParseInt(v.c_str()); }},
      {L"itemalign", [](C& c, const std::wstring& v) { c.itemStyle_.textStyle = ApplyAlignAttribute(c.itemStyle_.textStyle, v.c_str()); }},
      {L"itemendellipsis", [](C& c, const std::wstring& v) { c.itemStyle_.textStyle = ApplyEndEllipsis(c.itemStyle_.textStyle, ParseBool(v.c_str())); }},
      {L"itemtextpadding", [](C& c, const std::wstring& v) { c.itemStyle_.textPadding = ToWinRect(ParseRect(v.c_str())); }},
      {L"itemtextcolor", [](C& c, const std::wstring& v) { c.itemStyle_.textColor = ParseColor(v.c_str()); }},
      {L"itembkcolor", [](C& c, const std::wstring& v) { c.itemStyle_.bkColor = ParseColor(v.c_str()); }},
      {L"itembkimage", [](C& c, const std::wstring& v) { c.itemStyle_.bkImage = v; }},
      {L"itemselectedtextcolor", [](C& c, const std::wstring& v) { c.itemStyle_.selectedTextColor = ParseColor(v.c_str()); }},
      {L"itemselectedbkcolor", [](C& c, const std::wstring& v) { c.itemStyle_.selectedBkColor = ParseColor(v.c_str()); }},
      {L"itemselectedimage", [](C& c, const std::wstring& v) { c.itemStyle_.selectedImage = v; }},
      {L"itemhottextcolor", [](C& c, const std::wstring& v) { c.itemStyle_.hotTextColor = ParseColor(v.c_str()); }},
      {L"itemhotbkcolor", [](C& c, const std::wstring& v) { c.itemStyle_.hotBkColor = ParseColor(v.c_str()); }},
      {L"itemhotimage", [](C& c, const std::wstring& v) { c.itemStyle_.hotImage = v; }},
      {L"itemdisabledtextcolor", [](C& c, const std::wstring& v) { c.itemStyle_.disabledTextColor = ParseColor(v.c_str()); }},
      {L"itemdisabledbkcolor", [](C& c, const std::wstring& v) { c.itemStyle_.disabledBkColor = ParseColor(v.c_str()); }},
      {L"itemdisabledimage", [](C& c, const std::wstring& v) { c.itemStyle_.disabledImage = v; }},
      {L"itemlinecolor", [](C& c, const std::wstring& v) { c.itemStyle_.lineColor = ParseColor(v.c_str()); }},
      {L"itemshowhtml", [](C& c, const std::wstring& v) { c.itemStyle_.showHtml = ParseBool(v.c_str()); }},
  };
  if (!ApplyFromTable(kTable, *this, name, value)) CVerticalLayoutUI::ApplyAttribute(name, value);
}

CControlUI* CListUI::GetItemAt(int index) const { return body_->GetItemAt(index); }
int CListUI::GetItemIndex(CControlUI* control) const { return body_->GetItemIndex(control); }
int CListUI::GetCount() const { return body_->GetCount(); }
bool CListUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CListUI::AddAt(CControlUI* control, int index) {
  if (!body_->AddAt(control, index)) return false;
  Renumber();
  return true;
}

bool CListUI::Remove(CControlUI* control) { return RemoveAt(GetItemIndex(control)); }

bool CListUI::RemoveAt(int index) {
  if (!body_->RemoveAt(index)) return false;
  if (curSel_ == index) curSel_ = -1;
  if (curSel_ > index) --curSel_;
  Renumber();
  return true;
}

void CListUI::RemoveAll() {
  curSel_ = -1;
  body_->RemoveAll();
}

bool CListUI::IsHeaderVisible() const { return header_->IsVisible(); }

bool CListUI::SelectItem(int index) {
  if (index == curSel_) return true;
  if (auto* old = dynamic_cast<CListContainerElementUI*>(GetItemAt(curSel_))) old->Select(false);
  auto* row = dynamic_cast<CListContainerElementUI*>(GetItemAt(index));
  curSel_ = row != nullptr ? index : -1;
  if (row == nullptr) return false;
  row->Select(true);
  if (manager_ != nullptr) manager_->SendNotify(this, L"itemselect", static_cast<WPARAM>(index));
  return true;
}

void CListUI::Renumber() {
  for (int i = 0; i < body_->GetCount(); ++i) {
    if (auto* row = dynamic_cast<CListContainerElementUI*>(body_->GetItemAt(i))) {
      row->SetOwner(this);
      row->SetIndex(i);
    }
  }
}

}  // namespace DuiLib
