// The service-control calls the engine and the boot pass make, behind one interface so tests
// can reach states a real service manager will not easily take (pending, paused, a status
// query that fails, a manager that cannot be opened). Platform-free: handles are opaque.
//
// Every operation of ours opens the manager and the service for itself and closes both before
// it returns; ScopedServiceHandle makes that hold on every path.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace svc {
// Windows service manager values, as the system defines them.
constexpr uint32_t kAutoStart = 2;
constexpr uint32_t kDemandStart = 3;
constexpr uint32_t kDisabled = 4;
constexpr uint32_t kStopped = 1;
constexpr uint32_t kStartPending = 2;
constexpr uint32_t kStopPending = 3;
constexpr uint32_t kRunning = 4;
constexpr uint32_t kContinuePending = 5;
constexpr uint32_t kPausePending = 6;
constexpr uint32_t kPaused = 7;
constexpr uint32_t kOwnProcess = 0x10;
constexpr uint32_t kErrorNormal = 1;
}  // namespace svc

// The companion service every probe and repair looks at.
constexpr const wchar_t* kCompanionServiceName = L"Brenwick Service";

using ServiceHandle = void*;

// What CreateService registers (the launcher service is the only one we create).
struct ServiceRegistration {
  std::wstring name;
  std::wstring displayName;
  std::wstring binaryPath;
  uint32_t serviceType = svc::kOwnProcess;
  uint32_t startType = svc::kAutoStart;
  uint32_t errorControl = svc::kErrorNormal;
};

class ServiceControl {
 public:
  virtual ~ServiceControl() = default;

  // Local manager, default database, SC_MANAGER_ALL_ACCESS. Null on failure.
  virtual ServiceHandle OpenManager() = 0;
  // SERVICE_ALL_ACCESS. Null on failure (for example, no such service).
  virtual ServiceHandle Open(ServiceHandle manager, const std::wstring& name) = 0;
  virtual ServiceHandle Create(ServiceHandle manager, const ServiceRegistration& reg) = 0;
  // The configuration is read into a zero-filled 4096-byte buffer, so a failed query reports
  // start type 0 (never automatic). Returns whether the query succeeded.
  virtual bool QueryStartType(ServiceHandle service, uint32_t& startType) = 0;
  virtual bool QueryState(ServiceHandle service, uint32_t& currentState) = 0;
  // ChangeServiceConfigW changing only the start type to automatic.
  virtual bool SetAutoStart(ServiceHandle service) = 0;
  // StartServiceW without arguments.
  virtual bool Start(ServiceHandle service) = 0;
  // SERVICE_CONTROL_STOP; does not wait for the service to stop.
  virtual bool Stop(ServiceHandle service) = 0;
  virtual bool Delete(ServiceHandle service) = 0;
  virtual void Close(ServiceHandle handle) = 0;
};

// Owns one manager or service handle of a ServiceControl.
class ScopedServiceHandle {
 public:
  ScopedServiceHandle(ServiceControl& control, ServiceHandle handle) : control_(&control), h_(handle) {}
  ~ScopedServiceHandle() { Close(); }
  ScopedServiceHandle(const ScopedServiceHandle&) = delete;
  ScopedServiceHandle& operator=(const ScopedServiceHandle&) = delete;
  ScopedServiceHandle(ScopedServiceHandle&& other) noexcept
      : control_(other.control_), h_(std::exchange(other.h_, nullptr)) {}

  explicit operator bool() const { return h_ != nullptr; }
  ServiceHandle Get() const { return h_; }
  void Close() {
    if (h_) control_->Close(std::exchange(h_, nullptr));
  }

 private:
  ServiceControl* control_;
  ServiceHandle h_;
};

// The real service control manager (Windows builds only).
ServiceControl& SystemServiceControl();
