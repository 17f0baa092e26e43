#include "plugin/PlugRules.h"

#include <climits>

namespace plug {

namespace {

struct PlugMessage {
  const wchar_t* name;
  unsigned number;
};

constexpr PlugMessage kPlugMessages[] = {
    {L"WM_SETMINIMIZE", kMsgSetMinimize},
    {L"WM_INSTALL_SHOW_INSTALLING_PAGE", kMsgInstallShowInstalling},
    {L"WM_UNINSTALL_SHOW_UNINSTALLING_PAGE", kMsgUninstallShowUninstalling},
    {L"WM_UNINSTALL_SHOW_FINISH_PAGE", kMsgUninstallShowFinish},
};

wchar_t AsciiUpper(wchar_t c) { return (c >= L'a' && c <= L'z') ? wchar_t(c - L'a' + L'A') : c; }

} // namespace

bool EqualsNoCase(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

unsigned FindPlugMessage(const std::wstring& name) {
  for (const PlugMessage& m : kPlugMessages) {
    if (EqualsNoCase(name, m.name)) return m.number;
  }
  return 0;
}

std::wstring InstallDirForChosenFolder(const std::wstring& chosen) {
  std::wstring folder = chosen;
  if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  return folder + L"\\Quorvane\\";
}

int StackTextToInt(const std::wstring& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == L' ' || (text[i] >= L'\t' && text[i] <= L'\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
  long long value = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    value = value * 10 + (text[i] - L'0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

WizardProgress::Step WizardProgress::Tick() {
  Step step;
  if (counter_ < 99) { // written this way so a counter pushed to INT_MAX cannot overflow
    counter_ += 1;
    step.showText = step.setBar = true;
    step.value = counter_;
  } else {
    counter_ = 100;
    step.stopTimer = true;
  }
  return step;
}

WizardProgress::Step WizardProgress::SetValue(int value, int barValue) {
  Step step;
  if (value <= counter_) return step;
  counter_ = value;
  step.showText = true;
  step.setBar = value >= 0 && value <= 100 && value != barValue;
  step.value = value;
  return step;
}

} // namespace plug
