#include "ui/core/AttributeList.h"

namespace DuiLib {

std::vector<AttributePair> ParseAttributeList(const wchar_t* text) {
  std::vector<AttributePair> pairs;
  if (text == nullptr) return pairs;
  const wchar_t* p = text;
  while (*p != L'\0') {
    const wchar_t* name = p;
    while (*p != L'\0' && *p != L'=') ++p;
    if (p[0] != L'=' || p[1] != L'"') break;
    std::wstring key(name, p);
    p += 2;
    const wchar_t* value = p;
    while (*p != L'\0' && *p != L'"') ++p;
    if (*p != L'"') break;  // an unterminated value is not applied
    pairs.emplace_back(std::move(key), std::wstring(value, p));
    ++p;
    // Exactly one space, then more text.
    if (p[0] != L' ' || p[1] == L'\0' || p[1] == L' ') break;
    ++p;
  }
  return pairs;
}

}  // namespace DuiLib
