#include "ui/render/RenderText.h"

#include <algorithm>
#include <cwchar>
#include <vector>

#include "ui/core/TextStyle.h"
#include "ui/render/GdiScope.h"
#include "ui/render/RenderImage.h"

namespace DuiLib {

namespace {

HFONT OrDefault(HFONT font) {
  return font ? font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

}  // namespace

SIZE MeasureTextLine(HDC dc, const wchar_t* text, HFONT font) {
  GdiSelect select(dc, OrDefault(font));
  SIZE size{0, 0};
  ::GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
  return size;
}

void DrawTextLine(HDC dc, const Rect& rect, const wchar_t* text, uint32_t argb, HFONT font,
                  uint32_t style) {
  if (text == nullptr || *text == L'\0' || rect.IsEmpty()) return;
  GdiSelect select(dc, OrDefault(font));
  const int old_mode = ::SetBkMode(dc, TRANSPARENT);
  const COLORREF old_color = ::SetTextColor(dc, ToColorRef(argb));
  RECT r = ToRECT(rect);
  ::DrawTextW(dc, text, -1, &r, style | DT_NOPREFIX);
  ::SetTextColor(dc, old_color);
  ::SetBkMode(dc, old_mode);
}

void DrawFormattedText(HDC dc, const Rect& rect, const wchar_t* text, uint32_t argb, HFONT font,
                       uint32_t style) {
  if (text == nullptr || rect.IsEmpty()) return;
  const std::vector<TextRun> runs = ParseFormattedText(text);
  if (runs.empty()) return;
  const HFONT plain = OrDefault(font);

  // The underlined font is the current one with underline added, made only when needed.
  bool any_underline = false;
  for (const TextRun& run : runs) any_underline |= run.underline;
  HFONT underline_font = nullptr;
  LOGFONTW lf{};
  if (any_underline && ::GetObjectW(plain, sizeof(lf), &lf) == sizeof(lf)) {
    lf.lfUnderline = TRUE;
    underline_font = ::CreateFontIndirectW(&lf);
  }
  GdiObject underline_owner(underline_font);

  auto font_of = [&](const TextRun& run) { return run.underline && underline_font ? underline_font : plain; };
  int total = 0, height = 0;
  std::vector<SIZE> sizes;
  for (const TextRun& run : runs) {
    SIZE s = MeasureTextLine(dc, run.text.c_str(), font_of(run));
    sizes.push_back(s);
    total += s.cx;
    height = std::max<int>(height, s.cy);
  }
  int x = rect.left;
  if (style & kTextCenter) x = rect.left + (rect.Width() - total) / 2;
  else if (style & kTextRight) x = rect.right - total;
  int y = rect.top;
  if (style & kTextVCenter) y = rect.top + (rect.Height() - height) / 2;
  else if (style & kTextBottom) y = rect.bottom - height;

  const int old_mode = ::SetBkMode(dc, TRANSPARENT);
  const COLORREF old_color = ::SetTextColor(dc, ToColorRef(argb));
  const RECT clip = ToRECT(rect);
  for (size_t i = 0; i < runs.size(); ++i) {
    GdiSelect select(dc, font_of(runs[i]));
    ::ExtTextOutW(dc, x, y + (height - sizes[i].cy), ETO_CLIPPED, &clip, runs[i].text.c_str(),
                  static_cast<UINT>(runs[i].text.size()), nullptr);
    x += sizes[i].cx;
  }
  ::SetTextColor(dc, old_color);
  ::SetBkMode(dc, old_mode);
}

}  // namespace DuiLib
