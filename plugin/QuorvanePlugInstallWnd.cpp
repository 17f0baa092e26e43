#include "plugin/QuorvanePlugInstallWnd.h"

#include <shellapi.h>

#include <string>

#include "net/Endpoints.h"

namespace plug {

namespace {

// The licence page on the vendor web site; the origin is ASCII, so a plain widening will do.
std::wstring LicensePageUrl() {
  std::string url = VendorWebUrl(kLicencePagePath);
  return std::wstring(url.begin(), url.end());
}

constexpr int kWizardWidth = 586;
constexpr int kWizardHeight = 364;

}  // namespace

bool CQuorvanePlugInstallWnd::FindRequiredControls() {
  tab_ = dynamic_cast<DuiLib::CTabLayoutUI*>(FindControl(L"wizardTab"));
  progressLabel_ = FindControl(L"install_Pro_Info");
  progressBar_ = dynamic_cast<DuiLib::CProgressUI*>(FindControl(L"install_progress"));
  installButton_ = dynamic_cast<DuiLib::CButtonUI*>(FindControl(L"install_btn"));
  licenseButton_ = dynamic_cast<DuiLib::CButtonUI*>(FindControl(L"license_btn"));
  licenseCheck_ = dynamic_cast<DuiLib::COptionUI*>(FindControl(L"license_chk"));
  return tab_ != nullptr && progressLabel_ != nullptr && progressBar_ != nullptr && installButton_ != nullptr &&
         licenseButton_ != nullptr && licenseCheck_ != nullptr;
}

void CQuorvanePlugInstallWnd::OnSkinReady() {
  CQuorvanePlugBaseWnd::OnSkinReady();
  if (IsReady()) {
    ::SetWindowPos(GetHWND(), nullptr, 0, 0, kWizardWidth, kWizardHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW);
  }
}

bool CQuorvanePlugInstallWnd::OnOwnClick(DuiLib::NotifyRecord& msg) {
  const std::wstring& name = msg.sender->GetName();
  if (name == L"license_btn") {
    ::ShellExecuteW(nullptr, L"open", LicensePageUrl().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return true;
  }
  if (name == L"license_chk") {
    // The click arrives before the box changes: a box selected now is about to be cleared.
    if (installButton_ != nullptr && licenseCheck_ != nullptr) installButton_->SetEnabled(!licenseCheck_->IsSelected());
    return true;
  }
  return false;
}

LRESULT CQuorvanePlugInstallWnd::OnAppMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
  if (msg == kMsgInstallShowInstalling) ShowWorkingPage();  // not marked handled
  return CQuorvanePlugBaseWnd::OnAppMessage(msg, wParam, lParam, handled);
}

}  // namespace plug
