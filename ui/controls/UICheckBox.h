// A check box: an option with its own class name (hit testing tells the two apart).
#pragma once

#include "ui/controls/UIOption.h"

namespace DuiLib {

class CCheckBoxUI : public COptionUI {
 public:
  const wchar_t* GetClass() const override;
  bool IsChecked() const { return IsSelected(); }
  void SetCheck(bool check) { Selected(check); }

 protected:
  TextControlKind TextKind() const override { return TextControlKind::kCheckBox; }
};

}  // namespace DuiLib
