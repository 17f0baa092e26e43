// CDlgConfig: the small settings dialog. Pages of "mainSwitch": 0 the start-up repair choice,
// 1 the region query, 2 its result with the support link, 3 the start-up repair suggestion.
// Modeless; every opening makes a new dialog, so two may be open at once. The object deletes
// itself when its window is gone.
#pragma once

#include <string>
#include <vector>

#include "ui/DuiLib.h"

class CDlgConfig : public DuiLib::WindowImplBase {
 public:
  // Creates the dialog owned by `owner`, selects `page`, centres it on the owner, shows it and
  // ticks `checkBox` ("autoRun" on page 0, "autoRun3" on page 3), whose state "ok" applies.
  static CDlgConfig* Open(HWND owner, int page, const wchar_t* checkBox);

  CDlgConfig();
  ~CDlgConfig() override;

  const wchar_t* WindowClassName() const override { return L"CDlgConfig"; }
  void OnSkinReady() override;
  std::wstring SkinFolder() override { return L""; }
  std::wstring SkinFile() override { return L"DlgConfig.xml"; }
  DuiLib::SkinSourceType SkinSource() override { return DuiLib::SkinSourceType::ZipResource; }
  std::wstring SkinPackageName() override { return L"ToolsSkin.zip"; }
  UINT SkinResourceId() override { return 130; }
  void OnNotification(DuiLib::NotifyRecord& msg) override;
  // A close from outside (Alt+F4, WM_CLOSE or SC_CLOSE) cancels, as "取消" does.
  LRESULT OnClose(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;
  // Esc acts as "取消" and Enter as "确定" on the pages that have one; a key acted on is consumed.
  LRESULT MessageFilter(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;
  void OnWindowDestroyed(HWND window) override;

  DuiLib::CCheckBoxUI* ActiveCheck() const { return activeCheck_; }
  // The dialogs whose windows exist, oldest first (window thread).
  static const std::vector<CDlgConfig*>& OpenDialogs();

 private:
  // "ok": switch start-up repair to the ticked state unless it is already so.
  void ApplyChoice();
  void CloseDialog();
  // The control of that name on the shown page, or nullptr (the region pages have no "ok").
  DuiLib::CControlUI* ShownPageButton(const wchar_t* name);
  // "checkip": fetch the configuration here on the window thread and show the stored ip.
  void QueryRegion();

  DuiLib::CCheckBoxUI* activeCheck_ = nullptr;
  DuiLib::CTabLayoutUI* mainSwitch_ = nullptr;
  DuiLib::CButtonUI* helperbtn_ = nullptr;
  DuiLib::CLabelUI* settingip_ = nullptr;
  std::string version_;
  bool closing_ = false;  // hidden and asked to close: keys no longer act
};
