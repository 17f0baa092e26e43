#include "ui/controls/UIProgress.h"

#include "ui/controls/AttributeTable.h"
#include "ui/core/Layout.h"
#include "ui/core/ValueSyntax.h"

namespace DuiLib {

CProgressUI::CProgressUI() {
  textStyle_ = InitialTextStyle(TextControlKind::kProgress);
  fixedHeight_ = 12;
}

const wchar_t* CProgressUI::GetClass() const { return L"ProgressUI"; }

void CProgressUI::ApplyAttribute(const std::wstring& name, const std::wstring& value) {
  using C = CProgressUI;
  static const AttributeHandler<C> kTable[] = {
      {L"foreimage", [](C& c, const std::wstring& v) { c.foreImage_ = v; c.Invalidate(); }},
      {L"hor", [](C& c, const std::wstring& v) { c.horizontal_ = ParseBool(v.c_str()); c.Invalidate(); }},
      {L"min", [](C& c, const std::wstring& v) { c.SetMinValue(ParseInt(v.c_str())); }},
      {L"max", [](C& c, const std::wstring& v) { c.SetMaxValue(ParseInt(v.c_str())); }},
      {L"value", [](C& c, const std::wstring& v) { c.SetValue(ParseInt(v.c_str())); }},
      {L"isstretchfore", [](C& c, const std::wstring& v) { c.stretchFore_ = ParseBool(v.c_str()); c.Invalidate(); }},
  };
  if (!ApplyFromTable(kTable, *this, name, value)) CLabelUI::ApplyAttribute(name, value);
}

void CProgressUI::SetValue(int value) {
  if (!AcceptProgressValue(ProgressRange{min_, max_, value_}, value)) return;
  value_ = value;
  Invalidate();
}

void CProgressUI::PaintStatusImage(HDC dc) {
  if (foreImage_.empty()) return;
  Size size{pos_.right - pos_.left, pos_.bottom - pos_.top};
  std::wstring modify = ProgressForeModifier(ProgressRange{min_, max_, value_}, size, horizontal_, stretchFore_);
  DrawImage(dc, foreImage_, modify);
}

}  // namespace DuiLib
