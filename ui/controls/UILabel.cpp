#include "ui/controls/UILabel.h"

#include "ui/UIManager.h"
#include "ui/controls/AttributeTable.h"
#include "ui/core/ValueSyntax.h"
#include "ui/render/RenderImage.h"
#include "ui/render/RenderText.h"

namespace DuiLib {

CLabelUI::CLabelUI() { textStyle_ = InitialTextStyle(TextControlKind::kLabel); }

const wchar_t* CLabelUI::GetClass() const { return L"LabelUI"; }

void CLabelUI::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  using C = CLabelUI;
  static const AttributeHandler<C> kTable[] = {
      {L"align", [](C& c, const std::wstring& v) { c.textStyle_ = ApplyAlignAttribute(c.textStyle_, v.c_str()); c.Invalidate(); }},
      {L"valign", [](C& c, const std::wstring& v) { c.textStyle_ = ApplyVAlignAttribute(c.textStyle_, v.c_str()); c.Invalidate(); }},
      {L"endellipsis", [](C& c, const std::wstring& v) { c.textStyle_ = ApplyEndEllipsis(c.textStyle_, ParseBool(v.c_str())); c.Invalidate(); }},
      {L"font", [](C& c, const std::wstring& v) { c.SetFont(ParseInt(v.c_str())); }},
      {L"textcolor", [](C& c, const std::wstring& v) { c.SetTextColor(ParseColor(v.c_str())); }},
      {L"disabledtextcolor", [](C& c, const std::wstring& v) { c.disabledTextColor_ = ParseColor(v.c_str()); c.Invalidate(); }},
      {L"textpadding",
       [](C& c, const std::wstring& v) {
         Rect r = ParseRect(v.c_str());
         c.textPadding_ = RECT{r.left, r.top, r.right, r.bottom};
         c.Invalidate();
       }},
      {L"showhtml", [](C& c, const std::wstring& v) { c.showHtml_ = ParseBool(v.c_str()); c.Invalidate(); }},
  };
  if (!ApplyFromTable(kTable, *this, name, value)) CControlUI::ApplyAttribute(name, value);
}

void CLabelUI::SetFont(int index) {
  font_ = index;
  Invalidate();
}

void CLabelUI::SetTextColor(DWORD color) {
  textColor_ = color;
  Invalidate();
}

void CLabelUI::PaintText(HDC dc) {
  if (manager_ == nullptr) return;
  DWORD color = textColor_ != 0 ? textColor_ : manager_->GetDefaultFontColor();
  if (!IsEnabled()) color = disabledTextColor_ != 0 ? disabledTextColor_ : manager_->GetDefaultDisabledColor();
  DrawTextIn(dc, color);
}

void CLabelUI::DrawTextIn(HDC dc, DWORD color) {
  if (text_.empty() || manager_ == nullptr) return;
  Rect area{pos_.left + textPadding_.left, pos_.top + textPadding_.top, pos_.right - textPadding_.right,
            pos_.bottom - textPadding_.bottom};
  uint32_t style = DrawTextStyle(TextKind(), textStyle_);
  HFONT font = manager_->GetFont(font_);
  if (showHtml_) {
    DrawFormattedText(dc, area, text_.c_str(), color, font, style);
  } else {
    DrawTextLine(dc, area, text_.c_str(), color, font, style);
  }
}

}  // namespace DuiLib
