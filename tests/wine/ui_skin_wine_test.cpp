// The program's skin package in real framework windows: the layouts as the windows lay them
// out, read from the very ZIP the executable embeds.
#include <gtest/gtest.h>

#include <string>

#include "tests/wine/ui_test_window.h"

using namespace DuiLib;

namespace {

class PackageWnd : public uitest::TestWnd {
 public:
  using TestWnd::TestWnd;
  SkinSourceType SkinSource() override { return SkinSourceType::ZipFile; }
  std::wstring SkinPackageName() override { return L"ToolsSkin.zip"; }
};

class UiSkinEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    CSkinManager::SetInstance(::GetModuleHandleW(nullptr));
    CShadowUI::Initialize(CSkinManager::GetInstance());
    CSkinManager::SetSkinRootPath(QV_SKIN_ZIP_DIR);
  }
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new UiSkinEnvironment);

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Show(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

class UiSkin : public ::testing::Test {
 protected:
  void Open(const wchar_t* layout) {
    wnd_ = std::make_unique<PackageWnd>(layout);
    ASSERT_NE(wnd_->Create(nullptr, L"QvUiSkinTest", WS_POPUP | WS_VISIBLE, 0, 40, 40, 10, 10), nullptr);
    ASSERT_EQ(wnd_->skinReady, 1);
    Relayout();
  }
  // Paints, which runs the pending layout.
  void Relayout() {
    ::InvalidateRect(*wnd_, nullptr, FALSE);
    ::UpdateWindow(*wnd_);
    uitest::Pump(30);
  }
  void TearDown() override {
    if (wnd_ && ::IsWindow(*wnd_)) ::DestroyWindow(*wnd_);
    uitest::Pump(20);
  }
  CControlUI* Find(const wchar_t* name) { return wnd_->Find(name); }

  std::unique_ptr<PackageWnd> wnd_;
};

TEST_F(UiSkin, MainWindowOpensAtItsSizeOnTheStartPage) {
  Open(L"MainWnd.xml");
  RECT client;
  ::GetClientRect(*wnd_, &client);
  EXPECT_EQ(client.right, 586);
  EXPECT_EQ(client.bottom, 364);
  auto* tabs = wnd_->Find<CTabLayoutUI>(L"mainSwitch");
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(tabs->GetCurSel(), 0);
  EXPECT_TRUE(tabs->GetItemAt(0)->IsVisible());
  for (int i = 1; i < tabs->GetCount(); ++i) EXPECT_FALSE(tabs->GetItemAt(i)->IsVisible()) << "page " << i;
  ASSERT_NE(Find(L"CheckLayout"), nullptr);
  EXPECT_FALSE(Find(L"CheckLayout")->IsVisible());
  EXPECT_TRUE(Find(L"MainLayout")->IsVisible());
  // The start page's button sits below the picture, centred in the window.
  RECT check = Find(L"checkbtn")->GetPos();
  EXPECT_EQ(check.right - check.left, 130);
  EXPECT_EQ(check.left + check.right, 586) << Show(check);
  EXPECT_EQ(check.top, 36 + 92 + 166);
  // The shadow is a window of its own around the main window.
  HWND shadow = uitest::FindOwnWindow(CShadowUI::kClassName);
  ASSERT_NE(shadow, nullptr);
  EXPECT_EQ(::GetWindow(shadow, GW_OWNER), wnd_->GetHWND());
}

TEST_F(UiSkin, FiveActionButtonsShareOneRectangle) {
  Open(L"MainWnd.xml");
  Find(L"MainLayout")->SetVisible(false);
  Find(L"CheckLayout")->SetVisible(true);
  Relayout();
  const RECT header = Find(L"CheckLayout")->GetPos();
  const RECT expected{header.left + 331, header.top + 21, header.left + 461, header.top + 61};
  EXPECT_EQ(header.top, 36);
  for (const wchar_t* name : {L"cancelCheckbtn", L"cancelRepairbtn", L"returnbtn", L"repairbtn", L"recheckbtn"}) {
    ASSERT_NE(Find(name), nullptr) << name;
    EXPECT_TRUE(SameRect(Find(name)->GetPos(), expected)) << Show(Find(name)->GetPos());
  }
}

TEST_F(UiSkin, EverySettingsPageHasItsCloseButtonInTheTopRightCorner) {
  Open(L"DlgConfig.xml");
  RECT client;
  ::GetClientRect(*wnd_, &client);
  EXPECT_EQ(client.right, 340);
  EXPECT_EQ(client.bottom, 180);
  auto* tabs = wnd_->Find<CTabLayoutUI>(L"mainSwitch");
  ASSERT_NE(tabs, nullptr);
  ASSERT_EQ(tabs->GetCount(), 4);
  for (int page = 0; page < 4; ++page) {
    tabs->SelectItem(page);
    Relayout();
    CControlUI* close = tabs->GetItemAt(page)->FindSubControl(L"closebtn");
    ASSERT_NE(close, nullptr) << "page " << page;
    EXPECT_TRUE(close->IsVisible());
    EXPECT_TRUE(SameRect(close->GetPos(), RECT{308, 0, 340, 24})) << "page " << page << ": " << Show(close->GetPos());
  }
}

TEST_F(UiSkin, ResultListHoldsOneRowOfEachTemplate) {
  Open(L"MainWnd.xml");
  auto* tabs = wnd_->Find<CTabLayoutUI>(L"mainSwitch");
  auto* list = wnd_->Find<CListUI>(L"resultList");
  ASSERT_NE(list, nullptr);
  struct Row {
    const wchar_t* file;
    int height;
    const wchar_t* link;  // a button drawn with the window's underlined font, or none
  };
  const Row rows[] = {
      {L"result_item.xml", 35, nullptr},
      {L"result_item_crt.xml", 61, L"ServSet"},
      {L"result_item_fp.xml", 35, L"GoOfficialNet"},
  };
  std::vector<CControlUI*> built;
  for (const Row& r : rows) {
    CSkinBuilder builder;
    CControlUI* row = builder.Build(r.file);
    ASSERT_NE(row, nullptr) << builder.GetLastErrorText().c_str();
    ASSERT_TRUE(list->Add(row));
    built.push_back(row);
  }
  tabs->SelectItem(2);
  Relayout();
  const RECT listPos = list->GetPos();
  int top = listPos.top;
  for (size_t i = 0; i < built.size(); ++i) {
    const RECT pos = built[i]->GetPos();
    EXPECT_EQ(pos.top, top) << "row " << i;
    EXPECT_EQ(pos.bottom - pos.top, rows[i].height) << "row " << i;
    top = pos.bottom;
    if (rows[i].link != nullptr) {
      auto* link = dynamic_cast<CLabelUI*>(built[i]->FindSubControl(rows[i].link));
      ASSERT_NE(link, nullptr);
      EXPECT_EQ(link->GetFont(), 3);
      EXPECT_TRUE(wnd_->Manager().GetFontInfo(link->GetFont()).underline);
    }
  }
  EXPECT_LE(top, listPos.bottom);
}

}  // namespace
