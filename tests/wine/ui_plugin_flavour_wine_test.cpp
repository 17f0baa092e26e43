// The installer plug-in's flavour of the window framework: check boxes in the caption band
// stay clickable, and windows read their skins from folders by default.
#include <gtest/gtest.h>

#include "tests/wine/ui_test_window.h"

using namespace DuiLib;

namespace {

const char kSkin[] = R"(<?xml version="1.0" encoding="utf-8"?>
<Window size="200,100" caption="0,0,0,40">
  <VerticalLayout>
    <HorizontalLayout height="40">
      <Label name="title" float="true" pos="10,10,60,30" text="title"/>
      <CheckBox name="license_chk" float="true" pos="80,10,100,30"/>
      <Button name="minbtn" float="true" pos="120,10,150,30"/>
    </HorizontalLayout>
  </VerticalLayout>
</Window>
)";

// Keeps the base class's choices of skin source and package.
class FolderWnd : public uitest::TestWnd {
 public:
  FolderWnd() : TestWnd(L"plugin.xml") {}
  SkinSourceType SkinSource() override { return WindowImplBase::SkinSource(); }
};

TEST(UiPluginFlavour, CheckBoxInCaptionBandDoesNotDrag) {
  CSkinManager::SetInstance(::GetModuleHandleW(nullptr));
  wchar_t temp[MAX_PATH];
  ::GetTempPathW(MAX_PATH, temp);
  std::wstring dir = std::wstring(temp) + L"qv_ui_plugin_flavour\\";
  ::CreateDirectoryW(dir.c_str(), nullptr);
  ASSERT_TRUE(uitest::WriteFileText(dir + L"plugin.xml", kSkin));
  CSkinManager::SetSkinRootPath(dir);

  FolderWnd wnd;
  EXPECT_EQ(wnd.SkinSource(), SkinSourceType::File);
  EXPECT_EQ(wnd.SkinPackageName(), L"");
  ASSERT_NE(wnd.Create(nullptr, L"flavour", WS_POPUP | WS_VISIBLE, 0, 50, 50, 10, 10), nullptr);
  ::UpdateWindow(wnd);
  uitest::Pump(30);
  struct Case {
    const wchar_t* control;
    LRESULT hit;
  } cases[] = {
      {L"title", HTCAPTION},
      {L"license_chk", HTCLIENT},
      {L"minbtn", HTCLIENT},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(uitest::HitTest(wnd, uitest::Centre(wnd.Find(c.control))), c.hit) << c.control;
  }
  ::DestroyWindow(wnd);
}

}  // namespace
