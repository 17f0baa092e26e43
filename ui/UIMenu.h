// The popup menu: CMenuWnd ("DuiMenuWnd") builds menu markup with CMenuUI / CMenuElementUI
// and reports a picked item to its owner with WM_MENU_PICKED.
#pragma once

#include <string>

#include "ui/UIBase.h"
#include "ui/UIManager.h"
#include "ui/controls/UIList.h"
#include "ui/controls/UIListContainerElement.h"

namespace DuiLib {

// Name of the menu item clicked last in this process (empty before the first click).
const std::wstring& GetLastClickedMenuItem();

class CMenuUI : public CListUI {
 public:
  const wchar_t* GetClass() const override;
  void* GetInterface(const wchar_t* name) override;
};

class CMenuElementUI : public CListContainerElementUI {
 public:
  const wchar_t* GetClass() const override;
  void* GetInterface(const wchar_t* name) override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;
  void DoEvent(ControlEvent& event) override;
  void DoPaint(HDC dc, const RECT& paint) override;

  bool IsChecked() const { return checked_; }
  void SetChecked(bool checked) { checked_ = checked; Invalidate(); }
  bool IsCheckItem() const { return checkItem_; }

 private:
  bool checked_ = false;
  bool checkItem_ = false;
  bool hot_ = false;
};

// Stand-in for the menu's receiver side: closes every open menu on request.
class ReceiverImpl {
 public:
  virtual ~ReceiverImpl() = default;
  virtual void CloseMenu() = 0;
};

class CMenuWnd : public CWindowWnd, public ReceiverImpl, public INotifyUI, public IDialogBuilderCallback {
 public:
  static constexpr const wchar_t* kClassName = L"DuiMenuWnd";

  // Opens a menu built from `markup` at the screen point `pt`; `owner` receives the forwarded
  // notifications and WM_MENU_PICKED. A fixed size of 0 takes the markup's size. The window
  // deletes itself when it closes.
  static CMenuWnd* Show(const std::wstring& markup, POINT pt, CSkinManager* owner, SIZE fixedSize = SIZE{});
  // Closes every open menu.
  static void CloseAll();
  static bool IsMenuWindow(HWND window);

  const wchar_t* WindowClassName() const override { return kClassName; }
  UINT WindowClassStyle() const override { return CS_DBLCLKS; }
  LRESULT RouteMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnWindowDestroyed(HWND window) override;
  void OnNotification(NotifyRecord& msg) override;
  CControlUI* MakeCustomControl(const wchar_t* elementName) override;
  void CloseMenu() override;

  CSkinManager& GetManager() { return m_pm; }
  // Called by a menu element when it is clicked.
  void OnItemPicked(CMenuElementUI* item);
  // The open menu whose manager is `manager`, or nullptr.
  static CMenuWnd* FromManager(const CSkinManager* manager);

 private:
  CMenuWnd() = default;
  bool Init(const std::wstring& markup, POINT pt, CSkinManager* owner, SIZE fixedSize);

  CSkinManager m_pm;
  CSkinManager* owner_ = nullptr;
  std::wstring markup_;
  POINT point_{};
  SIZE fixedSize_{};
  bool closing_ = false;
};

}  // namespace DuiLib
