// Attribute-list texts, as stored by `Default` elements and given to ApplyAttributes:
//   name="value" name2="value2"
// The name runs up to '=', which must be followed directly by '"'; the value runs to the next
// '"'. The list goes on only when exactly one space follows a closing quote and more text
// follows it. Reading stops silently at the first text that breaks these rules; the pairs read
// before it still count.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace DuiLib {

using AttributePair = std::pair<std::wstring, std::wstring>;

std::vector<AttributePair> ParseAttributeList(const wchar_t* text);

}  // namespace DuiLib
