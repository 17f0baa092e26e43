// Children stacked top to bottom; flexible children share the height left over.
#pragma once

#include "ui/controls/UIContainer.h"

namespace DuiLib {

class CVerticalLayoutUI : public CContainerUI {
 public:
  const wchar_t* GetClass() const override;
  void SetPos(RECT rc) override;
};

}  // namespace DuiLib
