// wizard_host: opens one wizard window of the installer plug-in the way the installer script
// does (InitWnd with the wizard's skin folder, then ShowMainWnd, whose message loop runs until
// the process is ended), so a benchmark can watch that window on its own.
//
//   wizard_host.exe <nsQuorvanePlug.dll> install|uninstall <skin folder>
//
// The benchmark scripts compile it themselves with the build's cross compiler.
#include <windows.h>

#include <string>

#include "tests/wine/plugin_host.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  int argc = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  if (argv == nullptr || argc < 4) return 2;
  plughost::Installer installer(argv[1]);
  if (installer.Module() == nullptr) return 3;
  std::string kind = plughost::Narrow(argv[2]);
  installer.Call("InitWnd", {kind, plughost::Narrow(argv[3]), kind + ".xml"});
  installer.Call("ShowMainWnd");
  return 0;
}
