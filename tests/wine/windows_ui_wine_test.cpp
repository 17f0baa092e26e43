// The main window and the settings dialog, created for real under Wine and driven with mouse
// messages. The runs use the local vendor server for the configuration and the installers,
// the Flash Player registry keys of the prefix, and an in-memory service manager for the
// companion service (the dialog tests use the real one).
#include <gtest/gtest.h>

#include <objbase.h>
#include <tlhelp32.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/ConfigFile.h"
#include "core/StrUtil.h"
#include "core/SysUtil.h"
#include "app/LauncherService.h"
#include "engine/MemoryServiceControl.h"
#include "tests/wine/VendorServerClient.h"
#include "tests/wine/ui_driver.h"
#include "windows/DlgConfig.h"
#include "windows/ToolWnd.h"

using namespace DuiLib;
using uitest::Click;
using uitest::PumpUntil;
using uitest::Utf8;

namespace {

constexpr DWORD kRunLimitMs = 30000;

// --- machine state ----------------------------------------------------------------------------

void DeleteFlashKeys() {
  for (const wchar_t* key : {L"FlashPlayerActiveX", L"FlashPlayerPlugin", L"FlashPlayerPepper"}) {
    const std::wstring path = std::wstring(L"Software\\Macromedia\\") + key;
    ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), KEY_WOW64_64KEY, 0);
    ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), KEY_WOW64_32KEY, 0);
  }
}

void WriteValue(REGSAM view, const wchar_t* name, const std::wstring& value) {
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Macromedia\\FlashPlayerPepper", 0, nullptr, 0,
                              KEY_WRITE | view, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  ::RegCloseKey(key);
}

// Flash Player Pepper as its installer leaves it.
void InstallPepper(const wchar_t* version) {
  WriteValue(KEY_WOW64_64KEY, L"UninstallerPath", L"C:\\Windows\\SysWOW64\\Macromed\\Flash\\FlashUtil_ActiveX.exe");
  WriteValue(KEY_WOW64_32KEY, L"Version", version);
}

std::wstring SettingsPath() { return AnsiToWide(SettingsFilePath()); }

MemoryService Companion(uint32_t startType, uint32_t state, bool startFails = false) {
  MemoryService service;
  service.startType = startType;
  service.state = state;
  service.startFails = startFails;
  return service;
}

// A picture of a window as it is now, under build/screenshots/windows, for people to look at.
void Shot(HWND window, const wchar_t* name) {
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  // Wine hands painted pixels to the display while the thread asks for messages; ask for
  // none that exists, so nothing waiting in the queue is handled before the picture.
  for (int i = 0; i < 3; ++i) {
    MSG none;
    ::PeekMessageW(&none, nullptr, WM_APP + 0x3FFF, WM_APP + 0x3FFF, PM_NOREMOVE);
    ::Sleep(40);
  }
  EXPECT_TRUE(uitest::SaveScreenPng(window, std::wstring(QV_SHOT_DIR) + L"/" + name + L".png")) << Utf8(name);
}

// Waits, handling no message, until `message` for `window` waits in this thread's queue.
bool WaitQueued(HWND window, UINT message, DWORD ms) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    MSG found;
    if (::PeekMessageW(&found, window, message, message, PM_NOREMOVE)) return true;
    if (::GetTickCount() - start > ms) return false;
    ::Sleep(10);
  }
}

// The ids of this process's threads.
std::set<DWORD> ProcessThreads() {
  std::set<DWORD> ids;
  HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return ids;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Thread32First(snapshot, &entry); more; more = ::Thread32Next(snapshot, &entry))
    if (entry.th32OwnerProcessID == ::GetCurrentProcessId()) ids.insert(entry.th32ThreadID);
  ::CloseHandle(snapshot);
  return ids;
}

// --- the window ---------------------------------------------------------------------------

class ToolWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(vendor::Reset("normal")) << "the vendor_server fixture is not running";
    DeleteFlashKeys();
    ::DeleteFileW(SettingsPath().c_str());
    uitest::QuitSeen() = false;
    OpenWindow();
  }

  void OpenWindow() {
    // Never deleted: detached run threads may still hold it when the test ends.
    window_ = new CToolWnd();
    window_->Context().services = &services_;
    window_->Context().timings.animationStepMs = 5;
    window_->Context().timings.companionInstallerWaitMs = 5000;
    window_->Context().timings.flashInstallerWaitMs = 20000;
    ASSERT_TRUE(window_->Create(nullptr, L"Quorvane", 0x00020100, WS_EX_WINDOWEDGE));
    ::ShowWindow(window_->GetHWND(), SW_SHOW);
    uitest::Pump(100);
  }

  void CloseWindows() {
    for (CDlgConfig* dialog : std::vector<CDlgConfig*>(CDlgConfig::OpenDialogs())) ::DestroyWindow(dialog->GetHWND());
    ::DestroyWindow(window_->GetHWND());
    uitest::Pump(50);
  }

  void TearDown() override {
    CloseWindows();
    DeleteFlashKeys();
  }

  CControlUI* C(const wchar_t* name) { return window_->GetManager().FindControl(name); }
  std::string Text(const wchar_t* name) { return C(name) ? Utf8(C(name)->GetText()) : "<no control>"; }
  bool Visible(const wchar_t* name) { return C(name) && C(name)->IsVisible(); }
  DWORD Colour(const wchar_t* name) {
    auto* label = dynamic_cast<CLabelUI*>(C(name));
    return label ? label->GetTextColor() : 0;
  }
  int Page() { return static_cast<CTabLayoutUI*>(C(L"mainSwitch"))->GetCurSel(); }
  CListUI* List() { return static_cast<CListUI*>(C(L"resultList")); }
  CControlUI* Row(int i) { return List()->GetItemAt(i); }
  static std::string RowText(CControlUI* row, const wchar_t* part) {
    CControlUI* c = row ? row->FindSubControl(part) : nullptr;
    return c ? Utf8(c->GetText()) : "<no part>";
  }
  static bool RowShows(CControlUI* row, const wchar_t* part) {
    CControlUI* c = row ? row->FindSubControl(part) : nullptr;
    return c && c->IsVisible();
  }
  static std::string RowIcon(CControlUI* row) {
    CControlUI* c = row ? row->FindSubControl(L"resultLogo") : nullptr;
    return c && c->IsVisible() ? Utf8(c->GetBkImage()) : "<hidden>";
  }
  // The one button of CheckLayout that is visible, or "".
  std::string VisibleButton() {
    std::string shown;
    for (const wchar_t* name : {L"cancelCheckbtn", L"cancelRepairbtn", L"returnbtn", L"repairbtn", L"recheckbtn"}) {
      if (Visible(name)) shown += (shown.empty() ? "" : "+") + Utf8(name);
    }
    return shown;
  }

  void ClickOn(const wchar_t* name) { ASSERT_TRUE(Click(window_->GetHWND(), C(name))) << Utf8(name); }
  // For reading the view a click sets up before the run it starts can change it.
  void ClickNowOn(const wchar_t* name) { ASSERT_TRUE(uitest::ClickNow(window_->GetHWND(), C(name))) << Utf8(name); }

  // Runs a check from the start page and waits for its results view.
  void CheckAndWait() {
    ClickOn(L"checkbtn");
    ASSERT_TRUE(PumpUntil([&] { return Page() == 2 && !Visible(L"cancelCheckbtn"); }, kRunLimitMs))
        << "the check did not end; headline " << Text(L"checkResult");
  }
  void RepairAndWait() {
    ClickOn(L"repairbtn");
    ASSERT_TRUE(PumpUntil([&] { return Visible(L"returnbtn") || Visible(L"recheckbtn"); }, kRunLimitMs))
        << "the repair did not end; headline " << Text(L"checkResult");
  }

  MemoryServiceControl services_;
  CToolWnd* window_ = nullptr;
};

TEST_F(ToolWindowTest, OpensOnTheStartPage) {
  RECT rc{};
  ::GetWindowRect(window_->GetHWND(), &rc);
  EXPECT_EQ(rc.right - rc.left, 586);
  EXPECT_EQ(rc.bottom - rc.top, 364);
  EXPECT_EQ(Page(), 0);
  EXPECT_TRUE(Visible(L"MainLayout"));
  EXPECT_FALSE(Visible(L"CheckLayout"));
  EXPECT_FALSE(Visible(L"repairTip"));
  EXPECT_EQ(::GetPropW(window_->GetHWND(), L"ToolsWnd"), reinterpret_cast<HANDLE>(1));
  EXPECT_NE(::SendMessageW(window_->GetHWND(), WM_GETICON, ICON_BIG, 0), 0);
}

TEST_F(ToolWindowTest, CheckResultsFollowWhatTheMachineHas) {
  struct Case {
    const char* name;
    const wchar_t* shot;
    const wchar_t* pepper;  // null: no Flash Player at all
    MemoryService companion;
    const char* headline;
    const char* button;
    const char* repairLabel;
    const char* tip;  // null: the no-problem hint
    DWORD tipColour;
    int rows;
    int visibleRows;
  };
  const Case cases[] = {
      {"nothing installed", L"check-nothing-found", nullptr, Companion(svc::kAutoStart, svc::kRunning),
       "检测已完成，未发现异常问题", "recheckbtn", nullptr, nullptr, 0xFF666666, 0, 0},
      {"service stopped, Flash Player outdated", L"check-service-stopped", L"31.0.0.100",
       Companion(svc::kAutoStart, svc::kStopped), "检测已完成，发现异常问题，请立即修复", "repairbtn", "立即修复",
       "发现以下1个问题", 0xFFFF0000, 2, 1},
      {"Flash Player below the minimum", L"check-below-minimum", L"20.0.0.1", Companion(svc::kAutoStart, svc::kRunning),
       "检测已完成，Flash版本较低，请立即下载", "repairbtn", "立即下载", "发现以下1个问题", 0xFFFF0000, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CloseWindows();
    OpenWindow();
    DeleteFlashKeys();
    if (c.pepper) InstallPepper(c.pepper);
    services_.Add(kCompanionServiceName, c.companion);
    CheckAndWait();
    EXPECT_EQ(Text(L"checkResult"), c.headline);
    EXPECT_EQ(VisibleButton(), c.button);
    if (c.repairLabel) EXPECT_EQ(Text(L"repairbtn"), c.repairLabel);
    EXPECT_EQ(Text(L"checkTip"), c.tip ? c.tip : Utf8(NoProblemHint()));
    EXPECT_EQ(Colour(L"checkTip"), c.tipColour);
    EXPECT_EQ(Visible(L"resultList"), c.rows > 0);
    ASSERT_EQ(List()->GetCount(), c.rows);
    int visibleRows = 0;
    for (int i = 0; i < c.rows; ++i) visibleRows += Row(i)->IsVisible() ? 1 : 0;
    EXPECT_EQ(visibleRows, c.visibleRows);
    EXPECT_FALSE(Visible(L"repairTip"));
    Shot(window_->GetHWND(), c.shot);
  }
}

TEST_F(ToolWindowTest, CancelDuringTheFlashStepShowsTheLoneDownloadRow) {
  InstallPepper(L"20.0.0.1");
  services_.Add(kCompanionServiceName, Companion(svc::kAutoStart, svc::kRunning));
  // The configuration's answer waits until the test releases it, so the cancel below lands
  // while it is on its way however slowly this machine runs.
  ASSERT_TRUE(vendor::SelectScenario("held"));
  ClickOn(L"checkbtn");
  auto* progress = static_cast<CProgressUI*>(C(L"check_progress"));
  ASSERT_TRUE(PumpUntil([&] { return progress->GetValue() == 33 && vendor::Requested("/config/toolfix"); },
                        kRunLimitMs));
  ClickNowOn(L"cancelCheckbtn");
  EXPECT_EQ(Text(L"checkResult"), "正在取消检测");
  ASSERT_TRUE(vendor::ReleaseHeld());
  ASSERT_TRUE(PumpUntil([&] { return Page() == 2; }, kRunLimitMs));

  EXPECT_EQ(Text(L"checkResult"), "检测已取消");
  EXPECT_EQ(Text(L"checkTip"), "发现以下1个问题");
  EXPECT_EQ(Colour(L"checkTip"), 0xFFFF0000u);
  EXPECT_EQ(VisibleButton(), "");
  ASSERT_EQ(List()->GetCount(), 1);
  EXPECT_TRUE(RowShows(Row(0), L"GoOfficialNet"));
  EXPECT_EQ(RowText(Row(0), L"GoOfficialNet"), "立即下载");
  EXPECT_EQ(RowText(Row(0), L"result"), "您的Flash Player版本较低，建议下载最新版Flash Player");
  EXPECT_FALSE(Visible(L"check_progress"));
  Shot(window_->GetHWND(), L"check-cancelled-lone-row");
}

TEST_F(ToolWindowTest, SuccessfulServiceRepairEndsWithFinish) {
  InstallPepper(L"32.0.0.171");
  services_.Add(kCompanionServiceName, Companion(svc::kAutoStart, svc::kStopped));
  CheckAndWait();
  ClickNowOn(L"repairbtn");
  EXPECT_EQ(Text(L"checkResult"), "正在修复，请稍候…");
  EXPECT_EQ(Text(L"cancelRepairbtn"), "取消修复");
  EXPECT_TRUE(RowShows(Row(0), L"repairLogo"));
  ASSERT_TRUE(PumpUntil([&] { return Visible(L"returnbtn"); }, kRunLimitMs));

  EXPECT_EQ(Text(L"checkResult"), "修复已完成");
  EXPECT_EQ(Text(L"returnbtn"), "完成");
  EXPECT_EQ(Text(L"checkTip"), Utf8(AfterRepairHint()));
  EXPECT_TRUE(Visible(L"repairTip"));
  EXPECT_EQ(RowIcon(Row(0)), "success.png");
  EXPECT_EQ(ReadSetting("HelperRepaired"), "1");
  EXPECT_EQ(services_.Get(kCompanionServiceName).state, svc::kRunning);

  ClickOn(L"returnbtn");
  EXPECT_TRUE(uitest::QuitSeen()) << "完成 after a successful repair ends the program";
}

TEST_F(ToolWindowTest, FailedRepairAfterAnAdvisoryGoesBack) {
  InstallPepper(L"31.0.0.100");  // outdated, above the minimum: an advisory
  services_.Add(kCompanionServiceName, Companion(svc::kAutoStart, svc::kStopped, /*startFails=*/true));
  CheckAndWait();
  ASSERT_EQ(List()->GetCount(), 2);
  RepairAndWait();

  EXPECT_EQ(Text(L"checkResult"), "修复失败");
  EXPECT_EQ(Text(L"returnbtn"), "返回");
  EXPECT_EQ(Text(L"checkTip"), Utf8(RepairFailedHint()));
  EXPECT_FALSE(Visible(L"repairTip"));
  CControlUI* service = Row(0);
  CControlUI* flash = Row(1);
  EXPECT_EQ(RowIcon(service), "failed.png");
  EXPECT_TRUE(flash->IsVisible()) << "the advisory row appears after the repair";
  EXPECT_EQ(RowText(flash, L"result"), "您的Flash Player修复失败，建议重新下载最新版Flash Player进行修复");
  EXPECT_TRUE(RowShows(flash, L"GoOfficialNet"));
  EXPECT_EQ(ReadSetting("HelperRepaired"), "0");
  Shot(window_->GetHWND(), L"repair-failed-advisory");

  ClickOn(L"returnbtn");
  EXPECT_FALSE(uitest::QuitSeen());
  EXPECT_EQ(Page(), 0);
  EXPECT_TRUE(Visible(L"MainLayout"));
  EXPECT_FALSE(Visible(L"CheckLayout"));
  EXPECT_EQ(List()->GetCount(), 0);
}

TEST_F(ToolWindowTest, FlashRepairDownloadsInstallsAndUpgrades) {
  InstallPepper(L"20.0.0.1");
  services_.Add(kCompanionServiceName, Companion(svc::kAutoStart, svc::kRunning));
  const std::wstring fixture = QV_FLASH_FIXTURE;
  const std::wstring served = vendor::WwwDir() + L"\\cdm\\latest\\flashplayerpp_install_cn.exe";
  ASSERT_TRUE(vendor::PutFile(vendor::WwwDir(), L"cdm\\latest\\flashplayerpp_install_cn.exe", ""));
  ASSERT_TRUE(::CopyFileW(fixture.c_str(), served.c_str(), FALSE)) << Utf8(fixture);
  CheckAndWait();
  ClickNowOn(L"repairbtn");
  // Before any download has begun.
  EXPECT_EQ(Text(L"checkResult"), "正在下载Flash Player，请稍候…");
  EXPECT_EQ(Text(L"cancelRepairbtn"), "取消下载");
  EXPECT_TRUE(RowShows(Row(0), L"repairLogoNew"));
  EXPECT_EQ(RowText(Row(0), L"resultTipNew"), "正在下载...");
  Shot(window_->GetHWND(), L"repair-downloading");
  ASSERT_TRUE(PumpUntil([&] { return Visible(L"returnbtn"); }, kRunLimitMs));

  EXPECT_EQ(Text(L"checkResult"), "修复已完成");
  EXPECT_EQ(RowText(Row(0), L"result"), "您的Flash Player已升级至最新版");
  EXPECT_EQ(RowIcon(Row(0)), "success.png");
  EXPECT_FALSE(RowShows(Row(0), L"GoOfficialNet"));
  EXPECT_FALSE(Visible(L"repairbtn"));
  ASSERT_TRUE(PumpUntil(
      [&] {
        for (const auto& report : vendor::Reports())
          if (vendor::PayloadField(report, "action") == "repairresult") return true;
        return false;
      },
      10000))
      << "an installer ran, so the repair is reported";
}

TEST_F(ToolWindowTest, CancelledRepairOffersANewCheckWithItsProgressBar) {
  InstallPepper(L"20.0.0.1");
  services_.Add(kCompanionServiceName, Companion(svc::kAutoStart, svc::kRunning));
  CheckAndWait();
  ClickNowOn(L"repairbtn");
  ClickNowOn(L"cancelRepairbtn");  // before the download can have ended
  EXPECT_EQ(Page(), 3);
  EXPECT_TRUE(Visible(L"RepairCancelTip"));
  EXPECT_FALSE(Visible(L"checkResult"));
  Shot(window_->GetHWND(), L"repair-cancelling");
  ASSERT_TRUE(PumpUntil([&] { return Visible(L"recheckbtn"); }, kRunLimitMs));

  EXPECT_EQ(Page(), 2);
  EXPECT_EQ(Text(L"checkResult"), "修复已取消");
  EXPECT_EQ(Text(L"checkTip"), "您的flash运行异常，请重新检测修复");
  EXPECT_EQ(VisibleButton(), "recheckbtn");
  EXPECT_EQ(List()->GetCount(), 0);
  EXPECT_FALSE(Visible(L"RepairCancelTip"));
  EXPECT_FALSE(Visible(L"check_progress"));
  Shot(window_->GetHWND(), L"repair-cancelled");

  ClickNowOn(L"recheckbtn");
  EXPECT_EQ(Page(), 1);
  EXPECT_EQ(Text(L"checkResult"), "正在检测，请稍候…");
  EXPECT_TRUE(Visible(L"check_progress")) << "a new check shows its progress again";
  CheckAndWait();
}

TEST_F(ToolWindowTest, ACancelTooLateToStopTheRepairShowsReturnThatGoesBack) {
  InstallPepper(L"32.0.0.171");
  services_.Add(kCompanionServiceName, Companion(svc::kAutoStart, svc::kStopped));
  CheckAndWait();
  ClickNowOn(L"repairbtn");
  // The run ends and posts its completion, which waits in the queue, unhandled, when the
  // cancel is clicked.
  ASSERT_TRUE(WaitQueued(window_->GetHWND(), kWmRepairDone, kRunLimitMs)) << "the repair did not end";
  ClickNowOn(L"cancelRepairbtn");
  ASSERT_TRUE(PumpUntil([&] { return Visible(L"returnbtn"); }, kRunLimitMs));

  EXPECT_EQ(Text(L"checkResult"), "修复失败");
  EXPECT_EQ(Text(L"returnbtn"), "返回");
  ClickOn(L"returnbtn");
  EXPECT_FALSE(uitest::QuitSeen()) << "返回 goes back even though the service was repaired";
  EXPECT_EQ(Page(), 0);
}

// Two companion-service repairs are on record; this one is the third.
class ThirdRepairTest : public ToolWindowTest {
 protected:
  CControlUI* RepairThirdTime() {
    InstallPepper(L"32.0.0.171");
    services_.Add(kCompanionServiceName, Companion(svc::kAutoStart, svc::kStopped));
    WriteSetting("HelperRepaired", "2");
    CheckAndWait();
    RepairAndWait();
    EXPECT_EQ(ReadSetting("HelperRepaired"), "3");
    EXPECT_EQ(List()->GetCount(), 1);
    CControlUI* row = Row(0);
    EXPECT_EQ(row->GetFixedHeight(), 61) << "the recurring-problem row";
    EXPECT_EQ(RowText(row, L"resultServTip"), "如反复出现此问题，请设置开机启动项解决此问题");
    EXPECT_EQ(RowText(row, L"ServSet"), "设置");
    EXPECT_TRUE(RowShows(row, L"ServSet"));
    EXPECT_EQ(RowIcon(row), "success.png");
    return row;
  }
  static int DialogPage(CDlgConfig* dialog) {
    return static_cast<CTabLayoutUI*>(dialog->GetManager().FindControl(L"mainSwitch"))->GetCurSel();
  }
};

TEST_F(ThirdRepairTest, WithoutStartupRepairTheSuggestionOpens) {
  RepairThirdTime();
  ASSERT_EQ(CDlgConfig::OpenDialogs().size(), 1u);
  CDlgConfig* dialog = CDlgConfig::OpenDialogs()[0];
  EXPECT_EQ(DialogPage(dialog), 3);
  ASSERT_NE(dialog->ActiveCheck(), nullptr);
  EXPECT_EQ(Utf8(dialog->ActiveCheck()->GetName()), "autoRun3");
  EXPECT_TRUE(dialog->ActiveCheck()->IsSelected());
  EXPECT_EQ(::GetWindow(dialog->GetHWND(), GW_OWNER), window_->GetHWND());
  wchar_t text[64] = {};
  ::GetClassNameW(dialog->GetHWND(), text, 64);
  EXPECT_STREQ(text, L"CDlgConfig");
  ::GetWindowTextW(dialog->GetHWND(), text, 64);
  EXPECT_STREQ(text, L"DlgConfig");
  RECT owner{}, own{};
  ::GetWindowRect(window_->GetHWND(), &owner);
  ::GetWindowRect(dialog->GetHWND(), &own);
  EXPECT_NEAR((own.left + own.right) / 2, (owner.left + owner.right) / 2, 1) << "centred on the main window";
  EXPECT_NEAR((own.top + own.bottom) / 2, (owner.top + owner.bottom) / 2, 1);
  Shot(window_->GetHWND(), L"repair-recurring-row");
  Shot(dialog->GetHWND(), L"dialog-suggestion");
}

TEST_F(ThirdRepairTest, WithStartupRepairOnlyTheRowAdvises) {
  services_.Add(L"QuorvaneSvr", Companion(svc::kAutoStart, svc::kStopped));
  CControlUI* row = RepairThirdTime();
  EXPECT_TRUE(CDlgConfig::OpenDialogs().empty());
  // The row's own button opens the dialog on page 0.
  ASSERT_TRUE(Click(window_->GetHWND(), row->FindSubControl(L"ServSet")));
  ASSERT_EQ(CDlgConfig::OpenDialogs().size(), 1u);
  EXPECT_EQ(DialogPage(CDlgConfig::OpenDialogs()[0]), 0);
}

TEST_F(ToolWindowTest, CloseDuringARepairQuitsAtOnce) {
  InstallPepper(L"32.0.0.171");
  services_.Add(kCompanionServiceName, Companion(svc::kAutoStart, svc::kStopped));
  CheckAndWait();
  ClickOn(L"repairbtn");
  ClickOn(L"closebtn");
  EXPECT_TRUE(uitest::QuitSeen());
}

// --- the settings dialog against the real service manager and settings file ------------------

std::vector<std::string> RegisterBootReports() {
  std::vector<std::string> values;
  for (const auto& report : vendor::Reports())
    if (vendor::PayloadField(report, "action") == "registerboot")
      values.push_back(vendor::PayloadField(report, "register"));
  return values;
}

class SettingsDialogTest : public ToolWindowTest {
 protected:
  void SetUp() override {
    ToolWindowTest::SetUp();
    DeleteLauncherService();
  }
  void TearDown() override {
    ToolWindowTest::TearDown();
    DeleteLauncherService();
  }
  CDlgConfig* Open() {
    const size_t before = CDlgConfig::OpenDialogs().size();
    window_->OpenSettingsDialog(0, L"autoRun");
    uitest::Pump(50);
    return CDlgConfig::OpenDialogs().size() == before + 1 ? CDlgConfig::OpenDialogs().back() : nullptr;
  }
  static void ClickIn(CDlgConfig* dialog, const wchar_t* name) {
    // Each page has its own "ok", "cancel" and "closebtn": click the one on the shown page.
    CControlUI* target = nullptr;
    auto* pages = static_cast<CTabLayoutUI*>(dialog->GetManager().FindControl(L"mainSwitch"));
    if (auto* page = pages ? pages->GetItemAt(pages->GetCurSel()) : nullptr) target = page->FindSubControl(name);
    ASSERT_TRUE(Click(dialog->GetHWND(), target)) << Utf8(name);
  }
  // The register-boot reports on record once every thread started since `before` has ended.
  // A report thread is started by the click that wants it, so when none of those threads is
  // left, every report there will be has reached the server (it records a report before it
  // answers), and one that was never started cannot come any more.
  static std::vector<std::string> ReportsAfter(const std::set<DWORD>& before) {
    const bool ended = PumpUntil(
        [&] {
          for (DWORD id : ProcessThreads())
            if (!before.count(id)) return false;
          return true;
        },
        20000);
    EXPECT_TRUE(ended) << "a thread started by the dialog did not end";
    return RegisterBootReports();
  }
};

TEST_F(SettingsDialogTest, OkSwitchesOnlyWhenTheWantedStateDiffers) {
  struct Case {
    const char* name;
    bool registered;     // before
    const char* stored;  // "checked" before
    bool untick;
    const wchar_t* button;
    bool registeredAfter;
    const char* storedAfter;
    std::vector<std::string> reports;
  };
  const Case cases[] = {
      {"off, ok as opened", false, "0", false, L"ok", true, "1", {"1"}},
      {"on, unticked, ok", true, "1", true, L"ok", false, "0", {"0"}},
      {"on, ok as opened", true, "1", false, L"ok", true, "1", {}},
      {"off, unticked, ok", false, "1", true, L"ok", false, "1", {}},
      {"off, cancel", false, "0", false, L"cancel", false, "0", {}},
      {"off, closebtn", false, "0", false, L"closebtn", false, "0", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(vendor::Reset("normal"));
    DeleteLauncherService();
    if (c.registered) ASSERT_EQ(CreateLauncherService(), 0);
    WriteSetting("checked", c.stored);
    const std::set<DWORD> threads = ProcessThreads();
    CDlgConfig* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(dialog->ActiveCheck() && dialog->ActiveCheck()->IsSelected()) << "opens ticked whatever is stored";
    if (&c == cases) Shot(dialog->GetHWND(), L"dialog-startup-repair");
    if (c.untick) ClickIn(dialog, L"autoRun");
    ClickIn(dialog, c.button);
    ASSERT_TRUE(PumpUntil([] { return CDlgConfig::OpenDialogs().empty(); }, 3000)) << "the dialog closes";
    EXPECT_EQ(LauncherServiceExists(), c.registeredAfter);
    EXPECT_EQ(ReadSetting("checked"), c.storedAfter);
    EXPECT_EQ(ReportsAfter(threads), c.reports);
  }
}

// A close that comes from outside the dialog, and the two keys; each case starts with
// start-up repair off and the box ticked as opened.
TEST_F(SettingsDialogTest, ClosesAndKeysActAsItsButtons) {
  struct Case {
    const char* name;
    int page;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool registeredAfter;
  };
  const LPARAM altDown = LPARAM(1) << 29;
  const Case cases[] = {
      {"WM_CLOSE cancels", 0, WM_CLOSE, 0, 0, false},
      {"SC_CLOSE cancels", 0, WM_SYSCOMMAND, SC_CLOSE, 0, false},
      {"Alt+F4 cancels", 0, WM_SYSKEYDOWN, VK_F4, altDown, false},
      {"Esc is 取消", 0, WM_KEYDOWN, VK_ESCAPE, 0, false},
      {"Enter is 确定", 0, WM_KEYDOWN, VK_RETURN, 0, true},
      {"Esc is 取消 on the suggestion page", 3, WM_KEYDOWN, VK_ESCAPE, 0, false},
      {"Enter is 确定 on the suggestion page", 3, WM_KEYDOWN, VK_RETURN, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(vendor::Reset("normal"));
    DeleteLauncherService();
    WriteSetting("checked", "0");
    uitest::QuitSeen() = false;
    const std::set<DWORD> threads = ProcessThreads();
    window_->OpenSettingsDialog(c.page, c.page == 3 ? L"autoRun3" : L"autoRun");
    uitest::Pump(50);
    ASSERT_EQ(CDlgConfig::OpenDialogs().size(), 1u);
    ::PostMessageW(CDlgConfig::OpenDialogs()[0]->GetHWND(), c.message, c.wParam, c.lParam);
    ASSERT_TRUE(PumpUntil([] { return CDlgConfig::OpenDialogs().empty(); }, 3000)) << "the dialog closes";
    EXPECT_EQ(LauncherServiceExists(), c.registeredAfter);
    EXPECT_EQ(ReadSetting("checked"), c.registeredAfter ? "1" : "0");
    EXPECT_EQ(ReportsAfter(threads), c.registeredAfter ? std::vector<std::string>{"1"} : std::vector<std::string>{});
    EXPECT_TRUE(::IsWindowVisible(window_->GetHWND())) << "the main window stays";
    EXPECT_FALSE(uitest::QuitSeen()) << "the program goes on";
  }
}

TEST_F(SettingsDialogTest, TwoDialogsApplyTheirStatesInTurn) {
  WriteSetting("checked", "0");
  const std::set<DWORD> threads = ProcessThreads();
  CDlgConfig* first = Open();
  CDlgConfig* second = Open();
  ASSERT_TRUE(first && second);
  ASSERT_NE(first->GetHWND(), second->GetHWND());
  ClickIn(second, L"autoRun");  // the second one wants it off

  ClickIn(first, L"ok");
  ASSERT_TRUE(PumpUntil([] { return CDlgConfig::OpenDialogs().size() == 1; }, 3000));
  EXPECT_TRUE(LauncherServiceExists());
  EXPECT_EQ(ReadSetting("checked"), "1");

  ClickIn(second, L"ok");
  ASSERT_TRUE(PumpUntil([] { return CDlgConfig::OpenDialogs().empty(); }, 3000));
  EXPECT_FALSE(LauncherServiceExists());
  EXPECT_EQ(ReadSetting("checked"), "0");
  EXPECT_EQ(ReportsAfter(threads), (std::vector<std::string>{"1", "0"}));
}

TEST_F(SettingsDialogTest, RegionQueryShowsTheConfiguredAddress) {
  CDlgConfig* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  auto* pages = static_cast<CTabLayoutUI*>(dialog->GetManager().FindControl(L"mainSwitch"));
  pages->SelectItem(1);
  uitest::Pump(50);
  ClickIn(dialog, L"checkip");
  EXPECT_EQ(pages->GetCurSel(), 2);
  EXPECT_EQ(Utf8(dialog->GetManager().FindControl(L"settingip")->GetText()), "您的IP：203.0.113.7");
  Shot(dialog->GetHWND(), L"dialog-region");
}

// The tool menu goes without a pick, however it is closed, and the program goes on; Esc in
// the main window closes an open menu and does nothing else.
TEST_F(ToolWindowTest, MenuClosedFromOutsideOrByEscPicksNothing) {
  struct Case {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  const Case cases[] = {
      {"WM_CLOSE", WM_CLOSE, 0, 0},
      {"SC_CLOSE", WM_SYSCOMMAND, SC_CLOSE, 0},
      {"Alt+F4", WM_SYSKEYDOWN, VK_F4, LPARAM(1) << 29},
      {"Esc", WM_KEYDOWN, VK_ESCAPE, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ClickOn(L"morebtn");
    HWND menu = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (menu = ::FindWindowW(L"DuiMenuWnd", nullptr)) != nullptr; }, 3000));
    ::PostMessageW(menu, c.message, c.wParam, c.lParam);
    ASSERT_TRUE(PumpUntil([] { return ::FindWindowW(L"DuiMenuWnd", nullptr) == nullptr; }, 3000));
    uitest::Pump(100);
    EXPECT_TRUE(CDlgConfig::OpenDialogs().empty()) << "nothing was picked";
    EXPECT_TRUE(::IsWindowVisible(window_->GetHWND()));
    EXPECT_FALSE(uitest::QuitSeen());
  }
  // With no menu open, Esc changes nothing.
  ::PostMessageW(window_->GetHWND(), WM_KEYDOWN, VK_ESCAPE, 0);
  ::PostMessageW(window_->GetHWND(), WM_KEYUP, VK_ESCAPE, 0);
  uitest::Pump(100);
  EXPECT_TRUE(::IsWindowVisible(window_->GetHWND()));
  EXPECT_FALSE(uitest::QuitSeen());
  EXPECT_EQ(Page(), 0);
  EXPECT_TRUE(Visible(L"MainLayout"));
  EXPECT_TRUE(CDlgConfig::OpenDialogs().empty());
}

TEST_F(ToolWindowTest, ToolMenuOpensTheDialogOnItsFirstPage) {
  ClickOn(L"morebtn");
  HWND menu = nullptr;
  ASSERT_TRUE(PumpUntil([&] { return (menu = ::FindWindowW(L"DuiMenuWnd", nullptr)) != nullptr; }, 3000));
  RECT menuRect{}, more = C(L"morebtn")->GetPos();
  ::GetWindowRect(menu, &menuRect);
  POINT corner{more.left, more.bottom};
  ::ClientToScreen(window_->GetHWND(), &corner);
  EXPECT_EQ(menuRect.left, corner.x);
  EXPECT_EQ(menuRect.top, corner.y);
  EXPECT_EQ(menuRect.right - menuRect.left, 112);
  EXPECT_EQ(menuRect.bottom - menuRect.top, 31);
  Shot(window_->GetHWND(), L"tool-menu");
  // The item fills the menu; click its middle.
  ::PostMessageW(menu, WM_MOUSEMOVE, 0, MAKELPARAM(56, 15));
  ::PostMessageW(menu, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(56, 15));
  ::PostMessageW(menu, WM_LBUTTONUP, 0, MAKELPARAM(56, 15));
  ASSERT_TRUE(PumpUntil([] { return CDlgConfig::OpenDialogs().size() == 1; }, 3000));
  EXPECT_EQ(Utf8(CDlgConfig::OpenDialogs()[0]->ActiveCheck()->GetName()), "autoRun");
}

// --- the real executable, closed from outside ----------------------------------------------

#ifdef QV_APP_EXE
struct ToolWindowSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK MatchToolWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<ToolWindowSearch*>(param);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  wchar_t name[32] = {};
  ::GetClassNameW(window, name, 32);
  if (owner != search->processId || !::IsWindowVisible(window) || wcscmp(name, L"ToolWnd") != 0) return TRUE;
  search->found = window;
  return FALSE;
}

// The visible main window of a process, or null.
HWND FindToolWindow(DWORD processId) {
  ToolWindowSearch search{processId, nullptr};
  ::EnumWindows(MatchToolWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Alt+F4 as the keyboard gives it, to the window once it is the foreground window (Wine hands
// the foreground over asynchronously; keys sent before would reach the window that had it).
void PressAltF4(HWND window) {
  for (int i = 0, steady = 0; i < 100 && steady < 3; ++i) {
    if (::GetForegroundWindow() == window) {
      ++steady;
    } else {
      steady = 0;
      ::SetForegroundWindow(window);
    }
    ::Sleep(30);
  }
  EXPECT_EQ(::GetForegroundWindow(), window) << "the keys would go elsewhere";
  INPUT keys[4] = {};
  const WORD order[4][2] = {{VK_MENU, 0}, {VK_F4, 0}, {VK_F4, KEYEVENTF_KEYUP}, {VK_MENU, KEYEVENTF_KEYUP}};
  for (int i = 0; i < 4; ++i) {
    keys[i].type = INPUT_KEYBOARD;
    keys[i].ki.wVk = order[i][0];
    keys[i].ki.dwFlags = order[i][1];
  }
  ::SendInput(4, keys, sizeof(INPUT));
}

TEST(MainWindowFromOutside, EveryWayOfClosingItEndsTheProgram) {
  struct Case {
    const char* name;
    void (*close)(HWND);
  };
  const Case cases[] = {
      {"WM_CLOSE from another program", [](HWND w) { ::PostMessageW(w, WM_CLOSE, 0, 0); }},
      {"SC_CLOSE, as the taskbar's Close window sends it",
       [](HWND w) { ::PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0); }},
      {"Alt+F4 on the keyboard", PressAltF4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::wstring line = L"\"" + std::wstring(QV_APP_EXE) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
    HWND window = nullptr;
    for (int i = 0; i < 300 && !window && ::WaitForSingleObject(info.hProcess, 100) == WAIT_TIMEOUT; ++i)
      window = FindToolWindow(info.dwProcessId);
    EXPECT_NE(window, nullptr) << "the main window did not open";
    if (window) c.close(window);
    const bool ended = ::WaitForSingleObject(info.hProcess, 10000) == WAIT_OBJECT_0;
    DWORD code = 999;
    if (ended) {
      ::GetExitCodeProcess(info.hProcess, &code);
    } else {
      ::TerminateProcess(info.hProcess, 1);
      ::WaitForSingleObject(info.hProcess, 5000);
    }
    EXPECT_TRUE(ended) << "the program kept running after its window was closed";
    EXPECT_EQ(code, 0u);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
  }
}
#endif

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  CSkinManager::SetInstance(::GetModuleHandleW(nullptr));
  CShadowUI::Initialize(::GetModuleHandleW(nullptr));
  ::CoInitialize(nullptr);
  const int rc = RUN_ALL_TESTS();
  ::CoUninitialize();
  return rc;
}
