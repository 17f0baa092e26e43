// The exports the installer script calls as nsQuorvanePlug::<name>. Each takes its values from
// the installer's string stack in the order the script writes them and pushes its answer.
// Built twice: the ANSI plug-in of the release installer and a Unicode one (QV_PLUGIN_UNICODE).
#include <windows.h>
#include <shlobj.h>

#include <string>

#include "plugin/NsisStack.h"
#include "plugin/PlugRules.h"
#include "plugin/PlugState.h"

namespace {

#ifdef QV_PLUGIN_UNICODE
using Ch = wchar_t;
#else
using Ch = char;
#endif
using Stack = plug::NsisStack<Ch>;
using Entry = plug::StackEntry<Ch>;

constexpr wchar_t kInstallPathEdit[] = L"install_path_edit";

// Set by ExitNsDui: the installer is ending, and ShowMainWnd's loop ends for that.
bool exitRequested = false;

plug::CallParams MakeParams(HWND parent, int stringSize, Ch* variables, Entry** stackTop,
                            plug::NsisExtraParameters* extra) {
  plug::CallParams params;
  params.parent = parent;
  params.stringSize = stringSize;
  params.variables = variables;
  params.stackTop = stackTop;
  params.extra = extra;
  return params;
}

// The stack as the last storing call saw it.
Stack StoredStack() {
  const plug::CallParams& p = plug::StoredCallParams();
  return Stack(static_cast<Entry**>(p.stackTop), p.stringSize);
}

// Stores the parameters of this call and gives its stack.
Stack Enter(HWND parent, int stringSize, Ch* variables, Entry** stackTop, plug::NsisExtraParameters* extra) {
  plug::StoreCallParams(MakeParams(parent, stringSize, variables, stackTop, extra));
  return StoredStack();
}

// COM for the folder chooser; the installer normally has it already, and then this only
// balances its own count.
class ScopedComInit {
 public:
  ScopedComInit() : ok_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ScopedComInit() {
    if (ok_) ::CoUninitialize();
  }
  ScopedComInit(const ScopedComInit&) = delete;
  ScopedComInit& operator=(const ScopedComInit&) = delete;

 private:
  bool ok_;
};

// While the script writes files or waits, no message loop runs: it calls us between its steps
// (progress, page switches, texts). Let the wizard's timers tick and its windows repaint then,
// so the progress is seen moving, but leave every input message queued: a click on a bound
// control must never start a script function inside the one that is running.
void LetWizardRepaint() {
  MSG msg;
  for (int i = 0; i < 16 && ::PeekMessageW(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE); ++i) {
    ::DispatchMessageW(&msg);
  }
  for (int i = 0; i < 16 && ::PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++i) {
    ::DispatchMessageW(&msg);
  }
}

}  // namespace

#define QV_EXPORT(name)                                                                                    \
  extern "C" __declspec(dllexport) void name(HWND parent, int stringSize, Ch* variables, Entry** stackTop, \
                                             plug::NsisExtraParameters* extra)

QV_EXPORT(InitWnd) {
  Stack stack = Enter(parent, stringSize, variables, stackTop, extra);
  plug::RegisterWithInstaller();
  std::wstring kind = stack.PopText(plug::kKindLimit);
  std::wstring skinFolder = stack.PopText(plug::kSkinPathLimit);
  std::wstring skinFile = stack.PopText(plug::kSkinPathLimit);
  plug::IPlugWindow* window = plug::OpenWizardWindow(plug::PluginModule(), kind, skinFolder, skinFile);
  if (window == nullptr) {
    stack.PushInt(0);
    return;
  }
  plug::SetCurrentWindow(window);
  stack.PushInt(reinterpret_cast<INT_PTR>(window->Handle()));
}

// Deliberately does not store this call's parameters: it works on those of the previous call,
// which name the same stack for the whole installer run.
QV_EXPORT(ControlBindNSISScript) {
  (void)parent, (void)stringSize, (void)variables, (void)stackTop, (void)extra;
  Stack stack = StoredStack();
  std::wstring name = stack.PopText(plug::kNameLimit);
  int address = plug::StackTextToInt(stack.PopText(plug::kIntegerLimit));
  if (plug::IPlugWindow* window = plug::CurrentWindow()) window->BindScript(name, address);
}

QV_EXPORT(FindControl) {
  Stack stack = Enter(parent, stringSize, variables, stackTop, extra);
  std::wstring name = stack.PopText(plug::kNameLimit);
  plug::IPlugWindow* window = plug::CurrentWindow();
  stack.PushText(window != nullptr && window->HasControl(name) ? L"0" : L"-1");
}

QV_EXPORT(SetInstallDir) {
  Stack stack = Enter(parent, stringSize, variables, stackTop, extra);
  std::wstring name = stack.PopText(plug::kNameLimit);
  std::wstring text = stack.PopText(plug::kNameLimit);
  if (plug::IPlugWindow* window = plug::CurrentWindow()) {
    window->SetControlText(name, text);
    LetWizardRepaint();
  }
}

QV_EXPORT(GetInstallDir) {
  Stack stack = Enter(parent, stringSize, variables, stackTop, extra);
  std::wstring name = stack.PopText(plug::kNameLimit);
  std::wstring text;
  plug::IPlugWindow* window = plug::CurrentWindow();
  if (window != nullptr && window->GetControlText(name, &text)) {
    stack.PushText(text.substr(0, plug::kInstallDirLimit));
  }
}

QV_EXPORT(SelectInstallDir) {
  Stack stack = Enter(parent, stringSize, variables, stackTop, extra);
  std::wstring title = stack.PopText(plug::kNameLimit);
  stack.PopText(plug::kNameLimit);  // the script passes a second text that nothing reads
  plug::IPlugWindow* window = plug::CurrentWindow();

  ScopedComInit com;
  BROWSEINFOW info = {};
  info.hwndOwner = window != nullptr ? window->Handle() : nullptr;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_NEWDIALOGSTYLE;
  PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&info);
  // The window may have gone while the chooser ran its own message loop.
  window = plug::CurrentWindow();
  if (chosen == nullptr) {
    std::wstring unchanged;
    if (window != nullptr && window->GetControlText(kInstallPathEdit, &unchanged)) stack.PushText(unchanged);
    return;
  }
  wchar_t path[MAX_PATH] = {};
  BOOL havePath = ::SHGetPathFromIDListW(chosen, path);
  ::CoTaskMemFree(chosen);
  if (!havePath) {
    stack.PushText(L"-1");
    return;
  }
  if (window == nullptr || !window->HasControl(kInstallPathEdit)) return;
  std::wstring folder = plug::InstallDirForChosenFolder(path);
  window->SetControlText(kInstallPathEdit, folder);
  stack.PushText(folder);
}

QV_EXPORT(SetProgressValue) {
  Stack stack = Enter(parent, stringSize, variables, stackTop, extra);
  int value = stack.PopInt();
  if (plug::IPlugWindow* window = plug::CurrentWindow()) {
    window->SetProgressValue(value);
    LetWizardRepaint();
  }
}

QV_EXPORT(ShowMainWnd) {
  Enter(parent, stringSize, variables, stackTop, extra);
  if (plug::IPlugWindow* window = plug::CurrentWindow()) {
    if (::IsWindow(window->Handle())) ::ShowWindow(window->Handle(), SW_SHOWNORMAL);
  }
  // Bound script functions run inside this loop and may call the other exports.
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  // After ExitNsDui the installer finishes and unloads this library: no window whose procedure
  // lives here may outlive that.
  if (exitRequested) {
    if (plug::IPlugWindow* window = plug::CurrentWindow()) {
      if (::IsWindow(window->Handle())) ::DestroyWindow(window->Handle());
    }
  }
}

QV_EXPORT(nsDuiSendMessage) {
  Stack stack = Enter(parent, stringSize, variables, stackTop, extra);
  std::wstring name = stack.PopText(plug::kNameLimit);
  std::wstring first = stack.PopText(plug::kNameLimit);
  std::wstring second = stack.PopText(plug::kNameLimit);
  unsigned message = plug::FindPlugMessage(name);
  plug::IPlugWindow* window = plug::CurrentWindow();
  if (message == 0 || window == nullptr) return;
  // The texts ride along for the window's sake; they stay ours and die after the send.
  ::SendMessageW(window->Handle(), message, reinterpret_cast<WPARAM>(first.c_str()),
                 reinterpret_cast<LPARAM>(second.c_str()));
  LetWizardRepaint();
}

// Ends the installer. The wizard disappears at once, and the message loop of ShowMainWnd ends
// as soon as the script function that called this returns (scripts call it last). The installer
// then finishes as after its last page: it unloads its plug-ins, deletes its temporary plug-in
// folder and exits with code 0. Terminating the process from here would skip that cleanup and
// leave the folder in %TEMP% at every run; exiting from inside the click, with the shell's
// folder chooser and COM possibly loaded, can stall in the libraries' detach code.
QV_EXPORT(ExitNsDui) {
  (void)parent, (void)stringSize, (void)variables, (void)stackTop, (void)extra;
  exitRequested = true;
  if (plug::IPlugWindow* window = plug::CurrentWindow()) {
    if (::IsWindow(window->Handle())) ::ShowWindow(window->Handle(), SW_HIDE);
  }
  ::PostQuitMessage(0);
}
