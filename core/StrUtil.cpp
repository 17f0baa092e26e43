#include "core/StrUtil.h"

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <stdio.h>
#include <ctime>
#include <cwchar>
#include <vector>

// On Windows the C runtime's own _vscwprintf/_vsnwprintf are used: %s means a wide string
// there, the convention every FormatStringW caller writes for (mingw's C99 replacements for
// the standard names would read %s as narrow).

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

#ifndef _WIN32
// glibc reads %s in a wide format as a narrow string; rewrite plain %s/%c to %ls/%lc so the
// host behaves like the Windows runtime.
std::wstring ToGlibcWideFormat(const wchar_t* format) {
  std::wstring out;
  for (const wchar_t* p = format; *p; ++p) {
    out += *p;
    if (*p != L'%') continue;
    ++p;
    while (*p && wcschr(L"-+ #0123456789.*", *p)) out += *p++;
    bool hasLength = false;
    while (*p && wcschr(L"hlLqjzt", *p)) {
      hasLength = true;
      out += *p++;
    }
    if (!*p) break;
    if (!hasLength && (*p == L's' || *p == L'c')) out += L'l';
    out += *p;
  }
  return out;
}
#endif

template <typename Char>
int32_t AtoiImpl(const Char* p) {
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = (*p++ == '-');
  int64_t value = 0;
  bool overflow = false;
  for (; *p >= '0' && *p <= '9'; ++p) {
    value = value * 10 + (*p - '0');
    if (value > static_cast<int64_t>(INT_MAX) + 1) {
      overflow = true;
      break;
    }
  }
  // The C runtime saturates on overflow.
  if (negative) {
    value = -value;
    if (overflow || value < INT_MIN) return INT_MIN;
    return static_cast<int32_t>(value);
  }
  if (overflow || value > INT_MAX) return INT_MAX;
  return static_cast<int32_t>(value);
}

// Cuts the text before the next separator off `text` (dropping the separator too).
std::wstring TakeComponent(std::wstring& text, wchar_t separator) {
  size_t pos = text.find(separator);
  std::wstring part;
  if (pos == std::wstring::npos) {
    part.swap(text);
  } else {
    part = text.substr(0, pos);
    text.erase(0, pos + 1);
  }
  return part;
}

}  // namespace

std::wstring FormatStringW(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
#ifdef _WIN32
  va_list measure;
  va_copy(measure, args);
  int length = _vscwprintf(format, measure);
  va_end(measure);
  std::wstring out;
  if (length > 0) {
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    _vsnwprintf(buffer.data(), buffer.size(), format, args);
    out.assign(buffer.data(), static_cast<size_t>(length));
  }
#else
  std::wstring fixed = ToGlibcWideFormat(format);
  // glibc has no way to measure a wide format; grow until it fits.
  std::wstring out;
  for (size_t size = 256;; size *= 2) {
    std::vector<wchar_t> buffer(size);
    va_list attempt;
    va_copy(attempt, args);
    int length = vswprintf(buffer.data(), size, fixed.c_str(), attempt);
    va_end(attempt);
    if (length >= 0) {
      out.assign(buffer.data(), static_cast<size_t>(length));
      break;
    }
    if (size > (1u << 26)) break;
  }
#endif
  va_end(args);
  return out;
}

std::string FormatStringA(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list measure;
  va_copy(measure, args);
  int length = vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  std::string out;
  if (length > 0) {
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    vsnprintf(buffer.data(), buffer.size(), format, args);
    out.assign(buffer.data(), static_cast<size_t>(length));
  }
  va_end(args);
  return out;
}

std::wstring TrimLeftW(const std::wstring& text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  return text.substr(i);
}

std::wstring TrimRightW(const std::wstring& text) {
  size_t n = text.size();
  while (n > 0 && IsBlank(text[n - 1])) --n;
  return text.substr(0, n);
}

std::wstring TrimW(const std::wstring& text) { return TrimRightW(TrimLeftW(text)); }

std::string TrimA(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
  while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  return text.substr(begin, end - begin);
}

void ReplaceAllA(std::string& text, const std::string& find, const std::string& replacement) {
  if (find.empty()) return;
  size_t pos = 0;
  while ((pos = text.find(find, pos)) != std::string::npos) {
    text.replace(pos, find.size(), replacement);
    pos += replacement.size();
  }
}

void BytesToHex(const unsigned char* bytes, size_t count, char* out) {
  static const char kDigits[] = "0123456789ABCDEF";
  for (size_t i = 0; i < count; ++i) {
    out[2 * i] = kDigits[bytes[i] >> 4];
    out[2 * i + 1] = kDigits[bytes[i] & 0x0F];
  }
  out[2 * count] = '\0';
}

std::string BytesToHex(const unsigned char* bytes, size_t count) {
  std::string out(2 * count + 1, '\0');
  BytesToHex(bytes, count, out.data());
  out.resize(2 * count);
  return out;
}

std::wstring UnixTimeText(int64_t seconds) { return std::to_wstring(seconds); }

int32_t WideAtoi(const std::wstring& text) { return AtoiImpl(text.c_str()); }
int32_t NarrowAtoi(const std::string& text) { return AtoiImpl(text.c_str()); }

bool CompareVersion(std::wstring first, std::wstring second, wchar_t separator, int& result) {
  if (first.empty() || second.empty()) return false;
  while (!second.empty()) {
    uint32_t a = static_cast<uint32_t>(WideAtoi(TakeComponent(first, separator)));
    uint32_t b = static_cast<uint32_t>(WideAtoi(TakeComponent(second, separator)));
    if (a < b) {
      result = 1;
      break;
    }
    if (a > b) {
      result = -1;
      break;
    }
    result = 0;
    if (first.empty()) break;
  }
  return true;
}

std::wstring GetUnixTimeString() {
  // The full 64-bit time: the same digits as a 32-bit "%ld" until 2038, and right after it.
  return UnixTimeText(static_cast<int64_t>(std::time(nullptr)));
}
