// CShadowUI: the drop shadow of a skinned window, a layered, mouse-transparent window owned
// by it that draws the skin's shadowimage in nine parts around the window's rectangle.
#pragma once

#include <windows.h>

#include <string>

namespace DuiLib {

class CSkinManager;

class CShadowUI {
 public:
  static constexpr const wchar_t* kClassName = L"TolvanShadowWnd";

  // Registers the shadow window class; both deliverables call this at start-up.
  static bool Initialize(HINSTANCE instance);

  CShadowUI() = default;
  ~CShadowUI();
  CShadowUI(const CShadowUI&) = delete;
  CShadowUI& operator=(const CShadowUI&) = delete;

  // Creates the shadow window for the manager's window and starts following it.
  bool Create(CSkinManager* manager);
  HWND GetHWND() const { return shadow_; }
  // Called by the manager for the owner window's messages.
  void OnOwnerMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  // Redraws the picture for the owner's current rectangle and shows the shadow, or hides it
  // while the owner is hidden, minimised or maximised.
  void Update(bool ownerShown);

 private:
  void Reposition();
  void Redraw();

  CSkinManager* manager_ = nullptr;
  HWND owner_ = nullptr;
  HWND shadow_ = nullptr;
  SIZE drawnSize_{};
};

}  // namespace DuiLib
