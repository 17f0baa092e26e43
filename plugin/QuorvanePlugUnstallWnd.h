// The uninstall wizard: page 0 asks, page 1 shows the uninstalling progress, page 2 the end.
#pragma once

#include "plugin/QuorvanePlugBaseWnd.h"

namespace plug {

class CQuorvanePlugUnstallWnd : public CQuorvanePlugBaseWnd {
 public:
  using CQuorvanePlugBaseWnd::CQuorvanePlugBaseWnd;

  const wchar_t* WindowClassName() const override { return L"QuorvanePlugUninstallWnd"; }
  std::wstring SkinFolder() override { return L"skin_uninstall"; }
  LRESULT OnAppMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

 protected:
  bool FindRequiredControls() override;
  const wchar_t* ProgressFormat() const override { return L"正在卸载......%d%%"; }
};

} // namespace plug
