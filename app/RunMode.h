// The executable's four modes, chosen from its command line.
#pragma once

#include <string>

enum class RunMode {
  Launcher,       // "runservice": started by the launcher service; runs the boot pass and waits
  BootRepair,     // "runhide": the unattended boot-time repair pass
  RemoveService,  // "UninstallServ": stop and unregister the launcher service
  Interactive,    // anything else: the main window
};

// Plain case-sensitive substring search for "runservice", "runhide", "UninstallServ", in this
// order; the first word found decides. No argument splitting, no dash required.
RunMode ChooseRunMode(const std::wstring& commandLine);
