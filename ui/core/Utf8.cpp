#include "ui/core/Utf8.h"

#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace DuiLib {

namespace {

constexpr wchar_t kReplacement = 0xFFFD;

// Widens s[0..16) into w[0..16) when all sixteen bytes are ASCII; false (nothing written)
// otherwise. With SSE2 (every x86-64 build) the bytes are interleaved with zeros in registers;
// other builds use a word test and a plain loop.
inline bool WidenAscii16(const uint8_t* s, wchar_t* w) {
#if defined(__SSE2__)
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
  if (_mm_movemask_epi8(bytes) != 0) return false;
  const __m128i zero = _mm_setzero_si128();
  const __m128i lo = _mm_unpacklo_epi8(bytes, zero);  // eight 16-bit units
  const __m128i hi = _mm_unpackhi_epi8(bytes, zero);
  __m128i* out = reinterpret_cast<__m128i*>(w);
  if constexpr (sizeof(wchar_t) == 2) {
    _mm_storeu_si128(out, lo);
    _mm_storeu_si128(out + 1, hi);
  } else {
    static_assert(sizeof(wchar_t) == 2 || sizeof(wchar_t) == 4, "wchar_t is 16 or 32 bits");
    _mm_storeu_si128(out, _mm_unpacklo_epi16(lo, zero));
    _mm_storeu_si128(out + 1, _mm_unpackhi_epi16(lo, zero));
    _mm_storeu_si128(out + 2, _mm_unpacklo_epi16(hi, zero));
    _mm_storeu_si128(out + 3, _mm_unpackhi_epi16(hi, zero));
  }
  return true;
#else
  uint64_t lo, hi;
  std::memcpy(&lo, s, 8);
  std::memcpy(&hi, s + 8, 8);
  if ((lo | hi) & 0x8080808080808080ull) return false;
  for (int k = 0; k < 16; ++k) w[k] = static_cast<wchar_t>(s[k]);
  return true;
#endif
}

}  // namespace

size_t Utf8ToUtf16(const uint8_t* s, size_t size, wchar_t* out) {
  size_t i = 0;
  if (size >= 3 && s[0] == 0xEF && s[1] == 0xBB && s[2] == 0xBF) i = 3;
  wchar_t* w = out;
  while (i < size) {
    // Markup is mostly ASCII: widen sixteen bytes at a time while none has its high bit set.
    while (size - i >= 16 && WidenAscii16(s + i, w)) {
      w += 16;
      i += 16;
    }
    // Plain ASCII up to the next multi-byte sequence (or the last few bytes).
    while (i < size && s[i] < 0x80) *w++ = static_cast<wchar_t>(s[i++]);
    if (i >= size) break;
    const uint8_t b = s[i];
    int extra;
    uint32_t cp, min;
    if ((b & 0xE0) == 0xC0)
      extra = 1, cp = b & 0x1F, min = 0x80;
    else if ((b & 0xF0) == 0xE0)
      extra = 2, cp = b & 0x0F, min = 0x800;
    else if ((b & 0xF8) == 0xF0)
      extra = 3, cp = b & 0x07, min = 0x10000;
    else {
      *w++ = kReplacement;
      ++i;
      continue;
    }
    size_t j = 1;
    for (; j <= static_cast<size_t>(extra) && i + j < size && (s[i + j] & 0xC0) == 0x80; ++j)
      cp = (cp << 6) | (s[i + j] & 0x3F);
    if (j != static_cast<size_t>(extra) + 1 || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
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
  return static_cast<size_t>(w - out);
}

std::wstring Utf8ToUtf16(const uint8_t* s, size_t size) {
  std::wstring out(size, L'\0');
  out.resize(Utf8ToUtf16(s, size, out.data()));
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
