// The companion service "Brenwick Service": the check during a run, the repair step and the
// reinstall from the vendor web site.
#pragma once

#include <string>

#include "engine/CheckContext.h"
#include "engine/ServiceControl.h"

constexpr const char* kCompanionInstallerFile = "BrenwickService.exe";
constexpr unsigned kCompanionInstallerWaitMs = 300000;

// True when nothing is wrong or no Flash Player flavour is installed (the service is then
// not examined). False with `kind` set to 2, 3, 7 or 8 (problemsFound set), or with kind left
// at 0 when the service manager cannot be opened (the caller sets problemsFound then).
bool CheckCompanionService(CheckContext& ctx, int32_t& kind);

// Start type automatic, started when stopped; reinstalled when missing, when its status
// cannot be read or when it will not start. Nothing happens without a service manager.
void EnsureCompanionService(ServiceControl& services, unsigned installerWaitMs = kCompanionInstallerWaitMs);
// Download the installer into the Flash Player folder, run it with "-Start", then make the
// service automatic and start it whatever came of the download and the run.
void ReinstallCompanionService(ServiceControl& services, unsigned installerWaitMs = kCompanionInstallerWaitMs);

// Vendor web site + "/brenwick/" + helperVersion + "/BrenwickService.exe"; an empty
// helperVersion (no configuration fetched yet) leaves two slashes in a row.
std::string CompanionServiceUrl();
// "Macromed\Flash\" in the 32-bit system folder (SysWOW64 on 64-bit Windows).
std::wstring CompanionServiceFolder();
// "-Start" for the companion installer, empty for the Flash Player installers.
std::string InstallerArguments(bool withStart);
