// One-line and formatted text drawing.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/core/UIGeometry.h"

namespace DuiLib {

// Draws `text` inside `rect` (already reduced by the text padding) with `font`, an 0xAARRGGBB
// colour (alpha ignored) and TextStyle flags (alignment, single line, end ellipsis), with a
// transparent background.
void DrawTextLine(HDC dc, const Rect& rect, const wchar_t* text, uint32_t argb, HFONT font,
                  uint32_t style);

// Formatted text ("{u}...{/u}"): the runs are laid out on one line one after another inside
// `rect`, with the horizontal and vertical alignment of `style`; underlined runs use `font`
// with underline added, made on demand for this call. Clipped to `rect`.
void DrawFormattedText(HDC dc, const Rect& rect, const wchar_t* text, uint32_t argb, HFONT font,
                       uint32_t style);

// Width and height of `text` in `font` on one line.
SIZE MeasureTextLine(HDC dc, const wchar_t* text, HFONT font);

}  // namespace DuiLib
