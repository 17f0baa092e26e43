// The installer's side of the plug-in calling convention, declared here for both text widths:
// every export gets the parent window, the size of one stack text (in characters), the
// installer variables, the stack top and the installer services.
#pragma once

#include <windows.h>

namespace plug {

// One entry of the installer's string stack. The installer allocates entries with
// GlobalAlloc; whoever unlinks one releases it with GlobalFree.
template <typename Ch>
struct StackEntry {
  StackEntry* next;
  Ch text[1]; // really string-size characters
};

enum NsisCallbackMessage { kNspimUnload, kNspimGuiUnload };
using NsisPluginCallback = UINT_PTR (*)(NsisCallbackMessage);

struct NsisExecFlags; // not read by us

struct NsisExtraParameters {
  NsisExecFlags* execFlags;
  int(WINAPI* ExecuteCodeSegment)(int address, HWND parent);
  void(WINAPI* ValidateFilename)(void* path);
  int(WINAPI* RegisterPluginCallback)(HMODULE module, NsisPluginCallback callback);
};

} // namespace plug
