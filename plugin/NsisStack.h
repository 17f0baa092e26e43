// The installer's string stack as the exports use it, for the ANSI plug-in (char texts in the
// system code page) and the Unicode plug-in (UTF-16 texts). Texts cross into the plug-in as
// UTF-16 either way.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>

#include "plugin/NsisApi.h"
#include "plugin/PlugRules.h"

namespace plug {

namespace detail {

// Number of leading characters of `text` (at most `max`, stopping at a NUL) that can be kept
// without splitting a double-byte character of the ANSI code page.
inline size_t KeepWhole(const char* text, size_t max) {
  size_t i = 0;
  while (i < max && text[i] != '\0') {
    if (::IsDBCSLeadByte(static_cast<BYTE>(text[i]))) {
      if (i + 1 >= max || text[i + 1] == '\0') break;
      i += 2;
    } else {
      i += 1;
    }
  }
  return i;
}
inline size_t KeepWhole(const wchar_t* text, size_t max) {
  size_t i = 0;
  while (i < max && text[i] != L'\0') ++i;
  return i;
}

inline std::wstring ToWide(const char* text, size_t count) {
  if (count == 0) return {};
  int n = ::MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(count), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(count), wide.data(), n);
  return wide;
}
inline std::wstring ToWide(const wchar_t* text, size_t count) { return std::wstring(text, count); }

inline std::string ToStackText(const std::wstring& text, char*) {
  if (text.empty()) return {};
  int n = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
  std::string narrow(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) {
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), narrow.data(), n,
                          nullptr, nullptr);
  }
  return narrow;
}
inline std::wstring ToStackText(const std::wstring& text, wchar_t*) { return text; }

} // namespace detail

template <typename Ch>
class NsisStack {
 public:
  NsisStack(StackEntry<Ch>** top, int stringSize) : top_(top), stringSize_(stringSize) {}

  // Takes the top entry and returns at most `limit` characters of its text (fewer when the
  // cut would split a double-byte character). An empty or absent stack gives empty text.
  std::wstring PopText(size_t limit) {
    if (top_ == nullptr || *top_ == nullptr) return {};
    StackEntry<Ch>* entry = *top_;
    size_t max = limit;
    if (stringSize_ > 0 && static_cast<size_t>(stringSize_) < max) max = static_cast<size_t>(stringSize_);
    std::wstring text = detail::ToWide(entry->text, detail::KeepWhole(entry->text, max));
    *top_ = entry->next;
    ::GlobalFree(entry);
    return text;
  }

  int PopInt() { return StackTextToInt(PopText(kIntegerLimit)); }

  // Links a zero-filled entry holding at most string size - 1 characters of `text`.
  void PushText(const std::wstring& text) {
    if (top_ == nullptr || stringSize_ <= 0) return;
    auto converted = detail::ToStackText(text, static_cast<Ch*>(nullptr));
    size_t bytes = sizeof(StackEntry<Ch>) + static_cast<size_t>(stringSize_) * sizeof(Ch);
    auto* entry = static_cast<StackEntry<Ch>*>(::GlobalAlloc(GPTR, bytes));
    if (entry == nullptr) return;
    size_t count = detail::KeepWhole(converted.c_str(), static_cast<size_t>(stringSize_) - 1);
    std::memcpy(entry->text, converted.data(), count * sizeof(Ch));
    entry->next = *top_;
    *top_ = entry;
  }

  void PushInt(long long value) { PushText(std::to_wstring(value)); }

 private:
  StackEntry<Ch>** top_;
  int stringSize_;
};

} // namespace plug
