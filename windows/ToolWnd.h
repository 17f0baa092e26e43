// CToolWnd: the interactive tool's main window. One action at a time: the start page, a check
// with its progress, the check's results, the repair and its outcome. The check and repair
// runs work on threads of their own and reach the window through RunView; every such request
// is carried over to the window thread and carried out there in the order it was made.
//
//   view              | page | button shown in CheckLayout          | checkResult
//   ------------------+------+--------------------------------------+--------------------------
//   start             | 0    | (CheckLayout hidden)                 | -
//   checking          | 1    | cancelCheckbtn                       | 正在检测，请稍候…
//   cancelling check  | 1    | cancelCheckbtn                       | 正在取消检测
//   check results     | 2    | repairbtn or recheckbtn              | by what was found
//   check cancelled   | 2    | repairbtn (not for a lone Flash row) | 检测已取消
//                     |      | or recheckbtn                        |
//   repairing         | 2    | cancelRepairbtn, none once installing| 正在修复… / 正在下载…
//   cancelling repair | 3    | cancelRepairbtn                      | (hidden)
//   repair cancelled  | 2    | recheckbtn                           | 修复已取消
//   repair done       | 2    | returnbtn (完成 / 返回)              | 修复已完成 / 修复失败
#pragma once

#include <string>

#include "engine/CheckContext.h"
#include "engine/RunView.h"
#include "ui/DuiLib.h"
#include "windows/ResultRows.h"
#include "windows/WindowTaskQueue.h"

class CToolWnd : public DuiLib::WindowImplBase, public RunView {
 public:
  CToolWnd();
  ~CToolWnd() override;

  // --- window base ---------------------------------------------------------------------------
  const wchar_t* WindowClassName() const override { return L"ToolWnd"; }
  void OnSkinReady() override;
  void OnClick(DuiLib::NotifyRecord& msg) override;
  std::wstring SkinFolder() override { return L""; }
  std::wstring SkinFile() override { return skinFile_; }
  DuiLib::SkinSourceType SkinSource() override { return DuiLib::SkinSourceType::ZipResource; }
  std::wstring SkinPackageName() override { return L"ToolsSkin.zip"; }
  UINT SkinResourceId() override { return 130; }
  // A close from outside (Alt+F4, the taskbar, WM_CLOSE or SC_CLOSE from another program)
  // ends the program as closebtn does; the window itself is not destroyed.
  LRESULT OnClose(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;
  LRESULT OnDestroy(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;
  LRESULT OnAppMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

  // --- views (window thread) -----------------------------------------------------------------
  void StartCheck();
  void RequestCancelCheck();
  void OnCheckDone();
  void StartRepair();
  void RequestCancelRepair();
  void OnRepairDone();
  void ReturnToStart();
  void ShowToolMenu();
  // The settings dialog on `page`, with `checkBox` ticked.
  void OpenSettingsDialog(int page, const wchar_t* checkBox);

  // --- RunView: any thread, carried out on the window thread ---------------------------------
  void SetText(const std::wstring& control, const std::wstring& text) override;
  void SetAttribute(const std::wstring& control, const std::wstring& name, const std::wstring& value) override;
  void SetVisible(const std::wstring& control, bool visible) override;
  void SetProgress(const std::wstring& control, int value) override;
  void ShowInstallingRows() override;
  void ShowCheckCancelled() override;
  void ShowRepairCancelled() override;
  void Post(unsigned message) override;

  CheckContext& Context() { return ctx_; }
  const std::wstring& CountText() const { return countText_; }

  DUI_DECLARE_MESSAGE_MAP()

 private:
  // The views the workers ask for, run on the window thread.
  void DoShowCheckCancelled();
  void DoShowRepairCancelled();
  void DoShowInstallingRows();
  // Adds the row of problem `index` in its check-view look; `cancelled` keeps a kind-4 row
  // visible and gives a lone Flash Player row its download button.
  void AddCheckRow(int index, const RepairEntry& problem, bool cancelled);
  void ShowRepairResults();

  // Step vocabulary of the views.
  void ShowPage(int page);
  void ShowHeader();
  void Show(DuiLib::CControlUI* control, bool visible);
  void SetTipColour(const wchar_t* colour);
  void SetProgressValue(DuiLib::CProgressUI* bar, int value);
  void RemoveAllRows();
  DuiLib::CControlUI* Find(const std::wstring& name);

  std::wstring skinFile_;
  CheckContext ctx_;
  std::wstring countText_;
  RowFactory rows_;
  WindowTaskQueue tasks_;

  DuiLib::CButtonUI* helperbtn_ = nullptr;
  DuiLib::CButtonUI* morebtn_ = nullptr;
  DuiLib::CButtonUI* minbtn_ = nullptr;
  DuiLib::CButtonUI* closebtn_ = nullptr;
  DuiLib::CControlUI* mainLayout_ = nullptr;
  DuiLib::CControlUI* checkLayout_ = nullptr;
  DuiLib::CLabelUI* checkResult_ = nullptr;
  DuiLib::CLabelUI* checkTip_ = nullptr;
  DuiLib::CLabelUI* repairCancelTip_ = nullptr;
  DuiLib::CButtonUI* cancelCheckbtn_ = nullptr;
  DuiLib::CButtonUI* cancelRepairbtn_ = nullptr;
  DuiLib::CButtonUI* returnbtn_ = nullptr;
  DuiLib::CButtonUI* repairbtn_ = nullptr;
  DuiLib::CButtonUI* recheckbtn_ = nullptr;
  DuiLib::CTabLayoutUI* mainSwitch_ = nullptr;
  DuiLib::CButtonUI* checkbtn_ = nullptr;
  DuiLib::CProgressUI* checkProgress_ = nullptr;
  DuiLib::CProgressUI* repairProgress_ = nullptr;
  DuiLib::CListUI* resultList_ = nullptr;
  DuiLib::CLabelUI* repairTip_ = nullptr;
};
