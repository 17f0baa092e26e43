// The engine under Wine without the vendor servers: the registry probe with its views, the
// companion-service check and repair over every state (in-memory manager), the run orders
// seen through a recording view, the repair animation, the outcome evaluation, the boot
// pass, and the launcher service's registration in the real service manager.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>

#include "app/BootRepair.h"
#include "app/LauncherService.h"
#include "core/ConfigFile.h"
#include "core/StrUtil.h"
#include "core/SysUtil.h"
#include "engine/CompanionService.h"
#include "engine/FlashInstall.h"
#include "engine/FlashProbe.h"
#include "engine/MemoryServiceControl.h"
#include "engine/RecordingRunView.h"
#include "engine/Runs.h"
#include "engine_wine_util.h"
#include "net/Events.h"
#include "net/Statistics.h"

using namespace enginetest;

namespace {

using Lines = std::vector<std::string>;
const std::string kRepairTip = RecordingRunView::Utf8(L"修复时间可能较长，还请耐心等待");

MemoryService Service(uint32_t startType, uint32_t state) {
  MemoryService s;
  s.startType = startType;
  s.state = state;
  return s;
}

class FlashRegistry : public ::testing::Test {
 protected:
  void SetUp() override { ClearFlash(); }
  void TearDown() override { ClearFlash(); }
};

// ---------------------------------------------------------------------------------------
TEST(ProblemTexts, ShowAsChineseUnderCodePage936) {
  ASSERT_EQ(GetACP(), 936u);
  EXPECT_EQ(AnsiToWide(kServiceProblemText), L"Flash Player必要组件未运行，建议立即修复启动该组件");
  EXPECT_EQ(AnsiToWide(kFlashProblemText), L"您的Flash Player版本较低，建议下载最新版Flash Player");
}

// ---------------------------------------------------------------------------------------
TEST_F(FlashRegistry, PresenceCountsOnlyInThe64BitView) {
  WriteFlashText(L"FlashPlayerPepper", KEY_WOW64_32KEY, L"UninstallerPath", L"C:\\u.exe");
  CheckContext ctx;
  EXPECT_FALSE(FlashKeyValueExists(L"FlashPlayerPepper", L"UninstallerPath"));
  EXPECT_FALSE(IsAnyFlashInstalled(ctx));
  EXPECT_FALSE(ctx.flashInstalled);

  WriteFlashText(L"FlashPlayerPlugin", KEY_WOW64_64KEY, L"UninstallerPath", L"C:\\u.exe");
  EXPECT_TRUE(IsAnyFlashInstalled(ctx));
  EXPECT_TRUE(ctx.flashInstalled);
}

TEST_F(FlashRegistry, VersionAndDebuggerComeFromThe32BitView) {
  WriteFlashText(L"FlashPlayerActiveX", KEY_WOW64_64KEY, L"Version", L"11.0.0.1");
  EXPECT_EQ(ReadFlashVersion("FlashPlayerActiveX"), "");
  WriteFlashText(L"FlashPlayerActiveX", KEY_WOW64_32KEY, L"Version", L"28.0.0.137");
  EXPECT_EQ(ReadFlashVersion("FlashPlayerActiveX"), "28.0.0.137");
  EXPECT_EQ(ReadFlashVersion("FlashPlayerPepper"), "");

  struct Case {
    const char* name;
    DWORD type;
    uint64_t value;
    DWORD bytes;
    bool debugger;
  };
  const Case cases[] = {{"dword 1", REG_DWORD, 1, 4, true},
                        {"dword 2", REG_DWORD, 2, 4, false},
                        {"qword 1 is too wide", REG_QWORD, 1, 8, false}};
  for (const Case& c : cases) {
    WriteFlashValue(L"FlashPlayerPlugin", KEY_WOW64_32KEY, L"isScriptDebugger", c.type, &c.value, c.bytes);
    EXPECT_EQ(IsScriptDebugger("FlashPlayerPlugin"), c.debugger) << c.name;
  }
  WriteFlashValue(L"FlashPlayerPepper", KEY_WOW64_64KEY, L"isScriptDebugger", REG_DWORD, &cases[0].value, 4);
  EXPECT_FALSE(IsScriptDebugger("FlashPlayerPepper"));
}

TEST_F(FlashRegistry, VersionFitsItsBufferOf260Units) {
  struct Case {
    const char* name;
    size_t length;
    size_t read;  // characters read; 0: the value counts as missing
  };
  const Case cases[] = {
      {"259 characters and their terminator fill the buffer", 259, 259},
      {"260 characters and a terminator do not fit", 260, 0},
      {"300 characters", 300, 0},
  };
  for (const Case& c : cases) {
    WriteFlashText(L"FlashPlayerPepper", KEY_WOW64_32KEY, L"Version", std::wstring(c.length, L'9'));
    EXPECT_EQ(ReadFlashVersion("FlashPlayerPepper"), std::string(c.read, '9')) << c.name;
  }
}

TEST_F(FlashRegistry, FlavourUpToDateAfterRepair) {
  CheckContext ctx;
  ctx.remoteConfig.flashVersion = "32.0.0.171";
  EXPECT_TRUE(IsFlavourUpToDate(ctx, Pepper));  // not installed
  InstallFlash(L"FlashPlayerPepper", L"30.0.0.1");
  EXPECT_FALSE(IsFlavourUpToDate(ctx, Pepper));
  InstallFlash(L"FlashPlayerPepper", L"32.0.0.171.5");
  EXPECT_TRUE(IsFlavourUpToDate(ctx, Pepper));
  InstallFlash(L"FlashPlayerPlugin", L"20.0.0.1");
  DWORD one = 1;
  WriteFlashValue(L"FlashPlayerPlugin", KEY_WOW64_32KEY, L"isScriptDebugger", REG_DWORD, &one, 4);
  EXPECT_TRUE(IsFlavourUpToDate(ctx, Plugin));
  EXPECT_TRUE(IsFlavourUpToDate(ctx, 6));
}

TEST_F(FlashRegistry, CheckFlashVersionsReadsTheRegistry) {
  // Wine reports at least 6.1 here; Pepper has no OS test, so the class does not matter.
  InstallFlash(L"FlashPlayerPepper", L"25.0.0.1");
  CheckContext ctx;
  ctx.remoteConfig.flashVersion = "32.0.0.171";
  ctx.problems.push_back({ServiceStopped, kServiceProblemText, "", StateFound});
  CheckFlashVersions(ctx);
  ASSERT_EQ(ctx.problems.size(), 1u);
  EXPECT_EQ(ctx.problems[0].kind, FlashBelowMinimum);
  ASSERT_EQ(ctx.downloads.size(), 1u);
  EXPECT_EQ(ctx.downloads[0].kind, Pepper);
  EXPECT_EQ(ctx.downloads[0].state, StateInstall);
  EXPECT_EQ(ctx.downloads[0].text, std::string(kVendorWebOrigin) + "/cdm/latest/flashplayerpp_install_cn.exe");
}

TEST(OsVersionClass, FollowsTheVersionWindowsReports) {
  // Wine reports the version set for a program under AppDefaults; the runner exits with
  // its GetOsVersionClass().
  const wchar_t kKey[] = L"Software\\Wine\\AppDefaults\\qv_engine_runner.exe";
  struct Case {
    const wchar_t* wineVersion;
    DWORD osClass;
  };
  const Case cases[] = {{L"winxp", 1}, {L"win2003", 2}, {L"vista", 3}, {L"win7", 4}, {L"win8", 5}};
  for (const Case& c : cases) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), 0);
    RegSetValueExW(key, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(c.wineVersion),
                   static_cast<DWORD>((wcslen(c.wineVersion) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    std::wstring command = QuotedCommandLine(QV_RUNNER, L"osclass");
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
    WaitForSingleObject(info.hProcess, 30000);
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    EXPECT_EQ(code, c.osClass) << WideToAnsi(c.wineVersion);
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
}

// ---------------------------------------------------------------------------------------
struct CompanionCase {
  const char* name;
  bool flash;
  bool manager;
  bool exists;
  MemoryService service;
  bool ok;
  int32_t kind;
  bool problemsFound;
};

MemoryService FailingQuery(bool status) {
  MemoryService s = Service(svc::kAutoStart, svc::kRunning);
  (status ? s.statusQueryFails : s.configQueryFails) = true;
  return s;
}

TEST_F(FlashRegistry, CheckCompanionServiceStates) {
  const CompanionCase cases[] = {
      {"no Flash Player: not examined", false, true, false, {}, true, 0, false},
      {"automatic and running", true, true, true, Service(svc::kAutoStart, svc::kRunning), true, 0, false},
      {"missing", true, true, false, {}, false, ServiceMissing, true},
      {"automatic, stopped", true, true, true, Service(svc::kAutoStart, svc::kStopped), false, ServiceStopped, true},
      {"manual, running", true, true, true, Service(svc::kDemandStart, svc::kRunning), false, ServiceNotAutoStart,
       true},
      {"disabled, stopped", true, true, true, Service(svc::kDisabled, svc::kStopped), false, ServiceNotAutoStartStopped,
       true},
      {"automatic, stop pending", true, true, true, Service(svc::kAutoStart, svc::kStopPending), true, 0, false},
      {"automatic, paused", true, true, true, Service(svc::kAutoStart, svc::kPaused), true, 0, false},
      {"manager unavailable: caller records it", true, false, true, {}, false, ScmUnavailable, false},
      {"status query fails", true, true, true, FailingQuery(true), false, ServiceMissing, true},
      {"config query fails: not automatic", true, true, true, FailingQuery(false), false, ServiceNotAutoStart, true},
  };
  for (const CompanionCase& c : cases) {
    ClearFlash();
    if (c.flash) InstallFlash(L"FlashPlayerPepper", L"32.0.0.171");
    MemoryServiceControl sc;
    sc.managerAvailable = c.manager;
    if (c.exists) sc.Add(kCompanionServiceName, c.service);
    CheckContext ctx;
    ctx.services = &sc;
    int32_t kind = 0;
    EXPECT_EQ(CheckCompanionService(ctx, kind), c.ok) << c.name;
    EXPECT_EQ(kind, c.kind) << c.name;
    EXPECT_EQ(ctx.problemsFound, c.problemsFound) << c.name;
    EXPECT_EQ(ctx.flashInstalled, c.flash) << c.name;
    EXPECT_EQ(sc.OpenHandleCount(), 0) << c.name;
    EXPECT_TRUE(sc.Calls().empty()) << c.name;  // a check changes nothing
  }
}

TEST(EnsureCompanionService, RepairsEachStateWithTheLeastChange) {
  struct Case {
    const char* name;
    MemoryService service;
    Lines calls;
    uint32_t startType, state;
  };
  const Case cases[] = {
      {"manual, running: start type only",
       Service(svc::kDemandStart, svc::kRunning),
       {"SetAutoStart Brenwick Service"},
       svc::kAutoStart,
       svc::kRunning},
      {"disabled, stopped",
       Service(svc::kDisabled, svc::kStopped),
       {"SetAutoStart Brenwick Service", "Start Brenwick Service"},
       svc::kAutoStart,
       svc::kRunning},
      {"automatic, stopped",
       Service(svc::kAutoStart, svc::kStopped),
       {"Start Brenwick Service"},
       svc::kAutoStart,
       svc::kRunning},
      {"automatic, stop pending: left alone",
       Service(svc::kAutoStart, svc::kStopPending),
       {},
       svc::kAutoStart,
       svc::kStopPending},
      {"manual, paused",
       Service(svc::kDemandStart, svc::kPaused),
       {"SetAutoStart Brenwick Service"},
       svc::kAutoStart,
       svc::kPaused},
  };
  for (const Case& c : cases) {
    MemoryServiceControl sc;
    sc.Add(kCompanionServiceName, c.service);
    EnsureCompanionService(sc, 0);
    EXPECT_EQ(sc.Calls(), c.calls) << c.name;
    EXPECT_EQ(sc.Get(kCompanionServiceName).startType, c.startType) << c.name;
    EXPECT_EQ(sc.Get(kCompanionServiceName).state, c.state) << c.name;
    EXPECT_EQ(sc.OpenHandleCount(), 0) << c.name;
  }
  MemoryServiceControl none;
  none.managerAvailable = false;
  EnsureCompanionService(none, 0);
  EXPECT_TRUE(none.Calls().empty());
}

TEST(CompanionServiceInstaller, UrlFolderAndArguments) {
  // No configuration fetched in this process: the version segment is empty.
  EXPECT_EQ(CompanionServiceUrl(), std::string(kVendorWebOrigin) + "/brenwick//BrenwickService.exe");
  wchar_t wow64[MAX_PATH] = {};
  GetSystemWow64DirectoryW(wow64, MAX_PATH);
  EXPECT_EQ(CompanionServiceFolder(), std::wstring(wow64) + L"\\Macromed\\Flash\\");
  EXPECT_EQ(InstallerArguments(true), "-Start");
  EXPECT_EQ(InstallerArguments(false), "");
}

// ---------------------------------------------------------------------------------------
TEST(RunRepair, ViewOrderWithoutDownloads) {
  MemoryServiceControl sc;
  sc.Add(kCompanionServiceName, Service(svc::kDemandStart, svc::kStopped));
  CheckContext ctx;
  ctx.services = &sc;
  RecordingRunView view;
  RunRepair(ctx, view);
  EXPECT_EQ(view.Lines(), (Lines{"attr checkTip.textcolor=#FF666666", "text checkTip=" + kRepairTip,
                                 "text checkTip=" + kRepairTip, "post 1326"}));
  EXPECT_EQ(sc.Get(kCompanionServiceName).state, svc::kRunning);  // repaired in every repair
}

TEST(RunRepair, CancelledBeforeTheServiceStep) {
  MemoryServiceControl sc;
  sc.Add(kCompanionServiceName, Service(svc::kDemandStart, svc::kStopped));
  CheckContext ctx;
  ctx.services = &sc;
  ctx.cancelRepair = true;
  RecordingRunView view;
  RunRepair(ctx, view);
  EXPECT_EQ(view.Lines(),
            (Lines{"attr checkTip.textcolor=#FF666666", "text checkTip=" + kRepairTip, "repair cancelled"}));
  EXPECT_TRUE(sc.Calls().empty());
}

TEST(InstallFlashPlayers, OfferedDownloadsAreNotFetched) {
  CheckContext ctx;
  ctx.progressLimit = 10;
  ctx.downloads.push_back({Pepper, "https://127.0.0.1:1/x.exe", "qv_engine_offered.exe", StateFound});
  RecordingRunView view;
  InstallFlashPlayers(ctx, view);
  EXPECT_TRUE(view.Lines().empty());
  EXPECT_EQ(ctx.progressLimit, 96);
  EXPECT_EQ(GetFileAttributesW(InstallerLocalPath(ctx.downloads[0]).c_str()), INVALID_FILE_ATTRIBUTES);
}

// ---------------------------------------------------------------------------------------
Lines ProgressLines(int last) {
  Lines lines;
  for (int i = 0; i <= last; ++i) lines.push_back("progress repair_progress=" + std::to_string(i));
  return lines;
}

TEST(AnimateRepairProgress, StopsAtTheLimitOr96OrTheEvent) {
  struct Case {
    const char* name;
    int limit;
    bool signalled;
    Lines lines;
  };
  const Case cases[] = {
      {"runs to 96", 96, false, ProgressLines(96)},
      {"a limit of 48 stops after 48", 48, false, ProgressLines(48)},
      {"a limit below the position stops at once", -1, false, {}},
      {"the event stops it", 96, true, {}},
  };
  for (const Case& c : cases) {
    CheckContext ctx;
    ctx.timings.animationStepMs = 1;
    ctx.progressLimit = c.limit;
    ctx.repairEvent = CreateEventW(nullptr, TRUE, c.signalled, nullptr);
    RecordingRunView view;
    AnimateRepairProgress(ctx, view);
    EXPECT_EQ(view.Lines(), c.lines) << c.name;
    EXPECT_EQ(ctx.repairEvent.load() == kInvalidEvent, c.signalled) << c.name;  // closed when it fired
  }
}

// A repair started by the window for a companion service that is already fine.
class RepairStart : public ::testing::Test {
 protected:
  void SetUp() override {
    sc.Add(kCompanionServiceName, Service(svc::kAutoStart, svc::kRunning));
    ctx.services = &sc;
  }
  MemoryServiceControl sc;
  CheckContext ctx;
  RecordingRunView view;
};

TEST_F(RepairStart, CancelStopsTheRunAndTheAnimation) {
  // 96 steps of 50 ms: the animation is still far from its end when the run has ended.
  ctx.timings.animationStepMs = 50;
  auto has = [&](const std::string& line) {
    Lines lines = view.Lines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  };
  StartRepair(ctx, view);
  for (int i = 0; i < 1000 && !has("post 1326"); ++i) Sleep(10);
  ASSERT_TRUE(has("post 1326")) << "the run did not end";
  RequestCancelRepair(ctx);
  for (int i = 0; i < 1000 && ctx.repairEvent.load() != kInvalidEvent; ++i) Sleep(10);
  // The animation closes the event when it sees it set and returns without another step.
  ASSERT_EQ(ctx.repairEvent.load(), kInvalidEvent) << "the animation did not see the cancel";
  Lines lines = view.Lines();
  EXPECT_FALSE(has("progress repair_progress=96")) << "the animation ran to its end";
  Sleep(200);
  EXPECT_EQ(view.Lines(), lines);  // nothing moves after the cancel
}

// An animation that ran out on its own leaves its event open; the next repair must not leak it.
TEST_F(RepairStart, ASecondRepairClosesTheEventTheFirstLeftOpen) {
  ctx.timings.animationStepMs = 0;
  // Both threads of `repairs` repairs have ended: the run posted its message and the animation
  // showed its last step (nothing touches ctx or view after those).
  auto finished = [&](long repairs) {
    Lines lines = view.Lines();
    return std::count(lines.begin(), lines.end(), "progress repair_progress=96") == repairs &&
           std::count(lines.begin(), lines.end(), "post 1326") == repairs;
  };
  StartRepair(ctx, view);
  for (int i = 0; i < 500 && !finished(1); ++i) Sleep(10);
  ASSERT_TRUE(finished(1));
  void* first = ctx.repairEvent.load();
  ASSERT_NE(first, kInvalidEvent);
  StartRepair(ctx, view);
  EXPECT_NE(ctx.repairEvent.load(), first);
  DWORD flags = 0;
  EXPECT_FALSE(::GetHandleInformation(first, &flags)) << "the first repair's event is still open";
  for (int i = 0; i < 500 && !finished(2); ++i) Sleep(10);
  ASSERT_TRUE(finished(2));
}

// ---------------------------------------------------------------------------------------
struct OutcomeCase {
  const char* name;
  std::vector<RepairEntry> problems;
  std::vector<RepairEntry> downloads;
  const wchar_t* pepperVersion;  // installed after the repair; null: not installed
  bool serviceHealthy;
  std::vector<int32_t> states;
  bool result;
};

TEST_F(FlashRegistry, EvaluateRepairOutcome) {
  const RepairEntry service{ServiceStopped, kServiceProblemText, "", 0};
  const RepairEntry outdated{FlashOutdated, kFlashProblemText, "", 0};
  const RepairEntry below{FlashBelowMinimum, kFlashProblemText, "", 0};
  const RepairEntry install{Pepper, "u", "f.exe", StateInstall};
  const RepairEntry offered{Pepper, "u", "f.exe", StateFound};
  const OutcomeCase cases[] = {
      {"service repaired", {service}, {}, nullptr, true, {StateServiceRepaired}, true},
      {"service still stopped", {service}, {}, nullptr, false, {StateRepairFailed}, false},
      {"no problem but service broken at the end", {}, {}, nullptr, false, {}, false},
      {"outdated is always dealt with",
       {outdated, service},
       {offered},
       L"30.0.0.1",
       true,
       {StateFlashDealtWith, StateServiceRepaired},
       true},
      {"below minimum installed", {below}, {install}, L"32.0.0.171", true, {StateFlashDealtWith}, true},
      {"below minimum, download failed", {below}, {install}, L"28.0.0.1", true, {StateRepairFailed}, false},
      {"below minimum, nothing to install", {below}, {}, L"28.0.0.1", true, {StateFlashDealtWith}, true},
      {"below minimum, first download offered", {below}, {offered}, L"28.0.0.1", true, {StateFlashDealtWith}, true},
  };
  for (const OutcomeCase& c : cases) {
    ClearFlash();
    if (c.pepperVersion) InstallFlash(L"FlashPlayerPepper", c.pepperVersion);
    MemoryServiceControl sc;
    sc.Add(kCompanionServiceName, Service(svc::kAutoStart, c.serviceHealthy ? svc::kRunning : svc::kStopped));
    CheckContext ctx;
    ctx.services = &sc;
    ctx.remoteConfig.flashVersion = "32.0.0.171";
    ctx.problems = c.problems;
    ctx.downloads = c.downloads;
    EXPECT_EQ(EvaluateRepairOutcome(ctx), c.result) << c.name;
    std::vector<int32_t> states;
    for (const RepairEntry& p : ctx.problems) states.push_back(p.state);
    EXPECT_EQ(states, c.states) << c.name;
    EXPECT_EQ(sc.OpenHandleCount(), 0) << c.name;
  }
}

TEST(SnapshotProblems, ReportsWorkOnACopy) {
  CheckContext ctx;
  ctx.version = "1.0.2.7";
  ctx.problems = {{ServiceNotAutoStart, kServiceProblemText, "", 0}, {FlashOutdated, kFlashProblemText, "", 0}};
  SnapshotProblems(ctx);
  ctx.problems[0].kind = ServiceMissing;
  ctx.problems[0].text = "changed";
  ReportArgs args = SnapshotReportArgs(ctx);
  ASSERT_EQ(args.problems.size(), 2u);
  EXPECT_EQ(args.problems[0].kind, ServiceNotAutoStart);
  EXPECT_STREQ(ctx.problemSnapshot[0].text.c_str(), kServiceProblemText);
  EXPECT_EQ(args.version, "1.0.2.7");
  EXPECT_FALSE(RepairResultReportDue(ctx));
  ctx.downloads = {{Pepper, "u", "f", StateInstall}};
  EXPECT_TRUE(RepairResultReportDue(ctx));
}

// ---------------------------------------------------------------------------------------
// Reports of the boot pass, recorded instead of sent.
std::mutex g_reportMutex;
Lines g_reports;
void RecordReport(const std::string& line) {
  std::lock_guard<std::mutex> lock(g_reportMutex);
  g_reports.push_back(line);
}
DWORD WINAPI RecordBoot(LPVOID param) {
  std::unique_ptr<ReportArgs> args(static_cast<ReportArgs*>(param));
  RecordReport("boot " + args->version);
  return 0;
}
DWORD WINAPI RecordBootResult(LPVOID param) {
  std::unique_ptr<ReportArgs> args(static_cast<ReportArgs*>(param));
  RecordReport("bootresult " + std::to_string(args->bootResult));
  return 0;
}
DWORD WINAPI HangingReport(LPVOID param) {
  std::unique_ptr<ReportArgs> args(static_cast<ReportArgs*>(param));
  Sleep(5000);
  return 0;
}

struct BootCase {
  const char* name;
  bool manager;
  bool exists;
  MemoryService service;
  Lines calls;
  int result;
  Lines reports;
};

TEST(BootRepair, EveryCompanionServiceState) {
  MemoryService failingStart = Service(svc::kAutoStart, svc::kStopped);
  failingStart.startFails = true;
  // This program's own version resource (engine_wine_test.rc), as the report must carry it.
  const std::string boot = "boot 4.3.2.1";
  const BootCase cases[] = {
      {"automatic and running: no outcome report", true, true, Service(svc::kAutoStart, svc::kRunning), {}, 2, {boot}},
      {"disabled and stopped",
       true,
       true,
       Service(svc::kDisabled, svc::kStopped),
       {"SetAutoStart Brenwick Service", "Start Brenwick Service"},
       2,
       {boot, "bootresult 2"}},
      {"manual and running: start type only",
       true,
       true,
       Service(svc::kDemandStart, svc::kRunning),
       {"SetAutoStart Brenwick Service"},
       2,
       {boot, "bootresult 2"}},
      {"automatic, stopped, will not start",
       true,
       true,
       failingStart,
       {"Start Brenwick Service"},
       0,
       {boot, "bootresult 0"}},
      {"automatic, stop pending: nothing to do",
       true,
       true,
       Service(svc::kAutoStart, svc::kStopPending),
       {},
       0,
       {boot}},
      {"manual, paused: not started",
       true,
       true,
       Service(svc::kDemandStart, svc::kPaused),
       {"SetAutoStart Brenwick Service"},
       0,
       {boot, "bootresult 0"}},
      {"not installed", true, false, {}, {}, -1, {boot}},
      {"no service manager", false, true, {}, {}, -1, {boot}},
  };
  for (const BootCase& c : cases) {
    g_reports.clear();
    MemoryServiceControl sc;
    sc.managerAvailable = c.manager;
    if (c.exists) sc.Add(kCompanionServiceName, c.service);
    CBootRepair pass(sc, BootRepairTimings{5000, 0, 5000}, BootReports{RecordBoot, RecordBootResult});
    pass.Run();
    EXPECT_EQ(pass.result(), c.result) << c.name;
    EXPECT_EQ(sc.Calls(), c.calls) << c.name;
    std::lock_guard<std::mutex> lock(g_reportMutex);
    EXPECT_EQ(g_reports, c.reports) << c.name;
    EXPECT_EQ(sc.OpenHandleCount(), 0) << c.name;
  }
}

TEST(BootRepair, HangingReportsOnlyCostTheirLimits) {
  MemoryServiceControl sc;
  sc.Add(kCompanionServiceName, Service(svc::kDisabled, svc::kStopped));
  CBootRepair pass(sc, BootRepairTimings{100, 0, 100}, BootReports{HangingReport, HangingReport});
  DWORD start = GetTickCount();
  pass.Run();
  EXPECT_LT(GetTickCount() - start, 2000u);
  EXPECT_EQ(pass.result(), 2);
}

// The real report bodies, counted while they run.
std::atomic<int> g_reportsStarted{0}, g_reportsRunning{0};
template <LPTHREAD_START_ROUTINE Report>
DWORD WINAPI CountedReport(LPVOID args) {
  ++g_reportsStarted;
  ++g_reportsRunning;
  DWORD result = Report(args);
  --g_reportsRunning;
  return result;
}

TEST(BootRepair, NetworkDownDoesNotHoldThePass) {
  // The real reports, with every HTTPS request sent to a proxy port where nothing listens:
  // both fail at once, so the 150 s and 180 s limits are never waited out, the service is
  // repaired all the same, and no report is still running when the pass returns.
  SetEnvironmentVariableW(L"https_proxy", L"http://127.0.0.1:9");
  MemoryServiceControl sc;
  sc.Add(kCompanionServiceName, Service(svc::kDisabled, svc::kStopped));
  BootRepairTimings timings;
  timings.settleMs = 0;
  CBootRepair pass(sc, timings, BootReports{CountedReport<ReportBoot>, CountedReport<ReportBootResult>});
  DWORD start = GetTickCount();
  pass.Run();
  DWORD elapsed = GetTickCount() - start;
  SetEnvironmentVariableW(L"https_proxy", nullptr);
  EXPECT_LT(elapsed, 10000u);
  EXPECT_EQ(pass.result(), 2);
  EXPECT_EQ(sc.Get(kCompanionServiceName).startType, svc::kAutoStart);
  EXPECT_EQ(sc.Get(kCompanionServiceName).state, svc::kRunning);
  EXPECT_EQ(g_reportsStarted, 2);
  EXPECT_EQ(g_reportsRunning, 0);
}

// ---------------------------------------------------------------------------------------
std::wstring LauncherBinaryPathRegistered() {
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE service = OpenServiceW(manager, kLauncherServiceName, SERVICE_ALL_ACCESS);
  std::wstring text;
  if (service) {
    alignas(8) unsigned char buffer[4096] = {};
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer);
    DWORD needed = 0;
    if (QueryServiceConfigW(service, config, sizeof(buffer), &needed)) {
      text = FormatStringW(L"%s|%lu|%lu|%lu", config->lpBinaryPathName, config->dwStartType, config->dwServiceType,
                           config->dwErrorControl);
    }
    CloseServiceHandle(service);
  }
  CloseServiceHandle(manager);
  return text;
}

TEST(LauncherService, RegistrationSwitch) {
  SetStartupRepair(false);
  ASSERT_FALSE(LauncherServiceExists());
  EXPECT_EQ(DeleteLauncherService(), 1);

  SetStartupRepair(true);
  EXPECT_TRUE(LauncherServiceExists());
  const std::wstring expected = L"\"" + GetModulePath() + L"\" -runservice|2|16|1";
  EXPECT_EQ(LauncherBinaryPathRegistered(), expected);
  EXPECT_EQ(ReadSetting("checked"), "1");

  // A second registration fails and leaves the first as it was.
  EXPECT_EQ(CreateLauncherServiceFor(L"C:\\other\\Quorvane.exe", SystemServiceControl()), 1);
  EXPECT_EQ(LauncherBinaryPathRegistered(), expected);

  SetStartupRepair(false);
  EXPECT_FALSE(LauncherServiceExists());
  EXPECT_EQ(ReadSetting("checked"), "0");
}

TEST(LauncherService, OverlongPathRegistersNothing) {
  // `"` + path + `" -runservice` is the path plus 14 characters; 259 is the most that fits.
  std::wstring fits = L"C:\\" + std::wstring(245 - 3 - 4, L'a') + L".exe";
  std::wstring tooLong = L"C:\\" + std::wstring(246 - 3 - 4, L'a') + L".exe";
  ASSERT_EQ(LauncherBinaryPath(fits).size(), 259u);
  EXPECT_EQ(CreateLauncherServiceFor(tooLong, SystemServiceControl()), 1);
  EXPECT_FALSE(LauncherServiceExists());
  EXPECT_EQ(CreateLauncherServiceFor(fits, SystemServiceControl()), 0);
  EXPECT_TRUE(LauncherServiceExists());
  EXPECT_EQ(DeleteLauncherService(), 0);
}

TEST(LauncherService, StopAndDeleteStopsOnlyWhatRuns) {
  struct Case {
    const char* name;
    bool exists;
    uint32_t state;
    Lines calls;
  };
  const Case cases[] = {
      {"running: stop, then delete", true, svc::kRunning, {"Stop QuorvaneSvr", "Delete QuorvaneSvr"}},
      {"stopped: delete only", true, svc::kStopped, {"Delete QuorvaneSvr"}},
      {"not registered: nothing", false, 0, {}},
  };
  for (const Case& c : cases) {
    MemoryServiceControl sc;
    if (c.exists) sc.Add(kLauncherServiceName, Service(svc::kAutoStart, c.state));
    ServiceHandle manager = sc.OpenManager();
    StopAndDeleteLauncherService(manager, sc);
    EXPECT_EQ(sc.Calls(), c.calls) << c.name;
    EXPECT_FALSE(sc.Exists(kLauncherServiceName)) << c.name;
    EXPECT_EQ(sc.OpenHandleCount(), 1) << c.name;  // the caller's manager handle stays the caller's
    sc.Close(manager);
  }
}

}  // namespace
