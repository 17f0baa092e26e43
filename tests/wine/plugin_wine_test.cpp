// The x86_64 plug-in driven the way an installer drives it: a real string stack, real
// installer services, the real product skins, real windows (Wine + Xvfb).
#include <gtest/gtest.h>
#include <shlobj.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/wine/plugin_host.h"

namespace {

using plughost::Click;
using plughost::Installer;
using plughost::Log;
using plughost::Pump;
using plughost::PumpUntil;

const std::string kSkinRoot = std::string(QV_SKIN_DIR) + "\\";

// Client points of the product skins' controls (tab pages start 128 pixels down).
constexpr POINT kInstallBtn = {293, 180};
constexpr POINT kChangeFolderBtn = {470, 246};
constexpr POINT kLicenseChk = {66, 295};
constexpr POINT kCloseBtn = {560, 14};
constexpr POINT kUninstallBtn = {223, 220};
constexpr POINT kFinishBtn = {293, 262};
constexpr int kBarLeft = 60, kBarWidth = 466, kBarY = 230;

Installer& Plugin() {
  static Installer installer = [] {
    plughost::LeaveWindowsUnmanaged(L"plugin_wine_test.exe");
    return Installer(QV_PLUGIN_DLL);
  }();
  return installer;
}

class PluginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(Plugin().Module(), nullptr);
    Plugin().SetStringSize(1024);
    Plugin().Clear();
    Log() = plughost::InstallerLog();
  }
  void TearDown() override {
    for (HWND w : windows_) {
      if (::IsWindow(w)) ::DestroyWindow(w);
    }
    Pump(50);
    Plugin().Clear();
  }

  // InitWnd as the script calls it; returns the pushed handle.
  HWND Open(const std::string& kind, const std::string& folder, const std::string& file) {
    Plugin().Call("InitWnd", {kind, folder, file});
    HWND hwnd = reinterpret_cast<HWND>(static_cast<INT_PTR>(std::stoll(Plugin().PopOr("missing"))));
    windows_.push_back(hwnd);
    return hwnd;
  }
  HWND OpenShown(const std::string& kind) {
    std::string folder = kSkinRoot + (kind == "install" ? "skin_install" : "skin_uninstall");
    HWND hwnd = Open(kind, folder, kind + ".xml");
    ::ShowWindow(hwnd, SW_SHOWNORMAL);
    Pump(300);  // first paint lays the controls out
    return hwnd;
  }
  std::string Text(const std::string& control) {
    Plugin().Call("GetInstallDir", {control});
    return Plugin().PopOr("<nothing pushed>");
  }
  std::string Find(const std::string& control) {
    Plugin().Call("FindControl", {control});
    return Plugin().PopOr("<nothing pushed>");
  }
  void Bind(const std::string& control, int address) {
    Plugin().Call("ControlBindNSISScript", {control, std::to_string(address)});
  }
  void Shot(HWND hwnd, const std::wstring& name) {
    std::filesystem::create_directories(QV_SHOT_DIR);
    ::UpdateWindow(hwnd);  // the screen shows what the last paint drew
    EXPECT_TRUE(plughost::SaveWindowPng(hwnd, std::wstring(QV_SHOT_DIR) + L"/" + name + L".png"));
  }

  std::vector<HWND> windows_;
};

TEST_F(PluginTest, InitWndMakesTheWindowOfTheKindAndRegistersOnce) {
  struct Case {
    const char* kind;
    const char* folder;
    const char* file;
    const wchar_t* windowClass;  // nullptr: no window, 0 pushed
  };
  const Case cases[] = {
      {"install", "skin_install", "install.xml", L"QuorvanePlugInstallWnd"},
      {"INSTALL", "skin_install", "install.xml", L"QuorvanePlugInstallWnd"},
      {"UnInstall", "skin_uninstall", "uninstall.xml", L"QuorvanePlugUninstallWnd"},
      {"repair", "skin_install", "install.xml", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    size_t before = Log().callbacks.size();
    HWND hwnd = Open(c.kind, kSkinRoot + c.folder, c.file);
    EXPECT_EQ(Plugin().Depth(), 0u);
    ASSERT_EQ(Log().callbacks.size(), before + 1);
    EXPECT_EQ(Log().callbacks.back().first, Plugin().Module());
    EXPECT_EQ(Log().callbacks.back().second(0), 0u);  // does nothing
    if (c.windowClass == nullptr) {
      EXPECT_EQ(hwnd, nullptr);
      continue;
    }
    ASSERT_TRUE(::IsWindow(hwnd));
    EXPECT_EQ(plughost::ClassOf(hwnd), c.windowClass);
    EXPECT_FALSE(::IsWindowVisible(hwnd));  // ShowMainWnd shows it
    RECT rc;
    ::GetWindowRect(hwnd, &rc);
    EXPECT_EQ(rc.right - rc.left, 586);
    EXPECT_EQ(rc.bottom - rc.top, 364);
  }
}

TEST_F(PluginTest, FindControlAndTheFolderTexts) {
  HWND hwnd = OpenShown("install");
  ASSERT_TRUE(::IsWindow(hwnd));
  EXPECT_EQ(Find("install_path_edit"), "0");
  EXPECT_EQ(Find("install_btn"), "0");
  EXPECT_EQ(Find("Install_Btn"), "-1");  // names are exact
  EXPECT_EQ(Find("no_such_control"), "-1");

  Plugin().Call("SetInstallDir", {"install_path_edit", "D:\\\xd3\xce\xcf\xb7\\Quorvane\\"});  // 游戏 in code page 936
  EXPECT_EQ(Text("install_path_edit"), "D:\\\xd3\xce\xcf\xb7\\Quorvane\\");
  // A control that does not exist: nothing set, nothing pushed.
  Plugin().Call("SetInstallDir", {"no_such_control", "x"});
  Plugin().Call("GetInstallDir", {"no_such_control"});
  EXPECT_EQ(Plugin().Depth(), 0u);
  Shot(hwnd, L"install_page0");
}

TEST_F(PluginTest, LongTextsAreCutAtTheLimitsNeverOverflow) {
  HWND hwnd = OpenShown("install");
  ASSERT_TRUE(::IsWindow(hwnd));
  struct Case {
    const char* what;
    std::string text;
    size_t kept;  // bytes GetInstallDir hands back
  };
  const Case cases[] = {
      {"ascii 259", std::string(259, 'a'), 259},
      {"ascii 4000", std::string(4000, 'b'), 259},
      // 150 double-byte characters: the cut at 259 bytes would split the 130th.
      {"cp936 300 bytes",
       [] {
         std::string s;
         for (int i = 0; i < 150; ++i) s += "\xb0\xb2";
         return s;
       }(),
       258},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Plugin().Call("SetInstallDir", {"install_path_edit", c.text});
    std::string back = Text("install_path_edit");
    EXPECT_EQ(back, c.text.substr(0, c.kept));
    EXPECT_EQ(Plugin().Depth(), 0u);
  }
  // A control name beyond 259 bytes is cut, so it names no control.
  EXPECT_EQ(Find("install_path_edit" + std::string(300, ' ')), "-1");
  // Pushed texts never exceed the installer's string size.
  Plugin().Call("SetInstallDir", {"install_path_edit", std::string(200, 'c')});
  Plugin().SetStringSize(18);  // just room for the control name
  Plugin().Call("GetInstallDir", {"install_path_edit"});
  EXPECT_EQ(Plugin().PopOr(""), std::string(17, 'c'));
  Plugin().SetStringSize(1024);
  // A kind beyond 9 characters is cut to its first 9: "uninstall".
  HWND cut = Open("uninstallation", kSkinRoot + "skin_uninstall", "uninstall.xml");
  EXPECT_EQ(plughost::ClassOf(cut), L"QuorvanePlugUninstallWnd");
}

TEST_F(PluginTest, EmptyStackReadsAsEmptyTextAndZero) {
  HWND hwnd = OpenShown("install");
  ASSERT_TRUE(::IsWindow(hwnd));
  std::string label = Text("install_Pro_Info");
  const char* exports[] = {"SetInstallDir", "GetInstallDir", "SetProgressValue", "nsDuiSendMessage",
                           "ControlBindNSISScript"};
  for (const char* name : exports) {
    Plugin().Call(name);
    EXPECT_EQ(Plugin().Depth(), 0u) << name;
  }
  Plugin().Call("FindControl");
  EXPECT_EQ(Plugin().PopOr(""), "-1");
  // SetProgressValue read 0, which is not above the counter: the label is unchanged.
  Pump(100);
  EXPECT_EQ(Text("install_Pro_Info"), label);
  EXPECT_TRUE(::IsWindow(hwnd));
}

TEST_F(PluginTest, MessagesByNameAnyCaseAndMisspeltOnesDoNothing) {
  HWND hwnd = OpenShown("install");
  const std::string start = Text("install_Pro_Info");
  Plugin().Call("nsDuiSendMessage", {"WM_INSTALL_SHOW_INSTALING_PAGE", "", ""});
  Pump(300);
  EXPECT_EQ(Text("install_Pro_Info"), start);
  Plugin().Call("nsDuiSendMessage", {"wm_install_show_installing_page", "a", "b"});
  Pump(300);
  EXPECT_NE(Text("install_Pro_Info"), start);  // the installing page counts
  EXPECT_FALSE(::IsIconic(hwnd));
  Plugin().Call("nsDuiSendMessage", {"Wm_SetMinimize", "", ""});
  EXPECT_TRUE(::IsIconic(hwnd));
}

TEST_F(PluginTest, ProgressCountsOnItsOwnAndFollowsPushedValues) {
  HWND hwnd = OpenShown("install");
  auto shows = [&](int percent) {
    return [this, percent] {
      return Text("install_Pro_Info") == "\xd5\xfd\xd4\xda\xb0\xb2\xd7\xb0......" + std::to_string(percent) + "%";
    };
  };
  Plugin().Call("nsDuiSendMessage", {"WM_INSTALL_SHOW_INSTALLING_PAGE", "", ""});
  ASSERT_TRUE(PumpUntil(shows(40), 5000));
  Plugin().Call("SetProgressValue", {"60"});
  EXPECT_TRUE(shows(60)());
  ASSERT_TRUE(PumpUntil(shows(61), 1000));
  Shot(hwnd, L"install_page1_61");
  COLORREF filled = plughost::ClientPixel(hwnd, kBarLeft + kBarWidth * 55 / 100, kBarY);
  COLORREF empty = plughost::ClientPixel(hwnd, kBarLeft + kBarWidth * 90 / 100, kBarY);
  ASSERT_NE(filled, empty);
  // Lower values are ignored; above 100 changes the text only and the timer stops.
  Plugin().Call("SetProgressValue", {"30"});
  EXPECT_TRUE(shows(61)());
  Plugin().Call("SetProgressValue", {"120"});
  EXPECT_TRUE(shows(120)());
  Pump(300);
  EXPECT_TRUE(shows(120)());
  EXPECT_EQ(plughost::ClientPixel(hwnd, kBarLeft + kBarWidth * 55 / 100, kBarY), filled);
  EXPECT_EQ(plughost::ClientPixel(hwnd, kBarLeft + kBarWidth * 70 / 100, kBarY), empty);
  Shot(hwnd, L"install_page1_120");
}

TEST_F(PluginTest, TimerAloneStopsAtNinetyNine) {
  HWND hwnd = OpenShown("uninstall");
  Plugin().Call("nsDuiSendMessage", {"WM_UNINSTALL_SHOW_UNINSTALLING_PAGE", "", ""});
  const std::string at99 = "\xd5\xfd\xd4\xda\xd0\xb6\xd4\xd8......99%";  // 正在卸载
  ASSERT_TRUE(PumpUntil([&] { return Text("uninstall_Pro_Info") == at99; }, 15000));
  Pump(300);
  EXPECT_EQ(Text("uninstall_Pro_Info"), at99);
  Shot(hwnd, L"uninstall_page1_99");
}

TEST_F(PluginTest, LicenceCheckBoxGatesTheInstallButton) {
  HWND hwnd = OpenShown("install");
  Bind("install_btn", 501);
  Bind("license_chk", 502);  // tested before the bindings: has no effect
  struct Step {
    POINT at;
    size_t executedAfter;
  };
  const Step steps[] = {
      {kLicenseChk, 0},  // selected in the skin: now cleared, install_btn disabled
      {kInstallBtn, 0},  // disabled: nothing runs
      {kLicenseChk, 0},  // selected again, install_btn enabled
      {kInstallBtn, 1},  // runs the bound function
  };
  for (const Step& s : steps) {
    Click(hwnd, s.at.x, s.at.y);
    Pump(150);
    EXPECT_EQ(Log().executed.size(), s.executedAfter);
    if (&s == &steps[0]) Shot(hwnd, L"install_page0_licence_cleared");
  }
  ASSERT_EQ(Log().executed.size(), 1u);
  EXPECT_EQ(Log().executed[0].first, 500);  // address - 1
  EXPECT_EQ(Log().executed[0].second, nullptr);
}

TEST_F(PluginTest, BoundCloseButtonRunsTheScriptUnboundItCloses) {
  HWND bound = OpenShown("install");
  Bind("closebtn", 90);
  Bind("closebtn", 77);  // a later bind replaces the address
  Click(bound, kCloseBtn.x, kCloseBtn.y);
  Pump(200);
  ASSERT_EQ(Log().executed.size(), 1u);
  EXPECT_EQ(Log().executed[0].first, 76);
  EXPECT_TRUE(::IsWindow(bound));
  ::DestroyWindow(bound);
  Pump(50);

  HWND unbound = OpenShown("uninstall");
  Click(unbound, kCloseBtn.x, kCloseBtn.y);
  Pump(300);
  EXPECT_FALSE(::IsWindow(unbound));
  Pump(300);
  EXPECT_FALSE(::IsWindow(unbound));
  // The window object is gone too: the exports find no window.
  EXPECT_EQ(Find("uninstall_btn"), "-1");
  EXPECT_EQ(Log().executed.size(), 1u);
}

TEST_F(PluginTest, ScriptFunctionsRunInsideShowMainWndAndMayCallExports) {
  HWND hwnd = Open("uninstall", kSkinRoot + "skin_uninstall", "uninstall.xml");
  Bind("uninstall_btn", 11);
  Bind("finish_btn", 21);
  Log().functions[10] = [] {
    Plugin().Call("nsDuiSendMessage", {"WM_UNINSTALL_SHOW_UNINSTALLING_PAGE", "", ""});
    Plugin().Call("SetProgressValue", {"100"});
    Plugin().Call("nsDuiSendMessage", {"WM_UNINSTALL_SHOW_FINISH_PAGE", "", ""});
  };
  std::atomic<bool> finished{false};
  Log().functions[20] = [&finished] {
    finished = true;
    ::PostQuitMessage(0);
  };
  // The clicks come from a second thread as sent messages: each returns once the window has
  // handled it, and a click's bound function runs inside that handling. If a step never
  // happens, the clicker ends ShowMainWnd's loop itself, so the test fails instead of hanging.
  const DWORD loopThread = ::GetCurrentThreadId();
  std::thread clicker([hwnd, loopThread, &finished] {
    auto waitFor = [](const std::function<bool()>& done) {
      for (int i = 0; i < 1000 && !done(); ++i) ::Sleep(10);
      return done();
    };
    auto click = [hwnd](POINT at) {
      const LPARAM xy = MAKELPARAM(at.x, at.y);
      DWORD_PTR ignored = 0;
      return ::SendMessageTimeoutW(hwnd, WM_MOUSEMOVE, 0, xy, SMTO_NORMAL, 10000, &ignored) &&
             ::SendMessageTimeoutW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, xy, SMTO_NORMAL, 10000, &ignored) &&
             ::SendMessageTimeoutW(hwnd, WM_LBUTTONUP, 0, xy, SMTO_NORMAL, 10000, &ignored);
    };
    // ShowMainWnd shows the window; its first paint in the loop lays the controls out.
    bool ok = waitFor([hwnd] { return ::IsWindowVisible(hwnd) && !::GetUpdateRect(hwnd, nullptr, FALSE); }) &&
              click(kUninstallBtn);
    if (ok) ok = click(kFinishBtn);  // page 2 is not up yet
    // Then the finish button, until the finish page is up and its click ran function 20.
    if (ok) ok = waitFor([&] { return finished || (!click(kFinishBtn), finished.load()); });
    if (!ok) ::PostThreadMessageW(loopThread, WM_QUIT, 0, 0);
  });
  Plugin().Call("ShowMainWnd");
  clicker.join();
  ASSERT_EQ(Log().executed.size(), 2u);
  EXPECT_EQ(Log().executed[0].first, 10);
  EXPECT_EQ(Log().executed[1].first, 20);
  EXPECT_TRUE(::IsWindowVisible(hwnd));
  Shot(hwnd, L"uninstall_page2");
}

TEST_F(PluginTest, FinishPageFiftyMillisecondsAfterItsMessage) {
  HWND hwnd = OpenShown("uninstall");
  Shot(hwnd, L"uninstall_page0");
  Bind("finish_btn", 31);
  Plugin().Call("nsDuiSendMessage", {"WM_UNINSTALL_SHOW_UNINSTALLING_PAGE", "", ""});
  Pump(200);
  Plugin().Call("nsDuiSendMessage", {"WM_UNINSTALL_SHOW_FINISH_PAGE", "", ""});
  Click(hwnd, kFinishBtn.x, kFinishBtn.y);  // handled before timer 12 fires
  Pump(30);
  EXPECT_TRUE(Log().executed.empty());
  Pump(200);
  Click(hwnd, kFinishBtn.x, kFinishBtn.y);
  Pump(150);
  ASSERT_EQ(Log().executed.size(), 1u);
  EXPECT_EQ(Log().executed[0].first, 30);
}

TEST_F(PluginTest, CaptionDoubleClickDoesNotMaximise) {
  for (const char* kind : {"install", "uninstall"}) {
    HWND hwnd = OpenShown(kind);
    ::SendMessageW(hwnd, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(200, 10));
    Pump(100);
    EXPECT_FALSE(::IsZoomed(hwnd)) << kind;
    EXPECT_TRUE(::IsWindow(hwnd)) << kind;
  }
}

TEST_F(PluginTest, SkinWithoutARequiredControlClosesAtStartUp) {
  namespace fs = std::filesystem;
  fs::path from = fs::path(kSkinRoot) / "skin_install";
  fs::path to = fs::temp_directory_path() / "qv_plugin_broken_skin";
  fs::remove_all(to);
  fs::copy(from, to);
  std::stringstream markup;
  markup << std::ifstream(from / "install.xml", std::ios::binary).rdbuf();
  std::string text = markup.str();
  size_t at = text.find("name=\"install_progress\"");
  ASSERT_NE(at, std::string::npos);
  text.replace(at, 23, "name=\"other_progress\"");
  std::ofstream(to / "install.xml", std::ios::binary) << text;

  HWND hwnd = Open("install", to.string(), "install.xml");
  ASSERT_NE(hwnd, nullptr);
  Pump(300);
  EXPECT_FALSE(::IsWindow(hwnd));
  EXPECT_EQ(Find("install_btn"), "-1");
  fs::remove_all(to);
}

// The shell's folder chooser, driven for real from a second thread: select a folder (a path,
// or "My Computer", which has no path), or cancel when `folder` is empty.
constexpr wchar_t kMyComputer[] = L"::computer";

// An EnumThreadWindows callback: the Windows calling convention, which a lambda lacks on x86.
BOOL CALLBACK MatchChooser(HWND w, LPARAM found) {
  if (plughost::ClassOf(w) == L"#32770" && ::IsWindowVisible(w)) {
    *reinterpret_cast<HWND*>(found) = w;
    return FALSE;
  }
  return TRUE;
}

void AnswerFolderChooser(DWORD ownerThread, std::wstring folder) {
  for (int i = 0; i < 200; ++i) {
    ::Sleep(50);
    HWND dialog = nullptr;
    ::EnumThreadWindows(ownerThread, MatchChooser, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr) continue;
    ::Sleep(300);
    if (folder.empty()) {
      ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      return;
    }
    PIDLIST_ABSOLUTE computer = nullptr;
    if (folder == kMyComputer) {
      ::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer);
      ::SendMessageW(dialog, BFFM_SETSELECTIONW, FALSE, reinterpret_cast<LPARAM>(computer));
    } else {
      ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
    }
    ::Sleep(200);
    ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    for (int j = 0; j < 100 && ::IsWindow(dialog); ++j) ::Sleep(50);
    ::CoTaskMemFree(computer);
    return;
  }
}

TEST_F(PluginTest, SelectInstallDirWithTheRealFolderChooser) {
  ::CreateDirectoryW(L"C:\\QvGames", nullptr);
  HWND hwnd = OpenShown("install");
  Plugin().Call("SetInstallDir", {"install_path_edit", "C:\\Program Files (x86)\\Quorvane\\"});
  struct Case {
    const wchar_t* choose;  // empty: cancel
    const char* pushed;
    const char* edit;  // the folder text afterwards
  };
  const Case cases[] = {
      {L"C:\\", "C:\\Quorvane\\", "C:\\Quorvane\\"},
      {L"C:\\QvGames", "C:\\QvGames\\Quorvane\\", "C:\\QvGames\\Quorvane\\"},
      {L"", "C:\\QvGames\\Quorvane\\", "C:\\QvGames\\Quorvane\\"},  // cancel: the unchanged text
      {kMyComputer, "-1", "C:\\QvGames\\Quorvane\\"},               // no file-system path
  };
  for (const Case& c : cases) {
    std::thread answer(AnswerFolderChooser, ::GetCurrentThreadId(), std::wstring(c.choose));
    Plugin().Call("SelectInstallDir", {"\xd1\xa1\xd4\xf1\xb0\xb2\xd7\xb0\xce\xbb\xd6\xc3", "unused"});  // 选择安装位置
    answer.join();
    EXPECT_EQ(Plugin().PopOr("<nothing pushed>"), c.pushed);
    EXPECT_EQ(Plugin().Depth(), 0u);
    EXPECT_EQ(Text("install_path_edit"), c.edit);
  }
  Pump(100);
  Shot(hwnd, L"install_page0_chosen_folder");
}

}  // namespace
