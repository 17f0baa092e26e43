// The install wizard: page 0 holds the licence, the folder and the install button; page 1
// the installing progress.
#pragma once

#include "plugin/QuorvanePlugBaseWnd.h"

namespace plug {

class CQuorvanePlugInstallWnd : public CQuorvanePlugBaseWnd {
 public:
  using CQuorvanePlugBaseWnd::CQuorvanePlugBaseWnd;

  const wchar_t* WindowClassName() const override { return L"QuorvanePlugInstallWnd"; }
  std::wstring SkinFolder() override { return L"skin_install"; }
  void OnSkinReady() override;
  LRESULT OnAppMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

 protected:
  bool FindRequiredControls() override;
  const wchar_t* ProgressFormat() const override { return L"正在安装......%d%%"; }
  bool OnOwnClick(DuiLib::NotifyRecord& msg) override;

 private:
  DuiLib::CButtonUI* installButton_ = nullptr;
  DuiLib::CButtonUI* licenseButton_ = nullptr;
  DuiLib::COptionUI* licenseCheck_ = nullptr;
};

} // namespace plug
