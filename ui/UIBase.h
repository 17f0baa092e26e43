// CWindowWnd owns one native window; CNotifyPump dispatches notifications through message
// maps declared with the DUI_* macros below.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "ui/UIDefs.h"

namespace DuiLib {

class CWindowWnd {
 public:
  CWindowWnd() = default;
  virtual ~CWindowWnd() = default;
  CWindowWnd(const CWindowWnd&) = delete;
  CWindowWnd& operator=(const CWindowWnd&) = delete;

  HWND GetHWND() const { return hwnd_; }
  operator HWND() const { return hwnd_; }

  // Registers the class unless it exists, then creates the window; this object travels in
  // the creation data so every message, WM_NCCREATE on, reaches RouteMessage.
  HWND Create(HWND owner, const wchar_t* title, DWORD style, DWORD exStyle, int x = CW_USEDEFAULT,
              int y = CW_USEDEFAULT, int cx = CW_USEDEFAULT, int cy = CW_USEDEFAULT, HMENU menu = nullptr);
  HWND Create(HWND owner, const wchar_t* title, DWORD style, DWORD exStyle, const RECT& rc,
              HMENU menu = nullptr);
  // Takes over an existing window's procedure.
  HWND Subclass(HWND window);
  void Unsubclass();

  void ShowWindow(bool show = true, bool takeFocus = true);
  // Posts a close request with `result` as wParam.
  void Close(UINT result = IDOK);
  // Centres on the owner, or on the work area without one, then pulls inside the work area.
  void CenterWindow();
  void ResizeClient(int cx, int cy);
  LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

  virtual const wchar_t* WindowClassName() const = 0;
  virtual const wchar_t* BaseClassName() const { return nullptr; }
  virtual UINT WindowClassStyle() const { return 0; }
  virtual LRESULT RouteMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  // After the native window is gone.
  virtual void OnWindowDestroyed(HWND window) { (void)window; }

 protected:
  bool RegisterWindowClass();
  bool RegisterSuperclass();
  static LRESULT CALLBACK WndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
  WNDPROC oldWndProc_ = ::DefWindowProcW;
  bool subclassed_ = false;
};

class CNotifyPump;
using NotifyRecordHandler = void (CNotifyPump::*)(NotifyRecord&);
using NotifyParamHandler = LRESULT (CNotifyPump::*)(WPARAM, LPARAM);

// One message-map entry: matches `type` and the sender's name; an empty control name is the
// fallback for its type when no named entry of the same map matched.
struct NotifyMapEntry {
  const wchar_t* type;
  const wchar_t* controlName;
  NotifyRecordHandler onRecord;  // one of the two handler kinds is set
  NotifyParamHandler onParams;
};

struct NotifyMap {
  const NotifyMap* base;
  // Entries end with one whose type is nullptr; a function so the table is made on first use.
  const NotifyMapEntry* (*entries)();
};

class CNotifyPump {
 public:
  virtual ~CNotifyPump() = default;
  bool AddVirtualWnd(const std::wstring& name, CNotifyPump* pump);
  bool RemoveVirtualWnd(const std::wstring& name);
  // Virtual-window pump first, then this object's map chain, most derived first.
  void NotifyPump(NotifyRecord& msg);

  virtual const NotifyMap* GetNotifyMap() const { return nullptr; }

 private:
  bool LoopDispatch(NotifyRecord& msg);
  std::map<std::wstring, CNotifyPump*> virtualWnds_;  // keys folded to lower case
};

}  // namespace DuiLib

// Message maps:
//   DUI_DECLARE_MESSAGE_MAP()                     in the class body
//   DUI_BEGIN_MESSAGE_MAP(CMyWnd, CBaseWnd)       in the .cpp
//     DUI_ON_MSGTYPE(L"click", OnAnyClick)        void OnAnyClick(NotifyRecord&)
//     DUI_ON_CLICK_CTRNAME(L"okbtn", OnOk)        void OnOk(NotifyRecord&)
//     DUI_ON_MSGTYPE_CTRNAME(L"selectchanged", L"autoRun", OnToggle)
//     DUI_ON_PARAMS(L"timer", L"", OnTimerParams) LRESULT OnTimerParams(WPARAM, LPARAM)
//   DUI_END_MESSAGE_MAP()
#define DUI_DECLARE_MESSAGE_MAP()                                                      \
 public:                                                                               \
  static const ::DuiLib::NotifyMap kNotifyMap;                                         \
  const ::DuiLib::NotifyMap* GetNotifyMap() const override { return &kNotifyMap; }     \
                                                                                       \
 private:                                                                              \
  static const ::DuiLib::NotifyMapEntry* NotifyEntries();

#define DUI_BEGIN_MESSAGE_MAP_IMPL(theClass, baseMap)                                     \
  const ::DuiLib::NotifyMap theClass::kNotifyMap = {baseMap, &theClass::NotifyEntries};   \
  const ::DuiLib::NotifyMapEntry* theClass::NotifyEntries() {                             \
    using DuiThisClass = theClass;                                                        \
    static const ::DuiLib::NotifyMapEntry entries[] = {
#define DUI_BEGIN_MESSAGE_MAP(theClass, baseClass) \
  DUI_BEGIN_MESSAGE_MAP_IMPL(theClass, &baseClass::kNotifyMap)
#define DUI_BEGIN_BASE_MESSAGE_MAP(theClass) DUI_BEGIN_MESSAGE_MAP_IMPL(theClass, nullptr)
#define DUI_ON_MSGTYPE_CTRNAME(type, name, fn) \
  {type, name, static_cast<::DuiLib::NotifyRecordHandler>(&DuiThisClass::fn), nullptr},
#define DUI_ON_MSGTYPE(type, fn) DUI_ON_MSGTYPE_CTRNAME(type, L"", fn)
#define DUI_ON_CLICK_CTRNAME(name, fn) DUI_ON_MSGTYPE_CTRNAME(L"click", name, fn)
#define DUI_ON_SELECTCHANGED_CTRNAME(name, fn) DUI_ON_MSGTYPE_CTRNAME(L"selectchanged", name, fn)
#define DUI_ON_PARAMS(type, name, fn) \
  {type, name, nullptr, static_cast<::DuiLib::NotifyParamHandler>(&DuiThisClass::fn)},
#define DUI_END_MESSAGE_MAP()             \
  {nullptr, nullptr, nullptr, nullptr}};  \
    return entries;                       \
  }
