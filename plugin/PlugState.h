// Process-wide state of the plug-in: the installer's last call parameters, the current wizard
// window, and the calls back into the installer.
#pragma once

#include <windows.h>

#include "plugin/NsisApi.h"
#include "plugin/PlugWindow.h"

namespace plug {

struct CallParams {
  HWND parent = nullptr; // kept, never used
  int stringSize = 0;
  void* variables = nullptr;
  void* stackTop = nullptr; // StackEntry<Ch>** of the plug-in's text width
  NsisExtraParameters* extra = nullptr;
};

void StoreCallParams(const CallParams& params);
const CallParams& StoredCallParams();

// The window the exports act on; absent before InitWnd and after that window destroyed itself.
IPlugWindow* CurrentWindow();
void SetCurrentWindow(IPlugWindow* window);
// Called by a window that is going away, so no export touches it afterwards.
void ForgetWindow(IPlugWindow* window);

// Keeps the installer from unloading us between calls: registers a callback that does nothing.
void RegisterWithInstaller();

// Runs the script function whose address the script bound (GetFunctionAddress gives address + 1).
// False when no installer services are known.
bool RunScriptFunction(int address);

// This library's module handle.
HMODULE PluginModule();

} // namespace plug
