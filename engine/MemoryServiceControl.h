// An in-memory service manager for tests: services in any state, including those a real
// manager cannot easily be put into, and a log of every changing call. Thread-safe, since
// the runs call it from their worker threads.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "engine/ServiceControl.h"

struct MemoryService {
  uint32_t startType = svc::kAutoStart;
  uint32_t state = svc::kRunning;
  bool configQueryFails = false;
  bool statusQueryFails = false;
  bool startFails = false;
  // A start that does not fail moves a stopped service here.
  uint32_t stateAfterStart = svc::kRunning;
  ServiceRegistration registration;
  bool markedForDelete = false;
};

class MemoryServiceControl : public ServiceControl {
 public:
  bool managerAvailable = true;

  void Add(const std::wstring& name, const MemoryService& service);
  bool Exists(const std::wstring& name) const;
  MemoryService Get(const std::wstring& name) const;
  // "SetAutoStart <name>", "Start <name>", "Stop <name>", "Delete <name>", "Create <name>".
  std::vector<std::string> Calls() const;
  int OpenHandleCount() const;

  ServiceHandle OpenManager() override;
  ServiceHandle Open(ServiceHandle manager, const std::wstring& name) override;
  ServiceHandle Create(ServiceHandle manager, const ServiceRegistration& reg) override;
  bool QueryStartType(ServiceHandle service, uint32_t& startType) override;
  bool QueryState(ServiceHandle service, uint32_t& currentState) override;
  bool SetAutoStart(ServiceHandle service) override;
  bool Start(ServiceHandle service) override;
  bool Stop(ServiceHandle service) override;
  bool Delete(ServiceHandle service) override;
  void Close(ServiceHandle handle) override;

 private:
  // Empty name: a manager handle.
  MemoryService* Lookup(ServiceHandle handle, std::string& nameOut);
  ServiceHandle NewHandle(const std::wstring& name);

  mutable std::mutex mutex_;
  std::map<std::wstring, MemoryService> services_;
  std::map<uintptr_t, std::wstring> handles_;
  uintptr_t nextHandle_ = 1;
  std::vector<std::string> calls_;
};
