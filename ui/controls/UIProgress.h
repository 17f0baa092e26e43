// A progress bar: the fore image covers the filled part (stretched, or cut at its size).
#pragma once

#include "ui/controls/UILabel.h"

namespace DuiLib {

class CProgressUI : public CLabelUI {
 public:
  CProgressUI();
  const wchar_t* GetClass() const override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;

  int GetValue() const { return value_; }
  // Accepted only when min <= value <= max and different from the current value.
  void SetValue(int value);
  int GetMinValue() const { return min_; }
  int GetMaxValue() const { return max_; }
  void SetMinValue(int value) { min_ = value; Invalidate(); }
  void SetMaxValue(int value) { max_ = value; Invalidate(); }
  bool IsHorizontal() const { return horizontal_; }
  void PaintStatusImage(HDC dc) override;

 private:
  TextControlKind TextKind() const override { return TextControlKind::kProgress; }

  bool horizontal_ = true;
  bool stretchFore_ = true;
  int min_ = 0, max_ = 100, value_ = 0;
  std::wstring foreImage_;
};

}  // namespace DuiLib
