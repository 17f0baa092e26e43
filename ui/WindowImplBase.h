// WindowImplBase: a borderless native window drawn entirely from a skin. Derived windows
// name their class and skin and override the operations they need; everything else here
// is the default behaviour of a skinned window.
#pragma once

#include <string>

#include "ui/UIBase.h"
#include "ui/UIManager.h"

namespace DuiLib {

class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback {
 public:
  WindowImplBase() = default;

  // 1-5: the window class and the dispatch.
  const wchar_t* WindowClassName() const override = 0;
  const wchar_t* BaseClassName() const override { return nullptr; }
  UINT WindowClassStyle() const override { return CS_DBLCLKS; }
  LRESULT RouteMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnWindowDestroyed(HWND window) override;
  // 6
  ~WindowImplBase() override = default;
  // 7-14: the skin.
  virtual void OnSkinReady() {}
  virtual void OnClick(NotifyRecord& msg);
  virtual std::wstring SkinFolder() = 0;
  virtual std::wstring SkinFile() = 0;
  // Whether `key` is Escape; the key is not consumed either way.
  virtual bool DefaultKeyResponse(WPARAM key);
  // Main program: SkinSourceType::ZipFile; installer plug-in: SkinSourceType::File.
  virtual SkinSourceType SkinSource();
  // Main program: "skin.zip"; installer plug-in: empty.
  virtual std::wstring SkinPackageName();
  // Numeric id of the "ZIPRES" resource for SKIN_ZIPRESOURCE; 0 = none.
  virtual UINT SkinResourceId() { return 0; }
  // 15-35: message handlers. Each sets `handled` when the message needs no further processing.
  virtual LRESULT OnClose(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnDestroy(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnEraseBkgnd(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnNcActivate(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnNcCalcSize(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnNcPaint(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnNcHitTest(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnGetMinMaxInfo(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnMouseWheel(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnMouseHover(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnMouseLeave(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnSize(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnChar(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnSysCommand(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnCreate(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnKeyDown(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnKillFocus(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnSetFocus(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnLButtonDown(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnLButtonUp(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnMouseMove(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
  // 36: messages of the window's own; runs before the manager sees the message.
  virtual LRESULT OnAppMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);
  // 37: the current window style with the caption bits cleared.
  virtual LONG StyleWithoutCaption();

  // INotifyUI: hands the record to the message maps.
  void OnNotification(NotifyRecord& msg) override;
  // IMessageFilterUI: Enter and Escape go through DefaultKeyResponse, unconsumed.
  LRESULT MessageFilter(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;
  // IDialogBuilderCallback: windows know no custom elements.
  CControlUI* MakeCustomControl(const wchar_t* elementName) override;

  CSkinManager& GetManager() { return m_pm; }

  DUI_DECLARE_MESSAGE_MAP()

 protected:
  CSkinManager m_pm;
};

}  // namespace DuiLib
