// Image strings: either a bare image name, or items key='value' separated by blanks:
//   file='close.png' source='0,0,32,24' corner='4,4,4,4' dest='0,0,10,10' mask='#FFFF00FF'
//   res='name' restype='PNG' fade='128' hole='true' xtiled='true' ytiled='false'
// The whole text is first the name; items are then read left to right until a text that does
// not have the key='value' form. A second `file`/`res` draws what was collected so far before
// its name is taken. Items with an empty value are ignored. A modifying string (the progress
// bar's dest/source) is read after the first one with the same rules.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/core/UIGeometry.h"

namespace DuiLib {

// One image to draw, as the strings describe it.
struct ImageDrawSpec {
  std::wstring name;
  std::wstring res_type;       // with from_resource: the module resource type
  bool from_resource = false;  // named by `res` rather than `file`
  bool has_dest = false;       // false: the whole control
  Rect dest;                   // relative to the control's top-left corner
  Rect source;                 // all zero: the whole image
  Rect corner;                 // unscaled border widths (nine-part drawing)
  uint32_t mask = 0;           // colour key applied when the image is first loaded
  uint8_t fade = 255;          // overall opacity, clamped to 0..255
  bool hole = false;
  bool xtiled = false;
  bool ytiled = false;
};

// The images to draw, in order. `modify` may be null.
std::vector<ImageDrawSpec> ParseImageString(const wchar_t* image, const wchar_t* modify = nullptr);

}  // namespace DuiLib
