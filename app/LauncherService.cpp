#include "app/LauncherService.h"

#include <tlhelp32.h>

#include <cwctype>

#include "core/ConfigFile.h"
#include "core/ScopedHandle.h"
#include "core/SysUtil.h"

namespace {
constexpr size_t kMaxBinaryPath = 259;  // a 260-character buffer with its terminator

bool StartBootRepairProcess(const std::wstring& exePath, ScopedHandle& process) {
  std::wstring command = QuotedCommandLine(exePath, L"runhide");
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    return false;
  }
  ::CloseHandle(info.hThread);
  process.Reset(info.hProcess);
  return true;
}

// The service manager starts its services from services.exe. Asking first spares a process
// started any other way the dispatcher's attempt to connect, which Wine lets run for seconds.
bool StartedByServiceManager() {
  ScopedHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return true;  // cannot tell: let the dispatcher decide
  const DWORD self = ::GetCurrentProcessId();
  DWORD parent = 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more; more = ::Process32NextW(snapshot.Get(), &entry)) {
    if (entry.th32ProcessID == self) parent = entry.th32ParentProcessID;
  }
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more; more = ::Process32NextW(snapshot.Get(), &entry)) {
    if (entry.th32ProcessID != parent) continue;
    std::wstring name = entry.szExeFile;
    for (wchar_t& c : name) c = static_cast<wchar_t>(std::towlower(c));
    return name == L"services.exe";
  }
  return false;
}

// The launcher as a service: one service per process, so plain statics.
struct LauncherServiceState {
  std::wstring exePath;
  SERVICE_STATUS_HANDLE statusHandle = nullptr;
  HANDLE stopRequested = nullptr;
  bool launched = false;
};
LauncherServiceState g_launcher;

void ReportStatus(DWORD state) {
  SERVICE_STATUS status{};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
  ::SetServiceStatus(g_launcher.statusHandle, &status);
}

DWORD WINAPI LauncherControl(DWORD control, DWORD, LPVOID, LPVOID) {
  if (control == SERVICE_CONTROL_STOP || control == SERVICE_CONTROL_SHUTDOWN) {
    ReportStatus(SERVICE_STOP_PENDING);
    ::SetEvent(g_launcher.stopRequested);
  }
  return NO_ERROR;
}

void WINAPI LauncherMain(DWORD, LPWSTR*) {
  g_launcher.statusHandle = ::RegisterServiceCtrlHandlerExW(kLauncherServiceName, LauncherControl, nullptr);
  if (!g_launcher.statusHandle) return;
  g_launcher.stopRequested = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ReportStatus(SERVICE_RUNNING);
  ScopedHandle process;
  g_launcher.launched = StartBootRepairProcess(g_launcher.exePath, process);
  if (g_launcher.launched) {
    // A stop leaves the boot pass to finish on its own; it needs nothing from us.
    HANDLE waits[] = {process.Get(), g_launcher.stopRequested};
    ::WaitForMultipleObjects(2, waits, FALSE, INFINITE);
  }
  ReportStatus(SERVICE_STOPPED);
}
}  // namespace

std::wstring LauncherBinaryPath(const std::wstring& exePath) { return QuotedCommandLine(exePath, L"-runservice"); }

bool LauncherServiceExists(ServiceControl& sc) {
  ScopedServiceHandle manager(sc, sc.OpenManager());
  if (!manager) return false;
  ScopedServiceHandle service(sc, sc.Open(manager.Get(), kLauncherServiceName));
  return static_cast<bool>(service);
}

int CreateLauncherService(ServiceControl& sc) {
  wchar_t path[MAX_PATH] = {};
  DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 1;
  return CreateLauncherServiceFor(path, sc);
}

int CreateLauncherServiceFor(const std::wstring& exePath, ServiceControl& sc) {
  ScopedServiceHandle manager(sc, sc.OpenManager());
  if (!manager) return 1;
  ServiceRegistration reg;
  reg.name = kLauncherServiceName;
  reg.displayName = kLauncherServiceName;
  reg.binaryPath = LauncherBinaryPath(exePath);
  if (reg.binaryPath.size() > kMaxBinaryPath) return 1;
  ScopedServiceHandle service(sc, sc.Create(manager.Get(), reg));
  return service ? 0 : 1;
}

int DeleteLauncherService(ServiceControl& sc) {
  ScopedServiceHandle manager(sc, sc.OpenManager());
  if (!manager) return 1;
  ScopedServiceHandle service(sc, sc.Open(manager.Get(), kLauncherServiceName));
  if (!service) return 1;
  return sc.Delete(service.Get()) ? 0 : 1;
}

void StopAndDeleteLauncherService(SC_HANDLE manager) { StopAndDeleteLauncherService(manager, SystemServiceControl()); }

void StopAndDeleteLauncherService(ServiceHandle manager, ServiceControl& sc) {
  ScopedServiceHandle service(sc, sc.Open(manager, kLauncherServiceName));
  if (!service) return;
  uint32_t state = 0;
  if (sc.QueryState(service.Get(), state) && state != svc::kStopped) sc.Stop(service.Get());
  // The manager removes the entry once the service has stopped.
  sc.Delete(service.Get());
}

void SetStartupRepair(bool enabled) {
  DeleteLauncherService();
  if (enabled) CreateLauncherService();
  WriteSetting("checked", enabled ? "1" : "0");
}

bool RunBootRepairAndWait(const std::wstring& exePath) {
  ScopedHandle process;
  if (!StartBootRepairProcess(exePath, process)) return false;
  ::WaitForSingleObject(process.Get(), INFINITE);
  return true;
}

bool LaunchBootRepairProcess(const std::wstring& exePath) {
  g_launcher.exePath = exePath;
  if (!StartedByServiceManager()) return RunBootRepairAndWait(exePath);
  SERVICE_TABLE_ENTRYW table[] = {{const_cast<LPWSTR>(kLauncherServiceName), LauncherMain}, {nullptr, nullptr}};
  if (::StartServiceCtrlDispatcherW(table)) return g_launcher.launched;
  // The manager did not answer: the plain launch-and-wait.
  return RunBootRepairAndWait(exePath);
}
