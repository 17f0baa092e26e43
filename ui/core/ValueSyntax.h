// The value syntaxes of skin attributes. Every attribute value is text; these read it the
// way the skins were written against, including their forgiving quirks (an integer reads as
// far as its digits go, a number list skips exactly one separator character).
#pragma once

#include <cstdint>

#include "ui/core/UIGeometry.h"

namespace DuiLib {

// Exactly "true" (case-sensitive) is true; "True", "1" and everything else are false.
bool ParseBool(const wchar_t* value);

// Decimal integer: leading blanks, an optional sign, then the digits up to the first
// non-digit ("12px" is 12, text without digits is 0). Saturates at the int range.
// `end`, when given, receives the position after the last digit read, or `value` itself when
// no digit was read (the C library's rule, which the number lists rely on).
int ParseInt(const wchar_t* value, const wchar_t** end = nullptr);

// Reads up to `count` numbers: the first from the start, each further one starting one
// character after the end of the previous one ("1,2,3,4", "1, 2, 3, 4"). Numbers missing
// from a short list are 0; the reader never steps past the terminating NUL.
void ParseIntList(const wchar_t* value, int* out, int count);
Size ParseSize(const wchar_t* value);    // "cx,cy"
Point ParsePoint(const wchar_t* value);  // "x,y"
Rect ParseRect(const wchar_t* value);    // "left,top,right,bottom"

// 0xAARRGGBB in hexadecimal, with an optional leading '#' and an optional "0x" prefix
// ("#FFCCCCCC", "0xFF999999"). Reads as far as the hex digits go; a value too large for 32
// bits gives 0xFFFFFFFF. 0 means "unset" wherever a default applies.
uint32_t ParseColor(const wchar_t* value);

}  // namespace DuiLib
