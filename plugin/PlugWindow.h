// What the exports need from a wizard window. The exports stay free of the skinned window
// framework; the wizard windows implement this next to their framework base.
#pragma once

#include <windows.h>

#include <string>

namespace plug {

class IPlugWindow {
 public:
  virtual HWND Handle() const = 0;
  virtual bool HasControl(const std::wstring& name) = 0;
  // False, leaving `text` alone, when the window has no control of that name.
  virtual bool GetControlText(const std::wstring& name, std::wstring* text) = 0;
  virtual bool SetControlText(const std::wstring& name, const std::wstring& text) = 0;
  virtual void BindScript(const std::wstring& name, int address) = 0;
  virtual void SetProgressValue(int value) = 0;

 protected:
  ~IPlugWindow() = default; // the window object owns itself and deletes itself on destroy
};

// Prepares the framework for the plug-in module and the skin folder, then creates the wizard
// window of `kind` ("install" or "uninstall", any case) for `skinFile`: hidden, centred, its
// skin loaded. Nothing for an unknown kind.
IPlugWindow* OpenWizardWindow(HMODULE module, const std::wstring& kind, const std::wstring& skinFolder,
                              const std::wstring& skinFile);

} // namespace plug
