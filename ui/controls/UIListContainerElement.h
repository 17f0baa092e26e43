// A list row holding controls.
#pragma once

#include "ui/controls/UIHorizontalLayout.h"

namespace DuiLib {

class CListUI;

class CListContainerElementUI : public CHorizontalLayoutUI {
 public:
  const wchar_t* GetClass() const override;
  void* GetInterface(const wchar_t* name) override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;

  CListUI* GetOwner() const { return owner_; }
  void SetOwner(CListUI* owner) { owner_ = owner; }
  int GetIndex() const { return index_; }
  void SetIndex(int index) { index_ = index; }
  bool IsSelected() const { return selected_; }
  virtual bool Select(bool select = true);
  void DoEvent(ControlEvent& event) override;
  void DoPaint(HDC dc, const RECT& paint) override;

 protected:
  // Row background and text colours from the owning list's item attributes.
  void PaintRowBackground(HDC dc);

  CListUI* owner_ = nullptr;
  int index_ = -1;
  bool selected_ = false;
};

}  // namespace DuiLib
