// CToolWnd: skin hooks, clicks, app messages and the marshalling of the runs' requests.
// The views themselves are in ToolWndViews.cpp, the rows in ToolWndRows.cpp.
#include "windows/ToolWnd.h"

#include <shellapi.h>

#include "core/StrUtil.h"
#include "core/SysUtil.h"
#include "engine/FlashInstall.h"
#include "engine/Runs.h"
#include "net/Endpoints.h"
#include "net/Statistics.h"

using namespace DuiLib;

namespace {
constexpr wchar_t kWindowProperty[] = L"ToolsWnd";
constexpr int kIconResource = 107;

template <typename T>
T* FindAs(CSkinManager& pm, const wchar_t* name) {
  return dynamic_cast<T*>(pm.FindControl(name));
}

// The icon at the system's large-icon size rounded up to whole multiples of 16.
HICON LoadWindowIcon() {
  const int cx = (::GetSystemMetrics(SM_CXICON) + 15) & ~15;
  const int cy = (::GetSystemMetrics(SM_CYICON) + 15) & ~15;
  return static_cast<HICON>(::LoadImageW(CSkinManager::GetResourceInstance(), MAKEINTRESOURCEW(kIconResource),
                                         IMAGE_ICON, cx, cy, LR_DEFAULTCOLOR));
}
}  // namespace

DUI_BEGIN_MESSAGE_MAP(CToolWnd, WindowImplBase)
DUI_END_MESSAGE_MAP()

CToolWnd::CToolWnd() : skinFile_(L"MainWnd.xml") { ctx_.version = WideToAnsi(GetFileVersionString(GetModulePath())); }

CToolWnd::~CToolWnd() = default;

void CToolWnd::OnSkinReady() {
  ::SetPropW(GetHWND(), kWindowProperty, reinterpret_cast<HANDLE>(1));
  ::SendMessageW(GetHWND(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(LoadWindowIcon()));
  ::SendMessageW(GetHWND(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(LoadWindowIcon()));

  helperbtn_ = FindAs<CButtonUI>(m_pm, L"helperbtn");
  morebtn_ = FindAs<CButtonUI>(m_pm, L"morebtn");
  minbtn_ = FindAs<CButtonUI>(m_pm, L"minbtn");
  closebtn_ = FindAs<CButtonUI>(m_pm, L"closebtn");
  mainLayout_ = m_pm.FindControl(L"MainLayout");
  checkLayout_ = m_pm.FindControl(L"CheckLayout");
  checkResult_ = FindAs<CLabelUI>(m_pm, L"checkResult");
  checkTip_ = FindAs<CLabelUI>(m_pm, L"checkTip");
  repairCancelTip_ = FindAs<CLabelUI>(m_pm, L"RepairCancelTip");
  cancelCheckbtn_ = FindAs<CButtonUI>(m_pm, L"cancelCheckbtn");
  cancelRepairbtn_ = FindAs<CButtonUI>(m_pm, L"cancelRepairbtn");
  returnbtn_ = FindAs<CButtonUI>(m_pm, L"returnbtn");
  repairbtn_ = FindAs<CButtonUI>(m_pm, L"repairbtn");
  recheckbtn_ = FindAs<CButtonUI>(m_pm, L"recheckbtn");
  mainSwitch_ = FindAs<CTabLayoutUI>(m_pm, L"mainSwitch");
  checkbtn_ = FindAs<CButtonUI>(m_pm, L"checkbtn");
  checkProgress_ = FindAs<CProgressUI>(m_pm, L"check_progress");
  repairProgress_ = FindAs<CProgressUI>(m_pm, L"repair_progress");
  resultList_ = FindAs<CListUI>(m_pm, L"resultList");
  repairTip_ = FindAs<CLabelUI>(m_pm, L"repairTip");

  Show(repairCancelTip_, false);
  Show(resultList_, false);
  Show(repairTip_, false);
  CenterWindow();
  tasks_.Attach(GetHWND());

  ReportArgs args;
  args.version = ctx_.version;
  if (HANDLE thread = StartReportThread(ReportActive, args)) ::CloseHandle(thread);
}

void CToolWnd::OnClick(NotifyRecord& msg) {
  CControlUI* sender = msg.sender;
  if (!sender) return;
  if (sender == closebtn_) {
    // Also while a run is active: its threads end with the process.
    ::PostQuitMessage(0);
  } else if (sender == minbtn_) {
    ::SendMessageW(GetHWND(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  } else if (sender == helperbtn_) {
    const std::wstring url = AnsiToWide(VendorWebUrl(kHelpPagePath));
    ::ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  } else if (sender == cancelCheckbtn_) {
    RequestCancelCheck();
  } else if (sender == cancelRepairbtn_) {
    RequestCancelRepair();
  } else if (sender == recheckbtn_) {
    StartCheck();
  } else if (sender == repairbtn_) {
    StartRepair();
  } else if (sender == returnbtn_) {
    ReturnToStart();
  } else if (sender == checkbtn_) {
    StartCheck();
  } else if (sender == morebtn_) {
    ShowToolMenu();
  } else if (sender->GetName() == L"GoOfficialNet") {
    DownloadLatestAndExit(ctx_, GetHWND());
  } else if (sender->GetName() == L"ServSet") {
    OpenSettingsDialog(0, L"autoRun");
  }
}

LRESULT CToolWnd::OnClose(UINT, WPARAM, LPARAM, bool& handled) {
  // Left to the default processing, the close would destroy the window while the message
  // loop, which ends only on WM_QUIT, runs on with nothing to show.
  ::PostQuitMessage(0);
  handled = true;
  return 0;
}

LRESULT CToolWnd::OnDestroy(UINT, WPARAM, LPARAM, bool&) {
  ::RemovePropW(GetHWND(), kWindowProperty);
  tasks_.Attach(nullptr);
  // However the window went, the program has nothing left to show.
  ::PostQuitMessage(0);
  return 0;
}

LRESULT CToolWnd::OnAppMessage(UINT msg, WPARAM wParam, LPARAM, bool& handled) {
  switch (msg) {
    case WM_TIMER:
      break;
    case WM_MENU_PICKED:
      if (GetLastClickedMenuItem() == L"MenuBoot") OpenSettingsDialog(0, L"autoRun");
      delete[] reinterpret_cast<wchar_t*>(wParam);
      break;
    case kWmCheckDone:
      OnCheckDone();
      break;
    case kWmRepairDone:
      OnRepairDone();
      break;
    case WindowTaskQueue::kMessage:
      tasks_.RunPending();
      handled = true;  // our own message; nothing else knows it
      break;
    default:
      break;
  }
  return 0;
}

void CToolWnd::ShowToolMenu() {
  if (!morebtn_) return;
  const RECT& rc = morebtn_->GetPos();
  POINT corner{rc.left, rc.bottom};
  ::ClientToScreen(GetHWND(), &corner);
  CMenuWnd::Show(L"MainMenu.xml", corner, &m_pm, SIZE{112, 31});
}

// --- RunView ----------------------------------------------------------------------------------

void CToolWnd::SetText(const std::wstring& control, const std::wstring& text) {
  tasks_.Push([this, control, text] {
    if (CControlUI* c = Find(control)) c->SetText(text);
  });
}

void CToolWnd::SetAttribute(const std::wstring& control, const std::wstring& name, const std::wstring& value) {
  tasks_.Push([this, control, name, value] {
    if (CControlUI* c = Find(control)) c->ApplyAttribute(name, value);
  });
}

void CToolWnd::SetVisible(const std::wstring& control, bool visible) {
  tasks_.Push([this, control, visible] { Show(Find(control), visible); });
}

void CToolWnd::SetProgress(const std::wstring& control, int value) {
  tasks_.Push([this, control, value] { SetProgressValue(dynamic_cast<CProgressUI*>(Find(control)), value); });
}

void CToolWnd::ShowInstallingRows() {
  tasks_.Push([this] { DoShowInstallingRows(); });
}

void CToolWnd::ShowCheckCancelled() {
  tasks_.Push([this] { DoShowCheckCancelled(); });
}

void CToolWnd::ShowRepairCancelled() {
  tasks_.Push([this] { DoShowRepairCancelled(); });
}

void CToolWnd::Post(unsigned message) { ::PostMessageW(GetHWND(), message, 0, 0); }

CControlUI* CToolWnd::Find(const std::wstring& name) { return m_pm.FindControl(name); }
