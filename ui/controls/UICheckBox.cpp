#include "ui/controls/UICheckBox.h"

namespace DuiLib {

const wchar_t* CCheckBoxUI::GetClass() const { return L"CheckBoxUI"; }

}  // namespace DuiLib
