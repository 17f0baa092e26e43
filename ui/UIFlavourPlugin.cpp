#include "ui/UIFlavour.h"

namespace DuiLib {

namespace {
// Check boxes and scroll bars stay clickable in the wizards' caption band.
const wchar_t* const kClientClasses[] = {L"ButtonUI",   L"OptionUI",   L"TextUI",     L"SliderUI",
                                         L"CheckBoxUI", L"RichEditUI", L"ScrollBarUI"};
}  // namespace

const UIFlavour& GetUIFlavour() {
  static const UIFlavour kPlugin{SkinSourceType::File, L"", true, kClientClasses,
                                 sizeof(kClientClasses) / sizeof(kClientClasses[0])};
  return kPlugin;
}

}  // namespace DuiLib
