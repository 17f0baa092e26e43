// Shared vocabulary of the window framework: notification and event records, the small
// interfaces windows and containers implement, state bits and the framework's own messages.
#pragma once

#include <windows.h>

#include <string>

namespace DuiLib {

class CControlUI;
class CSkinManager;

// Posted by the popup menu to its owner: wParam is a heap copy of the picked item's name
// (a wchar_t array from new[], released by the receiver with delete[]), lParam 1 when the
// item is checked after the click, else 0.
constexpr UINT WM_MENU_PICKED = 1145;

// One notification, handed by reference to every notifier of a manager.
struct NotifyRecord {
  std::wstring type;
  std::wstring virtualWindow;
  CControlUI* sender = nullptr;
  DWORD timestamp = 0;
  POINT mouse{};
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

enum ControlEventKind {
  UIEVENT_MOUSEMOVE = 1,
  UIEVENT_MOUSELEAVE,
  UIEVENT_MOUSEENTER,
  UIEVENT_MOUSEHOVER,
  UIEVENT_BUTTONDOWN,
  UIEVENT_BUTTONUP,
  UIEVENT_DBLCLICK,
  UIEVENT_CONTEXTMENU,
  UIEVENT_SCROLLWHEEL,
  UIEVENT_KEYDOWN,
  UIEVENT_CHAR,
  UIEVENT_SETFOCUS,
  UIEVENT_KILLFOCUS,
  UIEVENT_SETCURSOR,
  UIEVENT_TIMER,
};

// Modifier-key mask of a ControlEvent.
enum : WORD {
  UIKEY_RBUTTON = 0x01,
  UIKEY_LBUTTON = 0x02,
  UIKEY_SHIFT = 0x04,
  UIKEY_CONTROL = 0x08,
  UIKEY_ALT = 0x20,
};

// One input event delivered to a control by its manager.
struct ControlEvent {
  int kind = 0;
  CControlUI* sender = nullptr;
  DWORD timestamp = 0;
  POINT mouse{};
  wchar_t key = 0;
  WORD keyState = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

// Control state bits.
enum : UINT {
  UISTATE_FOCUSED = 0x01,
  UISTATE_SELECTED = 0x02,
  UISTATE_DISABLED = 0x04,
  UISTATE_HOT = 0x08,
  UISTATE_PUSHED = 0x10,
  UISTATE_CAPTURED = 0x40,
};

class INotifyUI {
 public:
  virtual ~INotifyUI() = default;
  virtual void OnNotification(NotifyRecord& msg) = 0;
};

// Sees a window message before the manager; setting `handled` ends its processing.
class IMessageFilterUI {
 public:
  virtual ~IMessageFilterUI() = default;
  virtual LRESULT MessageFilter(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) = 0;
};

class IDialogBuilderCallback {
 public:
  virtual ~IDialogBuilderCallback() = default;
  // A control for an element name the builder does not know, or nullptr.
  virtual CControlUI* MakeCustomControl(const wchar_t* elementName) = 0;
};

// Child list of a container. Removing destroys the child.
class IContainerUI {
 public:
  virtual ~IContainerUI() = default;
  virtual CControlUI* GetItemAt(int index) const = 0;
  virtual int GetItemIndex(CControlUI* control) const = 0;
  virtual int GetCount() const = 0;
  virtual bool Add(CControlUI* control) = 0;
  virtual bool AddAt(CControlUI* control, int index) = 0;
  virtual bool Remove(CControlUI* control) = 0;
  virtual bool RemoveAt(int index) = 0;
  virtual void RemoveAll() = 0;
};

// Interface names answered by CControlUI::GetInterface.
inline constexpr const wchar_t* kInterfaceContainer = L"IContainer";
inline constexpr const wchar_t* kInterfaceList = L"IList";
inline constexpr const wchar_t* kInterfaceListItem = L"IListItem";

}  // namespace DuiLib
