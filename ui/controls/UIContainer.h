// Ordered child list with inset and child padding. Children belong to the container and are
// destroyed with it; a child removed while its window is handling a message is destroyed
// after that message, so handlers running on it finish safely.
#pragma once

#include <vector>

#include "ui/controls/UIControl.h"

namespace DuiLib {

class CContainerUI : public CControlUI, public IContainerUI {
 public:
  CContainerUI();
  ~CContainerUI() override;
  const wchar_t* GetClass() const override;
  void* GetInterface(const wchar_t* name) override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;

  // IContainerUI
  CControlUI* GetItemAt(int index) const override;
  int GetItemIndex(CControlUI* control) const override;
  int GetCount() const override;
  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control) override;
  bool RemoveAt(int index) override;
  void RemoveAll() override;

  const RECT& GetInset() const { return inset_; }
  int GetChildPadding() const { return childPadding_; }

  void SetVisible(bool visible = true) override;
  void SetInternVisible(bool visible = true) override;
  void SetManager(CSkinManager* manager, CControlUI* parent, bool init = true) override;
  CControlUI* FindControl(FindProc proc, void* data, UINT flags) override;
  void SetPos(RECT rc) override;
  void DoPaint(HDC dc, const RECT& paint) override;
  void DoEvent(ControlEvent& event) override;

 protected:
  // Child area: the rectangle minus the inset.
  RECT ChildArea() const;
  // Places one floating child inside `area` by its fixed position and size.
  void SetFloatPos(CControlUI* child, const RECT& area);
  void DestroyChild(CControlUI* child);

  std::vector<CControlUI*> items_;
  RECT inset_{};
  int childPadding_ = 0;
  bool mouseChild_ = true;
};

}  // namespace DuiLib
