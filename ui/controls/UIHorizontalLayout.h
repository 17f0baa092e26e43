// Children side by side; flexible children share the width left over.
#pragma once

#include "ui/controls/UIContainer.h"

namespace DuiLib {

class CHorizontalLayoutUI : public CContainerUI {
 public:
  const wchar_t* GetClass() const override;
  void SetPos(RECT rc) override;
};

}  // namespace DuiLib
