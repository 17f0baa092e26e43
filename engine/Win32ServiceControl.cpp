// The thin Win32 side of ServiceControl: one system call per operation.
#include <windows.h>

#include <vector>

#include "engine/CheckContext.h"
#include "engine/ServiceControl.h"

namespace {
SC_HANDLE Sc(ServiceHandle h) { return static_cast<SC_HANDLE>(h); }

class Win32ServiceControl : public ServiceControl {
 public:
  ServiceHandle OpenManager() override { return ::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS); }
  ServiceHandle Open(ServiceHandle manager, const std::wstring& name) override {
    return ::OpenServiceW(Sc(manager), name.c_str(), SERVICE_ALL_ACCESS);
  }
  ServiceHandle Create(ServiceHandle manager, const ServiceRegistration& reg) override {
    return ::CreateServiceW(Sc(manager), reg.name.c_str(), reg.displayName.c_str(), SERVICE_ALL_ACCESS,
                            reg.serviceType, reg.startType, reg.errorControl, reg.binaryPath.c_str(),
                            nullptr, nullptr, nullptr, nullptr, nullptr);
  }
  bool QueryStartType(ServiceHandle service, uint32_t& startType) override {
    // Zero-filled, so a failed query leaves the start type at 0.
    std::vector<unsigned char> buffer(4096, 0);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    DWORD needed = 0;
    BOOL ok = ::QueryServiceConfigW(Sc(service), config, static_cast<DWORD>(buffer.size()), &needed);
    startType = config->dwStartType;
    return ok != FALSE;
  }
  bool QueryState(ServiceHandle service, uint32_t& currentState) override {
    SERVICE_STATUS status{};
    if (!::QueryServiceStatus(Sc(service), &status)) return false;
    currentState = status.dwCurrentState;
    return true;
  }
  bool SetAutoStart(ServiceHandle service) override {
    return ::ChangeServiceConfigW(Sc(service), SERVICE_NO_CHANGE, SERVICE_AUTO_START, SERVICE_NO_CHANGE,
                                  nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr) != FALSE;
  }
  bool Start(ServiceHandle service) override { return ::StartServiceW(Sc(service), 0, nullptr) != FALSE; }
  bool Stop(ServiceHandle service) override {
    SERVICE_STATUS status{};
    return ::ControlService(Sc(service), SERVICE_CONTROL_STOP, &status) != FALSE;
  }
  bool Delete(ServiceHandle service) override { return ::DeleteService(Sc(service)) != FALSE; }
  void Close(ServiceHandle handle) override {
    DWORD error = ::GetLastError();
    ::CloseServiceHandle(Sc(handle));
    ::SetLastError(error);
  }
};
}  // namespace

ServiceControl& SystemServiceControl() {
  static Win32ServiceControl control;
  return control;
}

ServiceControl& ServicesOf(const CheckContext& ctx) {
  return ctx.services ? *ctx.services : SystemServiceControl();
}
