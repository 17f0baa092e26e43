// Drawing pictures and colours into a DC.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "ui/core/ImageString.h"
#include "ui/core/UIGeometry.h"
#include "ui/render/ImageEntry.h"

namespace DuiLib {

inline RECT ToRECT(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }
inline Rect FromRECT(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }

// Fills `rect` with an 0xAARRGGBB colour; alpha below 255 blends over what is there.
void DrawColor(HDC dc, const Rect& rect, uint32_t argb);

// Draws `source` of the image into `dest`, only where dest meets `clip`. With `corner` set the
// four corners are copied unscaled, the edges stretched in one direction and the centre
// stretched, tiled (xtiled/ytiled) or left out (hole). Alpha blending is used when `alpha` is
// set or `fade` is below 255; otherwise pixels are copied, 1:1 when the sizes match.
struct ImageDrawParams {
  Rect dest;
  Rect clip;
  Rect source;
  Rect corner;
  bool alpha = false;
  uint8_t fade = 255;
  bool hole = false;
  bool xtiled = false;
  bool ytiled = false;
};
void DrawImage(HDC dc, const ImageEntry& image, const ImageDrawParams& params);

// Finds (and caches) an image for a spec; nullptr when it cannot be loaded. The skin manager
// provides this from its image cache.
using ImageResolver = std::function<const ImageEntry*(const ImageDrawSpec& spec)>;

// Draws an image string (and an optional modifying string) for a control at `control`,
// painting only inside `paint`. dest is relative to the control and limited to its right and
// bottom; source defaults to (and is limited to) the whole image. `bktrans` forces alpha
// blending. Returns false when an image named by the string cannot be loaded (the caller then
// clears a button's state image); an empty string draws nothing and returns true.
bool DrawImageString(HDC dc, const Rect& control, const Rect& paint, const wchar_t* image,
                     const wchar_t* modify, const ImageResolver& resolve, bool bktrans);

}  // namespace DuiLib
