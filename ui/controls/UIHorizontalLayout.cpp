#include "ui/controls/UIHorizontalLayout.h"

#include "ui/controls/LayoutBridge.h"

namespace DuiLib {

const wchar_t* CHorizontalLayoutUI::GetClass() const { return L"HorizontalLayoutUI"; }

void CHorizontalLayoutUI::SetPos(RECT rc) {
  CControlUI::SetPos(rc);
  ApplyLayout(items_, LayoutHorizontal(FromWinRect(pos_), FromWinRect(ChildArea()), MakeLayoutItems(items_),
                                       childPadding_));
}

}  // namespace DuiLib
