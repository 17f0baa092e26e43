#include "ui/core/Utf8.h"

#include <cstring>

namespace DuiLib {

namespace {

constexpr wchar_t kReplacement = 0xFFFD;

}  // namespace

std::wstring Utf8ToUtf16(const uint8_t* s, size_t size) {
  size_t i = 0;
  if (size >= 3 && s[0] == 0xEF && s[1] == 0xBB && s[2] == 0xBF) i = 3;
  // Never more code units than bytes: a 4-byte sequence gives a surrogate pair.
  std::wstring out(size - i, L'\0');
  wchar_t* w = out.data();
  while (i < size) {
    // Markup is mostly ASCII: widen eight bytes at a time while none has its high bit set.
    while (size - i >= 8) {
      uint64_t chunk;
      std::memcpy(&chunk, s + i, 8);
      if (chunk & 0x8080808080808080ull) break;
      for (int k = 0; k < 8; ++k) w[k] = static_cast<wchar_t>(s[i + k]);
      w += 8;
      i += 8;
    }
    if (i >= size) break;
    uint8_t b = s[i];
    if (b < 0x80) {
      *w++ = static_cast<wchar_t>(b);
      ++i;
      continue;
    }
    int extra;
    uint32_t cp, min;
    if ((b & 0xE0) == 0xC0) extra = 1, cp = b & 0x1F, min = 0x80;
    else if ((b & 0xF0) == 0xE0) extra = 2, cp = b & 0x0F, min = 0x800;
    else if ((b & 0xF8) == 0xF0) extra = 3, cp = b & 0x07, min = 0x10000;
    else {
      *w++ = kReplacement;
      ++i;
      continue;
    }
    size_t j = 1;
    for (; j <= static_cast<size_t>(extra) && i + j < size && (s[i + j] & 0xC0) == 0x80; ++j)
      cp = (cp << 6) | (s[i + j] & 0x3F);
    if (j != static_cast<size_t>(extra) + 1 || cp < min || cp > 0x10FFFF ||
        (cp >= 0xD800 && cp <= 0xDFFF)) {
      *w++ = kReplacement;
      i += j;  // resynchronise after the bytes that looked like a sequence
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      *w++ = static_cast<wchar_t>(0xD800 + (cp >> 10));
      *w++ = static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
    } else {
      *w++ = static_cast<wchar_t>(cp);
    }
    i += j;
  }
  out.resize(static_cast<size_t>(w - out.data()));
  return out;
}

std::string Utf16ToUtf8(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    // On the host a wide character may already hold a whole code point.
    uint32_t cp = static_cast<uint32_t>(text[i]);
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size()) {
      uint32_t lo = static_cast<uint32_t>(text[i + 1]);
      if (lo >= 0xDC00 && lo <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
        ++i;
      }
    }
    if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = 0xFFFD;
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

}  // namespace DuiLib
