// A single-line text field. It draws like a label; while it has the focus a native edit
// window lies over it for typing, and its text comes back when the edit window closes.
#pragma once

#include "ui/controls/UILabel.h"

namespace DuiLib {

class CEditWnd;

class CEditUI : public CLabelUI {
 public:
  CEditUI();
  ~CEditUI() override;
  const wchar_t* GetClass() const override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;

  bool IsReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly);
  void SetText(const std::wstring& text) override;
  void SetEnabled(bool enabled = true) override;
  void SetVisible(bool visible = true) override;
  void SetInternVisible(bool visible = true) override;
  void SetPos(RECT rc) override;
  void DoEvent(ControlEvent& event) override;
  void PaintText(HDC dc) override;
  void PaintStatusImage(HDC dc) override;

 private:
  friend class CEditWnd;
  TextControlKind TextKind() const override { return TextControlKind::kEdit; }
  void CloseEditWindow();

  bool readOnly_ = false;
  bool password_ = false;
  int maxChar_ = 255;
  std::wstring normalImage_, hotImage_, focusedImage_, disabledImage_;
  CEditWnd* editWnd_ = nullptr;
};

}  // namespace DuiLib
