#include "ui/core/TextStyle.h"

#include <cwchar>

namespace DuiLib {

namespace {

bool Contains(const wchar_t* value, const wchar_t* word) {
  return value != nullptr && std::wcsstr(value, word) != nullptr;
}

struct InitialStyle {
  TextControlKind kind;
  uint32_t style;
};
constexpr InitialStyle kInitialStyles[] = {
    {TextControlKind::kLabel, kTextVCenter},
    {TextControlKind::kEdit, kTextVCenter},
    {TextControlKind::kButton, kTextSingleLine | kTextVCenter | kTextCenter},
    {TextControlKind::kCheckBox, kTextSingleLine | kTextVCenter | kTextCenter},
    {TextControlKind::kProgress, kTextSingleLine | kTextCenter},
};

}  // namespace

uint32_t InitialTextStyle(TextControlKind kind) {
  for (const InitialStyle& s : kInitialStyles) {
    if (s.kind == kind) return s.style;
  }
  return kTextVCenter;
}

uint32_t ApplyAlignAttribute(uint32_t style, const wchar_t* value) {
  if (Contains(value, L"left")) style &= ~(kTextCenter | kTextRight | kTextSingleLine);
  if (Contains(value, L"center")) style = (style & ~kTextRight) | kTextCenter;
  if (Contains(value, L"right")) style = (style & ~(kTextCenter | kTextSingleLine)) | kTextRight;
  return style;
}

uint32_t ApplyVAlignAttribute(uint32_t style, const wchar_t* value) {
  if (Contains(value, L"top")) style = (style & ~(kTextVCenter | kTextBottom)) | kTextSingleLine;
  if (Contains(value, L"vcenter")) style = (style & ~kTextBottom) | kTextVCenter | kTextSingleLine;
  if (Contains(value, L"bottom")) style = (style & ~kTextVCenter) | kTextBottom | kTextSingleLine;
  return style;
}

uint32_t ApplyEndEllipsis(uint32_t style, bool on) {
  return on ? style | kTextEndEllipsis : style & ~kTextEndEllipsis;
}

uint32_t ApplyMultiline(uint32_t style, bool on) {
  return on ? (style & ~kTextSingleLine) | kTextWordBreak
            : (style & ~kTextWordBreak) | kTextSingleLine;
}

uint32_t DrawTextStyle(TextControlKind kind, uint32_t style) {
  if (kind == TextControlKind::kButton || kind == TextControlKind::kCheckBox) return style;
  return (style & ~kTextWordBreak) | kTextSingleLine;
}

std::vector<TextRun> ParseFormattedText(const wchar_t* text) {
  std::vector<TextRun> runs;
  if (text == nullptr) return runs;
  int underline = 0;
  std::wstring current;
  auto flush = [&] {
    if (!current.empty()) runs.push_back(TextRun{std::move(current), underline > 0});
    current.clear();
  };
  for (const wchar_t* p = text; *p != L'\0';) {
    if (*p == L'{' || *p == L'<') {
      const wchar_t close = *p == L'{' ? L'}' : L'>';
      const wchar_t* q = p + 1;
      const bool closing = *q == L'/';
      if (closing) ++q;
      if (*q >= L'a' && *q <= L'z') {
        const wchar_t letter = *q;
        const wchar_t* end = std::wcschr(q, close);
        if (end != nullptr) {
          flush();
          if (letter == L'u') underline = closing ? (underline > 0 ? underline - 1 : 0) : underline + 1;
          p = end + 1;
          continue;
        }
      }
    }
    current.push_back(*p++);
  }
  flush();
  return runs;
}

}  // namespace DuiLib
