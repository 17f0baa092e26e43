// A control that draws one line of text (plain, or formatted with {u}...{/u}).
#pragma once

#include "ui/controls/UIControl.h"
#include "ui/core/TextStyle.h"

namespace DuiLib {


class CLabelUI : public CControlUI {
 public:
  CLabelUI();
  const wchar_t* GetClass() const override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;

  uint32_t GetTextStyle() const { return textStyle_; }
  int GetFont() const { return font_; }
  void SetFont(int index);
  DWORD GetTextColor() const { return textColor_; }
  void SetTextColor(DWORD color);
  DWORD GetDisabledTextColor() const { return disabledTextColor_; }
  const RECT& GetTextPadding() const { return textPadding_; }
  bool IsShowHtml() const { return showHtml_; }

  void PaintText(HDC dc) override;

 protected:
  // Draws `text_` inside the control minus the text padding.
  void DrawTextIn(HDC dc, DWORD color);
  // Which drawing rules apply: labels and progress bars always draw one line, buttons and
  // check boxes follow their flags.
  virtual TextControlKind TextKind() const { return TextControlKind::kLabel; }

  uint32_t textStyle_ = kTextVCenter;
  int font_ = -1;
  DWORD textColor_ = 0;
  DWORD disabledTextColor_ = 0;
  RECT textPadding_{};
  bool showHtml_ = false;
};

}  // namespace DuiLib
