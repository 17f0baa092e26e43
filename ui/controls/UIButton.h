// A clickable label with state images. Press/capture behaviour:
//
//   event                     | condition               | result
//   --------------------------+-------------------------+-------------------------------
//   button down / dbl click   | enabled, inside         | pushed + captured
//   mouse move                | captured                | pushed = pointer inside
//   button up                 | captured                | Activate() if inside; clear both
//   mouse enter / leave       | enabled                 | set / clear hot
//   key down space or enter   | has keyboard focus      | Activate()
#pragma once

#include "ui/controls/UILabel.h"

namespace DuiLib {

class CButtonUI : public CLabelUI {
 public:
  CButtonUI();
  const wchar_t* GetClass() const override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;

  // Sends "click" when visible and enabled; false otherwise.
  virtual bool Activate();
  void SetEnabled(bool enabled = true) override;
  void DoEvent(ControlEvent& event) override;
  void PaintText(HDC dc) override;
  void PaintStatusImage(HDC dc) override;

  void SetNormalImage(const std::wstring& image) { normalImage_ = image; Invalidate(); }
  void SetHotImage(const std::wstring& image) { hotImage_ = image; Invalidate(); }
  void SetPushedImage(const std::wstring& image) { pushedImage_ = image; Invalidate(); }
  void SetDisabledImage(const std::wstring& image) { disabledImage_ = image; Invalidate(); }
  void SetHotTextColor(DWORD color) { hotTextColor_ = color; }

 protected:
  TextControlKind TextKind() const override { return TextControlKind::kButton; }
  // Draws a state image; one that cannot be drawn is cleared so later paints fall back.
  bool DrawStateImage(HDC dc, std::wstring& image);

  std::wstring normalImage_, hotImage_, pushedImage_, disabledImage_, focusedImage_;
  std::wstring foreImage_, hotForeImage_, pushedForeImage_;
  DWORD hotTextColor_ = 0, pushedTextColor_ = 0, focusedTextColor_ = 0, hotBkColor_ = 0;
  UINT buttonState_ = 0;  // UISTATE_PUSHED | UISTATE_CAPTURED | UISTATE_HOT
};

}  // namespace DuiLib
