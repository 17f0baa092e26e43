#include "ui/UIFlavour.h"

namespace DuiLib {

namespace {
const wchar_t* const kClientClasses[] = {L"ButtonUI", L"OptionUI", L"TextUI", L"SliderUI", L"RichEditUI"};
}  // namespace

const UIFlavour& GetUIFlavour() {
  static const UIFlavour kProgram{SkinSourceType::ZipFile, L"skin.zip", false, kClientClasses,
                                  sizeof(kClientClasses) / sizeof(kClientClasses[0])};
  return kProgram;
}

}  // namespace DuiLib
