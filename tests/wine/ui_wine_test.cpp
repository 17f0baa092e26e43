// The window framework under Wine: a real skinned window built from a skin folder, driven
// with real window messages; the main program's flavour of the library.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/unit/ui/ZipBuilder.h"
#include "tests/wine/ui_test_window.h"

using namespace DuiLib;
using uitest::TestWnd;

namespace {

const char kSkin[] = R"(<?xml version="1.0" encoding="utf-8"?>
<Window size="300,220" caption="0,0,0,40" showshadow="true" shadowimage="shadow.png" shadowcorner="10,10,10,10" minsize="900,900">
  <Font name="微软雅黑" size="12" id="1"/>
  <Font name="微软雅黑" size="14" id="0" defult="true"/>
  <Font name="微软雅黑" size="16" underline="true" default="true"/>
  <Default name="Button" value="textcolor=&quot;#FF111111&quot; hottextcolor=&quot;#FF222222&quot;"/>
  <Default name="Button" value="textcolor=&quot;#FF333333&quot;"/>
  <VerticalLayout name="root" bkcolor="#FFF0F0F0">
    <HorizontalLayout name="titlebar" height="40" bkcolor="#FF3060A0">
      <Label name="title" float="true" pos="10,10,110,30" text="标题" textcolor="#FFFFFFFF"/>
      <CheckBox name="captionCheck" float="true" pos="150,12,166,28"/>
      <Button name="closebtn" float="true" pos="-40,8,-8,32" normalimage="file='close.png' source='0,0,32,24'"/>
    </HorizontalLayout>
    <TabLayout name="tabs">
      <HorizontalLayout name="page0">
        <Button name="okbtn" float="true" pos="10,10,110,40" text="OK" textcolor="0xFF999999" Font="2"/>
        <Button name="CloseBtn" float="true" pos="120,10,220,40" text="Close"/>
        <CheckBox name="check" float="true" pos="10,50,110,70" text="check" textpadding="20,0,0,0"
                  normalimage="file='checkbox.png' source='0,0,13,13' dest='0,0,13,13'"
                  selectedimage="file='checkbox.png' source='26,0,39,13' dest='0,0,13,13'"/>
        <Mystery name="mystery"><Label name="insideMystery"/></Mystery>
      </HorizontalLayout>
      <HorizontalLayout name="page1">
        <GifAnim name="gif" float="true" pos="10,10,60,60" bkimage="repair.gif" autoplay="true" autosize="true"/>
      </HorizontalLayout>
    </TabLayout>
    <HorizontalLayout name="dup" height="20"><Label name="dup"/></HorizontalLayout>
  </VerticalLayout>
</Window>
)";

// Hit tests the window receives, counted by a hook on this thread's sent messages.
HWND g_hitTestWindow = nullptr;
int g_hitTests = 0;
LRESULT CALLBACK CountHitTests(int code, WPARAM wParam, LPARAM lParam) {
  const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && sent->hwnd == g_hitTestWindow && sent->message == WM_NCHITTEST) ++g_hitTests;
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

std::wstring SkinDir() {
  wchar_t temp[MAX_PATH];
  ::GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp) + L"qv_ui_wine_test\\";
}

class UiEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    CSkinManager::SetInstance(::GetModuleHandleW(nullptr));
    CShadowUI::Initialize(CSkinManager::GetInstance());
    std::wstring dir = SkinDir();
    ::CreateDirectoryW(dir.c_str(), nullptr);
    for (const wchar_t* art : {L"shadow.png", L"close.png", L"checkbox.png", L"repair.gif"}) {
      ::CopyFileW((std::wstring(QV_SKIN_RES) + L"\\" + art).c_str(), (dir + art).c_str(), FALSE);
    }
    uitest::WriteFileText(dir + L"test.xml", kSkin);
    CSkinManager::SetSkinRootPath(dir);
  }
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new UiEnvironment);

class UiWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    wnd_ = std::make_unique<TestWnd>(L"test.xml");
    ASSERT_NE(wnd_->Create(nullptr, L"QvUiTest", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 100, 100, 10, 10), nullptr);
    ::UpdateWindow(*wnd_);
    uitest::Pump(50);
  }
  void TearDown() override {
    if (::IsWindow(*wnd_)) ::DestroyWindow(*wnd_);
    uitest::Pump(20);
  }
  HWND hwnd() { return wnd_->GetHWND(); }

  std::unique_ptr<TestWnd> wnd_;
};

TEST_F(UiWindow, SkinBuildsFontsDefaultsAndWindowValues) {
  CSkinManager& pm = wnd_->Manager();
  EXPECT_EQ(wnd_->skinReady, 1);
  // Fonts by position whatever their id; `defult` leaves the default, `default` sets it.
  ASSERT_EQ(pm.GetFontCount(), 3);
  EXPECT_EQ(pm.GetFontInfo(0).size, 12);
  EXPECT_EQ(pm.GetFontInfo(1).size, 14);
  EXPECT_EQ(pm.GetFontInfo(-1).size, 16);
  EXPECT_TRUE(pm.GetFontInfo(-1).underline);
  EXPECT_EQ(pm.GetFont(7), pm.GetFont(-1));
  // The first Default for a name wins and comes before the element's own attributes.
  EXPECT_EQ(wnd_->Find<CButtonUI>(L"CloseBtn")->GetTextColor(), 0xFF111111u);
  EXPECT_EQ(wnd_->Find<CButtonUI>(L"okbtn")->GetTextColor(), 0xFF999999u);
  EXPECT_EQ(wnd_->Find<CButtonUI>(L"okbtn")->GetFont(), -1) << "Font with a capital F is unknown";
  // Window values; minsize is not among them.
  RECT client;
  ::GetClientRect(hwnd(), &client);
  EXPECT_EQ(client.right, 300);
  EXPECT_EQ(client.bottom, 220);
  EXPECT_EQ(pm.GetCaptionRect().bottom, 40);
  EXPECT_EQ(pm.GetMinInfo().cx, 0);
  EXPECT_EQ(pm.GetDefaultFontColor(), 0xFF000001u);
  // Unknown elements are skipped with their children.
  EXPECT_EQ(pm.FindControl(L"insideMystery"), nullptr);
  EXPECT_EQ(pm.FindControl(L"mystery"), nullptr);
}

TEST_F(UiWindow, NameMapAndSubControlLookup) {
  CSkinManager& pm = wnd_->Manager();
  // Children are entered before their container: a repeated name ends on the container.
  ASSERT_NE(pm.FindControl(L"dup"), nullptr);
  EXPECT_STREQ(pm.FindControl(L"dup")->GetClass(), L"HorizontalLayoutUI");
  EXPECT_EQ(pm.FindControl(L"OKBTN"), nullptr) << "the name map is case-sensitive";
  EXPECT_EQ(pm.GetRoot()->FindSubControl(L"OKBTN"), pm.FindControl(L"okbtn"));
  EXPECT_EQ(pm.GetRoot()->FindSubControl(L"gif"), pm.FindControl(L"gif")) << "hidden pages are searched";
  // "windowinit" arrives once, after the first layout.
  EXPECT_EQ(wnd_->Count(L"windowinit"), 1u);
  ::InvalidateRect(hwnd(), nullptr, FALSE);
  ::UpdateWindow(hwnd());
  EXPECT_EQ(wnd_->Count(L"windowinit"), 1u);
}

TEST_F(UiWindow, FloatingControlsAreAnchored) {
  // pos -40,8,-8,32: right edge 8 px left of the parent's right edge, 32 px wide.
  RECT close = wnd_->Find(L"closebtn")->GetPos();
  EXPECT_EQ(close.right, 292);
  EXPECT_EQ(close.left, 260);
  EXPECT_EQ(close.top, 8);
  RECT ok = wnd_->Find(L"okbtn")->GetPos();
  EXPECT_EQ(ok.left, 10);
  EXPECT_EQ(ok.right - ok.left, 100);
}

TEST_F(UiWindow, ButtonClicksOnlyWhenReleasedInside) {
  CControlUI* ok = wnd_->Find(L"okbtn");
  POINT inside = uitest::Centre(ok);
  struct Case {
    const char* name;
    POINT up;
    size_t clicks;
  } cases[] = {
      {"released inside", inside, 1},
      {"released outside", POINT{inside.x, inside.y + 100}, 0},
  };
  for (const Case& c : cases) {
    wnd_->notes.clear();
    uitest::Drag(hwnd(), inside, c.up);
    EXPECT_EQ(wnd_->Count(L"click"), c.clicks) << c.name;
  }
  // Disabled buttons take no clicks; space on the focused button activates it.
  ok->SetEnabled(false);
  wnd_->notes.clear();
  uitest::Click(hwnd(), ok);
  EXPECT_EQ(wnd_->Count(L"click"), 0u);
  ok->SetEnabled(true);
  wnd_->Manager().SetFocus(ok);
  ::SendMessageW(hwnd(), WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(wnd_->Count(L"click"), 1u);
}

TEST_F(UiWindow, PointerAtRestAnnouncesMouseEnterAndLeavingAnnouncesMouseLeave) {
  // The real pointer: the system sends the moves, the hover report and the leave report.
  auto* ok = wnd_->Find<CButtonUI>(L"okbtn");
  POINT over = uitest::Centre(ok);
  ::ClientToScreen(hwnd(), &over);
  wnd_->notes.clear();
  ::SetCursorPos(over.x, over.y);
  ASSERT_TRUE(uitest::PumpUntil([&] { return wnd_->Count(L"mouseenter") > 0; }, 2000));
  EXPECT_EQ(wnd_->Manager().GetHover(), ok);
  EXPECT_EQ(wnd_->notes.back().sender, L"okbtn");
  EXPECT_EQ(wnd_->Count(L"mouseleave"), 0u);
  // A pointer at rest leaves the window alone. Wine watches a pending leave report with a hit
  // test at the hover time; left at the 5 ms of the hover request, that was a hundred a second.
  g_hitTestWindow = hwnd();
  g_hitTests = 0;
  HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, CountHitTests, nullptr, ::GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  uitest::Pump(1000);
  ::UnhookWindowsHookEx(hook);
  EXPECT_LT(g_hitTests, 10) << "hit tests in one second at rest";
  EXPECT_EQ(wnd_->Count(L"mouseleave"), 0u);
  RECT window;
  ::GetWindowRect(hwnd(), &window);
  ::SetCursorPos(window.right + 200, window.bottom + 200);
  ASSERT_TRUE(uitest::PumpUntil([&] { return wnd_->Count(L"mouseleave") > 0; }, 2000));
  EXPECT_EQ(wnd_->Manager().GetHover(), nullptr);
  EXPECT_EQ(wnd_->Count(L"mouseenter"), 1u);
}

TEST_F(UiWindow, CheckBoxClickSeesOldSelectionThenSelectChanged) {
  auto* check = wnd_->Find<CCheckBoxUI>(L"check");
  ASSERT_FALSE(check->IsSelected());
  wnd_->notes.clear();
  uitest::Click(hwnd(), check);
  // Focus and pointer notifications come along; the click and the change are what count.
  ASSERT_EQ(wnd_->Count(L"click"), 1u);
  ASSERT_EQ(wnd_->Count(L"selectchanged"), 1u);
  std::vector<std::wstring> types;
  for (const auto& seen : wnd_->notes) types.push_back(seen.type);
  auto click = std::find(types.begin(), types.end(), L"click") - types.begin();
  auto changed = std::find(types.begin(), types.end(), L"selectchanged") - types.begin();
  ASSERT_LT(click, changed);
  EXPECT_FALSE(wnd_->notes[click].selected);
  EXPECT_TRUE(wnd_->notes[changed].selected);
  EXPECT_TRUE(check->IsSelected());
  uitest::Click(hwnd(), check);
  EXPECT_FALSE(check->IsSelected()) << "outside a group a check box toggles";
}

TEST_F(UiWindow, CloseBtnWithBaseOnClickPostsCloseRequest) {
  struct Case {
    const wchar_t* control;
    std::vector<WPARAM> requests;
  } cases[] = {
      {L"closebtn", {1}},
      {L"CloseBtn", {}},
  };
  for (const Case& c : cases) {
    wnd_->closeRequests.clear();
    uitest::Click(hwnd(), wnd_->Find(c.control));
    uitest::Pump(30);
    EXPECT_EQ(wnd_->closeRequests, c.requests) << c.control;
  }
}

TEST_F(UiWindow, TabSelectOnlyForAnotherPage) {
  auto* tabs = wnd_->Find<CTabLayoutUI>(L"tabs");
  EXPECT_EQ(tabs->GetCurSel(), 0);
  EXPECT_FALSE(wnd_->Find(L"page1")->IsVisible());
  wnd_->notes.clear();
  EXPECT_TRUE(tabs->SelectItem(0));
  EXPECT_FALSE(tabs->SelectItem(5));
  EXPECT_EQ(wnd_->Count(L"tabselect"), 0u);
  EXPECT_TRUE(tabs->SelectItem(1));
  ASSERT_EQ(wnd_->Count(L"tabselect"), 1u);
  EXPECT_EQ(wnd_->notes.back().wParam, 1u);
  EXPECT_EQ(wnd_->notes.back().lParam, 0);
  EXPECT_TRUE(wnd_->Find(L"page1")->IsVisible());
  EXPECT_FALSE(wnd_->Find(L"okbtn")->IsVisible()) << "hiding a page hides its children";
}

TEST_F(UiWindow, CaptionBandDragsOverLabelsButNotButtons) {
  struct Case {
    const wchar_t* control;
    LRESULT hit;
  } cases[] = {
      {L"title", HTCAPTION},
      {L"closebtn", HTCLIENT},
      {L"captionCheck", HTCAPTION},  // the main program lets check boxes drag
      {L"okbtn", HTCLIENT},          // below the caption band
      {L"CloseBtn", HTCLIENT},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(uitest::HitTest(hwnd(), uitest::Centre(wnd_->Find(c.control))), c.hit) << c.control;
  }
}

TEST_F(UiWindow, GifStopsAndRewindsWhenHiddenAndReplaysWhenShown) {
  auto* gif = wnd_->Find<CGifAnimUI>(L"gif");
  auto* tabs = wnd_->Find<CTabLayoutUI>(L"tabs");
  EXPECT_FALSE(gif->IsLoaded()) << "a GIF on a hidden page is decoded when it is first shown";
  EXPECT_FALSE(gif->IsPlaying()) << "its page is hidden";
  tabs->SelectItem(1);
  ASSERT_TRUE(gif->IsLoaded());
  EXPECT_EQ(gif->GetFrameCount(), 12u);
  EXPECT_EQ(gif->GetFixedWidth(), 16) << "autosize takes the GIF's size";
  EXPECT_TRUE(gif->IsPlaying());
  EXPECT_TRUE(uitest::PumpUntil([&] { return gif->GetCurrentFrame() >= 2; }, 3000));
  tabs->SelectItem(0);
  EXPECT_FALSE(gif->IsPlaying());
  EXPECT_EQ(gif->GetCurrentFrame(), 0u);
  uitest::Pump(300);
  EXPECT_EQ(gif->GetCurrentFrame(), 0u) << "no timer runs while hidden";
  tabs->SelectItem(1);
  EXPECT_TRUE(gif->IsPlaying());
  EXPECT_EQ(gif->GetCurrentFrame(), 0u);
  EXPECT_TRUE(uitest::PumpUntil([&] { return gif->GetCurrentFrame() >= 1; }, 3000));
}

TEST_F(UiWindow, RemovingAChildDuringItsOwnClickIsDeferred) {
  // A click handler that empties the page the clicked button lives on must not pull the
  // button out from under its own event handling.
  struct Remover : INotifyUI {
    CContainerUI* page;
    void OnNotification(NotifyRecord& msg) override {
      if (msg.type == L"click") page->RemoveAll();
    }
  } remover;
  remover.page = wnd_->Find<CContainerUI>(L"page0");
  wnd_->Manager().AddNotifier(&remover);
  uitest::Click(hwnd(), wnd_->Find(L"okbtn"));
  wnd_->Manager().RemoveNotifier(&remover);
  EXPECT_EQ(remover.page->GetCount(), 0);
  EXPECT_EQ(wnd_->Manager().FindControl(L"okbtn"), nullptr);
}

const wchar_t kMenu[] = LR"(<?xml version="1.0" encoding="utf-8"?>
<Window size="112,31">
  <Font name="Arial" size="12" default="true"/>
  <Default name="Menu" value="itemtextpadding=&quot;10,0,0,0&quot; itemtextcolor=&quot;0xFF999999&quot; itemselectedbkcolor=&quot;0xFF666666&quot;"/>
  <Menu><MenuElement name="MenuBoot" text="设置开机启动项" font="0" hottextcolor="#FFFFFFFF"/></Menu>
</Window>)";

HWND OpenMenuWindow() { return uitest::FindOwnWindow(CMenuWnd::kClassName); }

TEST_F(UiWindow, MenuClosesOnFocusLossWithoutPicking) {
  ASSERT_NE(CMenuWnd::Show(kMenu, POINT{200, 200}, &wnd_->Manager(), SIZE{112, 31}), nullptr);
  uitest::Pump(50);
  HWND menu = OpenMenuWindow();
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(::GetWindow(menu, GW_OWNER), hwnd());
  ::SetForegroundWindow(hwnd());
  ::SetFocus(hwnd());
  EXPECT_TRUE(uitest::PumpUntil([] { return OpenMenuWindow() == nullptr; }, 2000));
  EXPECT_TRUE(wnd_->picked.empty());
}

TEST_F(UiWindow, MenuClosesOnEscape) {
  ASSERT_NE(CMenuWnd::Show(kMenu, POINT{200, 200}, &wnd_->Manager(), SIZE{112, 31}), nullptr);
  uitest::Pump(30);
  ::SendMessageW(OpenMenuWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(uitest::PumpUntil([] { return OpenMenuWindow() == nullptr; }, 2000));
  EXPECT_TRUE(wnd_->picked.empty());
}

TEST_F(UiWindow, MenuItemClickPostsPickedNameAndCheckState) {
  ASSERT_NE(CMenuWnd::Show(kMenu, POINT{200, 200}, &wnd_->Manager(), SIZE{112, 31}), nullptr);
  uitest::Pump(50);
  HWND menu = OpenMenuWindow();
  ASSERT_NE(menu, nullptr);
  RECT rc;
  ::GetWindowRect(menu, &rc);
  EXPECT_EQ(rc.right - rc.left, 112);
  wnd_->notes.clear();
  uitest::Drag(menu, POINT{20, 15}, POINT{20, 15});
  EXPECT_TRUE(uitest::PumpUntil([&] { return !wnd_->picked.empty() && OpenMenuWindow() == nullptr; }, 2000));
  ASSERT_EQ(wnd_->picked.size(), 1u);
  EXPECT_EQ(wnd_->picked[0].first, L"MenuBoot");
  EXPECT_EQ(wnd_->picked[0].second, 1);
  EXPECT_EQ(GetLastClickedMenuItem(), L"MenuBoot");
  EXPECT_EQ(wnd_->Count(L"click"), 1u) << "the menu's click reaches the owner's notifiers";
}

TEST_F(UiWindow, ShadowFollowsTheWindow) {
  HWND shadow = uitest::FindOwnWindow(CShadowUI::kClassName);
  ASSERT_NE(shadow, nullptr);
  EXPECT_EQ(::GetWindow(shadow, GW_OWNER), hwnd());
  LONG ex = ::GetWindowLongW(shadow, GWL_EXSTYLE);
  EXPECT_TRUE((ex & WS_EX_LAYERED) && (ex & WS_EX_TRANSPARENT));
  EXPECT_TRUE(::IsWindowVisible(shadow));
  ::SetWindowPos(hwnd(), nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  uitest::Pump(30);
  RECT window, around;
  ::GetWindowRect(hwnd(), &window);
  ::GetWindowRect(shadow, &around);
  EXPECT_EQ(around.left, window.left - 10);
  EXPECT_EQ(around.top, window.top - 10);
  EXPECT_EQ(around.right, window.right + 10);
  EXPECT_EQ(around.bottom, window.bottom + 10);
  // Time to take a screenshot of the window with its shadow.
  if (const char* hold = std::getenv("QV_UI_HOLD_MS")) uitest::Pump(static_cast<DWORD>(std::atoi(hold)));
  ::ShowWindow(hwnd(), SW_MINIMIZE);
  uitest::Pump(30);
  EXPECT_FALSE(::IsWindowVisible(shadow));
  ::ShowWindow(hwnd(), SW_RESTORE);
  uitest::Pump(30);
  EXPECT_TRUE(::IsWindowVisible(shadow));
}

}  // namespace

namespace {

struct Launched {
  PROCESS_INFORMATION pi{};
  ~Launched() {
    if (pi.hProcess) {
      if (::WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) ::TerminateProcess(pi.hProcess, 99);
      ::CloseHandle(pi.hProcess);
    }
    if (pi.hThread) ::CloseHandle(pi.hThread);
  }
};

bool LaunchProgram(const std::wstring& program, const std::wstring& args, Launched& out) {
  std::wstring line = L"\"" + program + L"\" " + args;
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  return ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &out.pi) != FALSE;
}

bool Launch(const std::wstring& args, Launched& out) { return LaunchProgram(QV_FAILURE_FIXTURE, args, out); }

struct BoxSearch {
  DWORD pid;
  HWND box = nullptr;
};

BOOL CALLBACK FindBox(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<BoxSearch*>(data);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  wchar_t cls[32] = {};
  ::GetClassNameW(window, cls, 32);
  if (pid == search->pid && std::wstring(cls) == L"#32770" && ::IsWindowVisible(window)) {
    search->box = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CollectTexts(HWND child, LPARAM data) {
  wchar_t text[128] = {};
  ::GetWindowTextW(child, text, 128);
  reinterpret_cast<std::wstring*>(data)->append(text).append(L"|");
  return TRUE;
}

TEST(UiSkinFailure, MissingSkinFileShowsMessageBoxAndExitsWithOne) {
  Launched child;
  ASSERT_TRUE(Launch(L"file", child));
  BoxSearch search{child.pi.dwProcessId};
  ASSERT_TRUE(uitest::PumpUntil([&] { return !::EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search)) && search.box; },
                                10000));
  wchar_t caption[64] = {};
  ::GetWindowTextW(search.box, caption, 64);
  EXPECT_EQ(std::wstring(caption), L"missing.xml");
  std::wstring texts;
  ::EnumChildWindows(search.box, CollectTexts, reinterpret_cast<LPARAM>(&texts));
  EXPECT_NE(texts.find(L"加载资源失败！"), std::wstring::npos) << std::string(texts.begin(), texts.end());
  ::PostMessageW(search.box, WM_COMMAND, IDOK, 0);
  ASSERT_EQ(::WaitForSingleObject(child.pi.hProcess, 10000), WAIT_OBJECT_0);
  DWORD code = 0;
  ::GetExitCodeProcess(child.pi.hProcess, &code);
  EXPECT_EQ(code, 1u);
}

TEST(UiSkinFailure, MissingSkinResourceReturnsQuietly) {
  Launched child;
  ASSERT_TRUE(Launch(L"resource", child));
  ASSERT_EQ(::WaitForSingleObject(child.pi.hProcess, 10000), WAIT_OBJECT_0);
  DWORD code = 0;
  ::GetExitCodeProcess(child.pi.hProcess, &code);
  EXPECT_EQ(code, 7u) << "no skin, no OnSkinReady, no message box";
}

// What a run of the fixture came to: its message box (caption and texts, empty when none came)
// and its exit code. The box is confirmed as a user would.
struct Outcome {
  std::wstring caption;
  std::wstring texts;
  DWORD code = 0;
};

Outcome RunToEnd(Launched& child) {
  Outcome out;
  BoxSearch search{child.pi.dwProcessId};
  uitest::PumpUntil(
      [&] {
        if (::WaitForSingleObject(child.pi.hProcess, 0) == WAIT_OBJECT_0) return true;
        return !::EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search)) && search.box;
      },
      20000);
  if (search.box) {
    wchar_t caption[64] = {};
    ::GetWindowTextW(search.box, caption, 64);
    out.caption = caption;
    ::EnumChildWindows(search.box, CollectTexts, reinterpret_cast<LPARAM>(&out.texts));
    ::PostMessageW(search.box, WM_COMMAND, IDOK, 0);
  }
  out.code = ::WaitForSingleObject(child.pi.hProcess, 10000) == WAIT_OBJECT_0 ? 0 : 99;
  if (out.code == 0) ::GetExitCodeProcess(child.pi.hProcess, &out.code);
  return out;
}

std::wstring TempPath(const std::wstring& name) {
  wchar_t temp[MAX_PATH];
  ::GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp) + name;
}

// A copy of the fixture whose ZIPRES resource 130 holds `bytes`.
std::wstring FixtureWithPackage(const std::wstring& name, const std::string& bytes) {
  const std::wstring copy = TempPath(name + L".exe");
  if (!::CopyFileW(QV_FAILURE_FIXTURE, copy.c_str(), FALSE)) return L"";
  HANDLE update = ::BeginUpdateResourceW(copy.c_str(), FALSE);
  if (!update) return L"";
  std::string data = bytes;
  bool ok = ::UpdateResourceW(update, L"ZIPRES", MAKEINTRESOURCEW(130), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                              data.data(), static_cast<DWORD>(data.size()));
  return ::EndUpdateResourceW(update, !ok) && ok ? copy : L"";
}

// Controls `levels` deep: containers one inside the other, a label in the innermost one.
std::string NestedSkin(int levels) {
  std::string markup = "<Window size=\"200,150\">";
  for (int i = 1; i < levels; ++i) markup += "<VerticalLayout>";
  markup += "<Label text=\"deep\"/>";
  for (int i = 1; i < levels; ++i) markup += "</VerticalLayout>";
  return markup + "</Window>";
}

std::string Zip(const std::string& markup) { return ui_test::BuildZip({{"MainWnd.xml", markup, true}}); }

TEST(UiSkinFailure, DamagedOrHostileSkinsFailTheBuildWithTheMessage) {
  const std::wstring folder = TempPath(L"qv_hostile_skins\\");
  ::CreateDirectoryW(folder.c_str(), nullptr);
  uitest::WriteFileText(folder + L"self.xml", "<Window><VerticalLayout><Include source=\"SELF.xml\"/></VerticalLayout></Window>");
  uitest::WriteFileText(folder + L"ping.xml", "<Window><VerticalLayout><Include source=\"pong.xml\"/></VerticalLayout></Window>");
  uitest::WriteFileText(folder + L"pong.xml", "<Window><Label/><Include source=\"ping.xml\" count=\"2\"/></Window>");
  uitest::WriteFileText(folder + L"many.xml", "<Window><VerticalLayout><Include source=\"ten.xml\" count=\"100000\"/></VerticalLayout></Window>");
  uitest::WriteFileText(folder + L"ten.xml", "<Window><Label/></Window>");
  uitest::WriteFileText(folder + L"deep2000.xml", NestedSkin(2000));
  uitest::WriteFileText(folder + L"deep257.xml", NestedSkin(257));
  uitest::WriteFileText(folder + L"deep256.xml", NestedSkin(256));
  const std::string good = Zip(NestedSkin(1));
  // Without its last backslash, which would escape the closing quote of the argument.
  const std::wstring dir = folder.substr(0, folder.size() - 1);

  struct Case {
    const char* name;
    std::wstring program;  // empty: the fixture itself
    std::wstring args;
    const wchar_t* caption;  // of the message box; null: none may come
    DWORD code;
  };
  const Case cases[] = {
      {"package resource that is no ZIP", FixtureWithPackage(L"qv_zipres_text", "this is not a ZIP package"),
       L"resource", L"MainWnd.xml", 1},
      {"package resource cut short", FixtureWithPackage(L"qv_zipres_cut", good.substr(0, good.size() / 2)),
       L"resource", L"MainWnd.xml", 1},
      {"package whose skin includes itself",
       FixtureWithPackage(L"qv_zipres_self", Zip("<Window><VerticalLayout><Include source=\"mainwnd.xml\"/></VerticalLayout></Window>")), L"resource",
       L"MainWnd.xml", 1},
      {"skin that includes itself", L"", L"folder \"" + dir + L"\" self.xml", L"self.xml", 1},
      {"two skins that include each other", L"", L"folder \"" + dir + L"\" ping.xml", L"ping.xml", 1},
      {"Include copies beyond any skin", L"", L"folder \"" + dir + L"\" many.xml", L"many.xml", 1},
      {"2000 levels of controls", L"", L"folder \"" + dir + L"\" deep2000.xml", L"deep2000.xml", 1},
      {"257 levels of controls", L"", L"folder \"" + dir + L"\" deep257.xml", L"deep257.xml", 1},
      // The quiet and the working cases beside them.
      {"256 levels of controls build, show and paint", L"", L"folder \"" + dir + L"\" deep256.xml", nullptr, 8},
      {"empty package resource", QV_FAILURE_FIXTURE_EMPTY, L"resource", nullptr, 7},
      {"readable package resource", FixtureWithPackage(L"qv_zipres_good", good), L"resource", nullptr, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Launched child;
    ASSERT_TRUE(c.args != L"resource" || !c.program.empty()) << "the resource could not be planted";
    ASSERT_TRUE(LaunchProgram(c.program.empty() ? std::wstring(QV_FAILURE_FIXTURE) : c.program, c.args, child));
    const Outcome out = RunToEnd(child);
    EXPECT_EQ(out.caption, c.caption ? c.caption : L"");
    if (c.caption) {
      EXPECT_NE(out.texts.find(L"加载资源失败！"), std::wstring::npos) << std::string(out.texts.begin(), out.texts.end());
    }
    EXPECT_EQ(out.code, c.code);
  }
}

}  // namespace
