// Shows one child page at a time.
//
//   SelectItem(i)        | result
//   ---------------------+---------------------------------------------------------------
//   i outside the pages  | false
//   i == current         | true, nothing else
//   otherwise            | i current and visible, others hidden, relayout,
//                        | "tabselect" (wParam i, lParam previous), true
//
// While the markup is built the first page added is shown and later ones are hidden.
#pragma once

#include "ui/controls/UIContainer.h"

namespace DuiLib {

class CTabLayoutUI : public CContainerUI {
 public:
  const wchar_t* GetClass() const override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;

  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control) override;
  void RemoveAll() override;
  int GetCurSel() const { return curSel_; }
  bool SelectItem(int index);
  bool SelectItem(CControlUI* control) { return SelectItem(GetItemIndex(control)); }
  void SetPos(RECT rc) override;

 private:
  int curSel_ = -1;
};

}  // namespace DuiLib
