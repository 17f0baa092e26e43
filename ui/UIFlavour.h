// What differs between the two deliverables that share the framework. The choice is made
// at build time: the main program links the library `duilib`, the installer plug-in
// `duilib_plugin`; both hold the same objects plus one of UIFlavourProgram.cpp /
// UIFlavourPlugin.cpp.
#pragma once

#include <string>

#include "ui/core/SkinSource.h"

namespace DuiLib {

struct UIFlavour {
  SkinSourceType defaultSkinSource;
  const wchar_t* defaultPackageName;
  // An empty skin root becomes the instance path, followed by SkinFolder() when set.
  bool rootIncludesSkinFolder;
  // Classes under which a point of the caption band stays client area (compared without
  // regard to case); over any other control the window can be dragged there.
  const wchar_t* const* clientClasses;
  size_t clientClassCount;
};

const UIFlavour& GetUIFlavour();

}  // namespace DuiLib
