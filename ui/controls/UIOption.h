// A toggle button; options sharing a group name behave as radio buttons.
//
//   activation            -> "click" (handlers still see the old selection), then:
//     in a group          -> Selected(true)
//     outside a group     -> Selected(!selected)
//   Selected(v)           -> store v, then:
//     in a group, v true  -> deselect the group's others, "selectchanged"
//     in a group, v false -> nothing more
//     outside a group     -> "selectchanged"
#pragma once

#include "ui/controls/UIButton.h"

namespace DuiLib {

class COptionUI : public CButtonUI {
 public:
  const wchar_t* GetClass() const override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;

  bool IsSelected() const { return selected_; }
  virtual void Selected(bool selected);
  const std::wstring& GetGroup() const { return group_; }
  bool Activate() override;
  void PaintStatusImage(HDC dc) override;
  void PaintText(HDC dc) override;

 protected:
  bool selected_ = false;
  std::wstring group_;
  std::wstring selectedImage_, selectedHotImage_, selectedForeImage_;
  DWORD selectedBkColor_ = 0, selectedTextColor_ = 0;
};

}  // namespace DuiLib
