#include "ui/core/ValueSyntax.h"

#include <climits>
#include <cwchar>

namespace DuiLib {

bool ParseBool(const wchar_t* value) { return value != nullptr && std::wcscmp(value, L"true") == 0; }

int ParseInt(const wchar_t* value, const wchar_t** end) {
  if (end) *end = value;
  if (value == nullptr) return 0;
  const wchar_t* p = value;
  while (*p == L' ' || (*p >= L'\t' && *p <= L'\r')) ++p;
  bool negative = false;
  if (*p == L'+' || *p == L'-') {
    negative = *p == L'-';
    ++p;
  }
  if (*p < L'0' || *p > L'9') return 0;  // no digits: nothing consumed
  long long n = 0;
  for (; *p >= L'0' && *p <= L'9'; ++p) {
    if (n <= static_cast<long long>(INT_MAX) + 1) n = n * 10 + (*p - L'0');
  }
  if (end) *end = p;
  if (negative) return n > static_cast<long long>(INT_MAX) + 1 ? INT_MIN : static_cast<int>(-n);
  return n > INT_MAX ? INT_MAX : static_cast<int>(n);
}

void ParseIntList(const wchar_t* value, int* out, int count) {
  const wchar_t* p = value;
  for (int i = 0; i < count; ++i) {
    if (p == nullptr || *p == L'\0') {
      out[i] = 0;
      p = nullptr;
      continue;
    }
    const wchar_t* end = p;
    out[i] = ParseInt(p, &end);
    // Exactly one separator character, but never past the end of the text.
    p = *end == L'\0' ? nullptr : end + 1;
  }
}

Size ParseSize(const wchar_t* value) {
  int v[2];
  ParseIntList(value, v, 2);
  return Size{v[0], v[1]};
}

Point ParsePoint(const wchar_t* value) {
  int v[2];
  ParseIntList(value, v, 2);
  return Point{v[0], v[1]};
}

Rect ParseRect(const wchar_t* value) {
  int v[4];
  ParseIntList(value, v, 4);
  return Rect{v[0], v[1], v[2], v[3]};
}

uint32_t ParseColor(const wchar_t* value) {
  if (value == nullptr) return 0;
  const wchar_t* p = value;
  while (*p == L' ' || *p == L'\t') ++p;
  if (*p == L'#') ++p;
  if (p[0] == L'0' && (p[1] == L'x' || p[1] == L'X')) p += 2;
  uint64_t n = 0;
  for (;; ++p) {
    int digit;
    if (*p >= L'0' && *p <= L'9') digit = *p - L'0';
    else if (*p >= L'a' && *p <= L'f') digit = *p - L'a' + 10;
    else if (*p >= L'A' && *p <= L'F') digit = *p - L'A' + 10;
    else break;
    n = n * 16 + digit;
    if (n > 0xFFFFFFFFull) return 0xFFFFFFFFu;
  }
  return static_cast<uint32_t>(n);
}

}  // namespace DuiLib
