// Start-up repair: the tool's own service "QuorvaneSvr", which runs this executable with
// "-runservice" at every system start; that process starts the boot pass ("runhide").
#pragma once

#include <windows.h>

#include <string>

#include "engine/ServiceControl.h"

constexpr const wchar_t* kLauncherServiceName = L"QuorvaneSvr";

// True when "QuorvaneSvr" can be opened.
bool LauncherServiceExists(ServiceControl& sc = SystemServiceControl());
// 0 when registered, 1 on failure (also when it exists already, or when the binary path
// `"<exe>" -runservice` would not fit in 259 characters).
int CreateLauncherService(ServiceControl& sc = SystemServiceControl());
int CreateLauncherServiceFor(const std::wstring& exePath, ServiceControl& sc);
// 0 when unregistered (without stopping it first), 1 on failure.
int DeleteLauncherService(ServiceControl& sc = SystemServiceControl());
// Sends a running launcher the stop control and unregisters it; returns at once. The caller
// keeps ownership of the manager handle and closes it.
void StopAndDeleteLauncherService(SC_HANDLE manager);
void StopAndDeleteLauncherService(ServiceHandle manager, ServiceControl& sc);
// The settings dialog's switch: unregister, register again when enabled, write "checked".
void SetStartupRepair(bool enabled);

// `"<exe>" -runservice`, the launcher's binary path.
std::wstring LauncherBinaryPath(const std::wstring& exePath);

// The "runservice" mode. Started by the service manager, it speaks the service protocol:
// reports running, starts `"<exe>" runhide` hidden, waits for it (or a stop control) and
// reports stopped. Started any other way, it starts the boot pass and waits for it. False
// when the boot pass could not be started.
bool LaunchBootRepairProcess(const std::wstring& exePath);
// The plain launch: `"<exe>" runhide`, hidden, waited for without limit.
bool RunBootRepairAndWait(const std::wstring& exePath);
