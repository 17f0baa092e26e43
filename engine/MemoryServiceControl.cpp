#include "engine/MemoryServiceControl.h"

namespace {
std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }
}  // namespace

void MemoryServiceControl::Add(const std::wstring& name, const MemoryService& service) {
  std::lock_guard<std::mutex> lock(mutex_);
  services_[name] = service;
}

bool MemoryServiceControl::Exists(const std::wstring& name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return services_.count(name) != 0;
}

MemoryService MemoryServiceControl::Get(const std::wstring& name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = services_.find(name);
  return it == services_.end() ? MemoryService{} : it->second;
}

std::vector<std::string> MemoryServiceControl::Calls() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return calls_;
}

int MemoryServiceControl::OpenHandleCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(handles_.size());
}

ServiceHandle MemoryServiceControl::NewHandle(const std::wstring& name) {
  uintptr_t id = nextHandle_++;
  handles_[id] = name;
  return reinterpret_cast<ServiceHandle>(id);
}

MemoryService* MemoryServiceControl::Lookup(ServiceHandle handle, std::string& nameOut) {
  auto h = handles_.find(reinterpret_cast<uintptr_t>(handle));
  if (h == handles_.end() || h->second.empty()) return nullptr;
  auto s = services_.find(h->second);
  if (s == services_.end()) return nullptr;
  nameOut = Narrow(h->second);
  return &s->second;
}

ServiceHandle MemoryServiceControl::OpenManager() {
  std::lock_guard<std::mutex> lock(mutex_);
  return managerAvailable ? NewHandle(L"") : nullptr;
}

ServiceHandle MemoryServiceControl::Open(ServiceHandle manager, const std::wstring& name) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!handles_.count(reinterpret_cast<uintptr_t>(manager)) || !services_.count(name)) return nullptr;
  return NewHandle(name);
}

ServiceHandle MemoryServiceControl::Create(ServiceHandle manager, const ServiceRegistration& reg) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!handles_.count(reinterpret_cast<uintptr_t>(manager)) || services_.count(reg.name)) return nullptr;
  MemoryService service;
  service.startType = reg.startType;
  service.state = svc::kStopped;
  service.registration = reg;
  services_[reg.name] = service;
  calls_.push_back("Create " + Narrow(reg.name));
  return NewHandle(reg.name);
}

bool MemoryServiceControl::QueryStartType(ServiceHandle service, uint32_t& startType) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string name;
  MemoryService* s = Lookup(service, name);
  startType = 0;
  if (!s || s->configQueryFails) return false;
  startType = s->startType;
  return true;
}

bool MemoryServiceControl::QueryState(ServiceHandle service, uint32_t& currentState) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string name;
  MemoryService* s = Lookup(service, name);
  if (!s || s->statusQueryFails) return false;
  currentState = s->state;
  return true;
}

bool MemoryServiceControl::SetAutoStart(ServiceHandle service) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string name;
  MemoryService* s = Lookup(service, name);
  if (!s) return false;
  calls_.push_back("SetAutoStart " + name);
  s->startType = svc::kAutoStart;
  return true;
}

bool MemoryServiceControl::Start(ServiceHandle service) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string name;
  MemoryService* s = Lookup(service, name);
  if (!s) return false;
  calls_.push_back("Start " + name);
  // The real manager refuses disabled services and services that are not stopped.
  if (s->startFails || s->startType == svc::kDisabled || s->state != svc::kStopped) return false;
  s->state = s->stateAfterStart;
  return true;
}

bool MemoryServiceControl::Stop(ServiceHandle service) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string name;
  MemoryService* s = Lookup(service, name);
  if (!s) return false;
  calls_.push_back("Stop " + name);
  if (s->state == svc::kStopped) return false;
  s->state = svc::kStopped;
  if (s->markedForDelete) services_.erase(std::wstring(name.begin(), name.end()));
  return true;
}

bool MemoryServiceControl::Delete(ServiceHandle service) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string name;
  MemoryService* s = Lookup(service, name);
  if (!s) return false;
  calls_.push_back("Delete " + name);
  // Like the real manager: a stopped service goes at once, a running one once it stops.
  if (s->state == svc::kStopped) {
    services_.erase(std::wstring(name.begin(), name.end()));
  } else {
    s->markedForDelete = true;
  }
  return true;
}

void MemoryServiceControl::Close(ServiceHandle handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  handles_.erase(reinterpret_cast<uintptr_t>(handle));
}
