#include "engine/CompanionService.h"

#include <windows.h>

#include "core/StrUtil.h"
#include "core/SysUtil.h"
#include "engine/FlashProbe.h"
#include "net/Endpoints.h"
#include "net/HttpTransfer.h"
#include "net/ToolConfig.h"

namespace {
// Start type automatic, then a start when stopped; the results are not examined.
void MakeAutomaticAndStart(ServiceControl& sc, ServiceHandle service) {
  uint32_t startType = 0;
  sc.QueryStartType(service, startType);
  if (startType != svc::kAutoStart) sc.SetAutoStart(service);
  uint32_t state = 0;
  if (sc.QueryState(service, state) && state == svc::kStopped) sc.Start(service);
}
}  // namespace

bool CheckCompanionService(CheckContext& ctx, int32_t& kind) {
  if (!IsAnyFlashInstalled(ctx)) return true;
  ServiceControl& sc = ServicesOf(ctx);
  ScopedServiceHandle manager(sc, sc.OpenManager());
  if (!manager) return false;
  ScopedServiceHandle service(sc, sc.Open(manager.Get(), kCompanionServiceName));
  if (!service) {
    ctx.problemsFound = true;
    kind = ServiceMissing;
    return false;
  }
  uint32_t startType = 0;
  sc.QueryStartType(service.Get(), startType);
  if (startType != svc::kAutoStart) {
    kind = ServiceNotAutoStart;
    ctx.problemsFound = true;
  }
  uint32_t state = 0;
  if (!sc.QueryState(service.Get(), state)) {
    ctx.problemsFound = true;
    kind = ServiceMissing;
    return false;
  }
  if (state == svc::kStopped) {
    ctx.problemsFound = true;
    kind = (kind == ServiceNotAutoStart) ? ServiceNotAutoStartStopped : ServiceStopped;
  } else {
    // This check runs first in every check, while the flag is still false: nothing is lost.
    ctx.problemsFound = (kind == ServiceNotAutoStart);
  }
  return !ctx.problemsFound;
}

void EnsureCompanionService(ServiceControl& sc, unsigned installerWaitMs) {
  ScopedServiceHandle manager(sc, sc.OpenManager());
  if (!manager) return;
  ScopedServiceHandle service(sc, sc.Open(manager.Get(), kCompanionServiceName));
  if (!service) {
    manager.Close();
    ReinstallCompanionService(sc, installerWaitMs);
    return;
  }
  uint32_t startType = 0;
  sc.QueryStartType(service.Get(), startType);
  if (startType != svc::kAutoStart) sc.SetAutoStart(service.Get());
  uint32_t state = 0;
  if (!sc.QueryState(service.Get(), state)) {
    service.Close();
    manager.Close();
    ReinstallCompanionService(sc, installerWaitMs);
    return;
  }
  if (state == svc::kStopped && !sc.Start(service.Get())) ReinstallCompanionService(sc, installerWaitMs);
}

void ReinstallCompanionService(ServiceControl& sc, unsigned installerWaitMs) {
  std::string path = FormatStringA("%s%s", WideToAnsi(CompanionServiceFolder()).c_str(), kCompanionInstallerFile);
  std::string url = CompanionServiceUrl();
  ::DeleteFileW(AnsiToWide(path).c_str());
  HttpTransfer transfer;
  if (transfer.HttpDownload(url, path) == 0) {
    RunHiddenAndWait(AnsiToWide(path), AnsiToWide(InstallerArguments(true)), installerWaitMs);
  }
  ScopedServiceHandle manager(sc, sc.OpenManager());
  if (!manager) return;
  ScopedServiceHandle service(sc, sc.Open(manager.Get(), kCompanionServiceName));
  if (!service) return;
  MakeAutomaticAndStart(sc, service.Get());
}

std::string CompanionServiceUrl() { return CompanionInstallerUrl(GetConfiguredHelperVersion()); }

std::wstring CompanionServiceFolder() {
  return (IsOs64Bit() ? GetSysWow64Dir() : GetSystemDir()) + L"Macromed\\Flash\\";
}

std::string InstallerArguments(bool withStart) { return withStart ? "-Start" : ""; }
