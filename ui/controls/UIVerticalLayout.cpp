#include "ui/controls/UIVerticalLayout.h"

#include "ui/controls/LayoutBridge.h"

namespace DuiLib {

const wchar_t* CVerticalLayoutUI::GetClass() const { return L"VerticalLayoutUI"; }

void CVerticalLayoutUI::SetPos(RECT rc) {
  CControlUI::SetPos(rc);
  ApplyLayout(items_, LayoutVertical(FromWinRect(pos_), FromWinRect(ChildArea()), MakeLayoutItems(items_),
                                     childPadding_));
}

}  // namespace DuiLib
