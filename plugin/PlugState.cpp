#include "plugin/PlugState.h"

namespace plug {

namespace {

CallParams g_params;
IPlugWindow* g_current = nullptr;

UINT_PTR DoNothingCallback(NsisCallbackMessage) { return 0; }

} // namespace

void StoreCallParams(const CallParams& params) { g_params = params; }
const CallParams& StoredCallParams() { return g_params; }

IPlugWindow* CurrentWindow() { return g_current; }
void SetCurrentWindow(IPlugWindow* window) { g_current = window; }
void ForgetWindow(IPlugWindow* window) {
  if (g_current == window) g_current = nullptr;
}

void RegisterWithInstaller() {
  if (g_params.extra != nullptr && g_params.extra->RegisterPluginCallback != nullptr) {
    g_params.extra->RegisterPluginCallback(PluginModule(), DoNothingCallback);
  }
}

bool RunScriptFunction(int address) {
  if (g_params.extra == nullptr || g_params.extra->ExecuteCodeSegment == nullptr) return false;
  g_params.extra->ExecuteCodeSegment(address - 1, nullptr);
  return true;
}

HMODULE PluginModule() {
  HMODULE module = nullptr;
  ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&PluginModule), &module);
  return module;
}

} // namespace plug
