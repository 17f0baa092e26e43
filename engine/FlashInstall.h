// Fetching and running the Flash Player installers a check named.
#pragma once

#include <windows.h>

#include "engine/CheckContext.h"
#include "engine/RunView.h"

// Repair step: downloads and runs the entries marked for installation (state 1), keeping
// progressLimit for the animation and showing the installing view once an installer is here.
void InstallFlashPlayers(CheckContext& ctx, RunView& view);

// The GoOfficialNet action: hide the window, fetch and run every download entry, send the
// "repairresult" report (waited for at most 30 s) and end the process with exit code 0.
[[noreturn]] void DownloadLatestAndExit(CheckContext& ctx, HWND window);

// Temp folder + file name: where an installer of the download list is saved.
std::wstring InstallerLocalPath(const RepairEntry& download);
