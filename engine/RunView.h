// The main window as the check and repair runs see it. The runs call these from their worker
// threads; the window carries each request out on its own thread, in the order received (the
// framework is single-threaded). The order of the requests is part of the behaviour.
#pragma once

#include <string>

// Window messages the runs post when they finish without being cancelled (wParam 0, lParam 0).
constexpr unsigned kWmCheckDone = 1325;
constexpr unsigned kWmRepairDone = 1326;

class RunView {
 public:
  virtual ~RunView() = default;

  // A named control's text.
  virtual void SetText(const std::wstring& control, const std::wstring& text) = 0;
  // A named control's attribute, e.g. ("checkTip", "textcolor", "#FF666666").
  virtual void SetAttribute(const std::wstring& control, const std::wstring& name,
                            const std::wstring& value) = 0;
  virtual void SetVisible(const std::wstring& control, bool visible) = 0;
  // A progress bar's value; the bar ignores values equal to its current one or out of range.
  virtual void SetProgress(const std::wstring& control, int value) = 0;
  // Rows of resultList while an installer runs: in every row hide resultLogo and resultTip
  // and show repairLogo; in rows of kind-5 problems hide repairLogo again, show repairLogoNew
  // and show resultTipNew with the text "正在安装...".
  virtual void ShowInstallingRows() = 0;
  // The window's cancelled views; they read the context's problem list.
  virtual void ShowCheckCancelled() = 0;
  virtual void ShowRepairCancelled() = 0;
  // Posts kWmCheckDone or kWmRepairDone to the window.
  virtual void Post(unsigned message) = 0;
};
