// Machine state for the engine's Wine tests: the Flash Player registry keys in both views
// and the fixture companion service in the real service manager.
#pragma once

#include <windows.h>

#include <string>

namespace enginetest {

constexpr const wchar_t* kFlashKeys[] = {L"FlashPlayerActiveX", L"FlashPlayerPlugin", L"FlashPlayerPepper"};

inline void WriteFlashValue(const std::wstring& key, REGSAM view, const wchar_t* name, DWORD type, const void* data,
                            DWORD bytes) {
  HKEY handle = nullptr;
  std::wstring sub = L"Software\\Macromedia\\" + key;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, sub.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &handle,
                      nullptr) == ERROR_SUCCESS) {
    RegSetValueExW(handle, name, 0, type, static_cast<const BYTE*>(data), bytes);
    RegCloseKey(handle);
  }
}
inline void WriteFlashText(const std::wstring& key, REGSAM view, const wchar_t* name, const std::wstring& text) {
  WriteFlashValue(key, view, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}
// What an installation of `key` leaves: presence in the 64-bit view, version in the 32-bit one.
inline void InstallFlash(const std::wstring& key, const std::wstring& version) {
  WriteFlashText(key, KEY_WOW64_64KEY, L"UninstallerPath", L"C:\\uninstall.exe");
  WriteFlashText(key, KEY_WOW64_32KEY, L"Version", version);
}
inline void ClearFlash() {
  for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
    HKEY parent = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Macromedia", 0, KEY_ALL_ACCESS | view, &parent) != ERROR_SUCCESS)
      continue;
    for (const wchar_t* key : kFlashKeys) RegDeleteTreeW(parent, key);
    RegCloseKey(parent);
  }
}

// --- the fixture companion service in the real service manager --------------------------
struct ServiceState {
  bool exists = false;
  DWORD startType = 0;
  DWORD state = 0;
};

inline ServiceState QueryCompanion() {
  ServiceState s;
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE service = manager ? OpenServiceW(manager, L"Brenwick Service", SERVICE_ALL_ACCESS) : nullptr;
  if (service) {
    s.exists = true;
    alignas(8) unsigned char buffer[4096] = {};
    DWORD needed = 0;
    if (QueryServiceConfigW(service, reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer), sizeof(buffer), &needed))
      s.startType = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer)->dwStartType;
    SERVICE_STATUS status{};
    if (QueryServiceStatus(service, &status)) s.state = status.dwCurrentState;
    CloseServiceHandle(service);
  }
  if (manager) CloseServiceHandle(manager);
  return s;
}

inline bool WaitForCompanionState(DWORD state, DWORD timeoutMs = 10000) {
  for (DWORD waited = 0; waited <= timeoutMs; waited += 50) {
    if (QueryCompanion().state == state) return true;
    Sleep(50);
  }
  return false;
}

// Stops and unregisters the companion service, waiting until it is gone.
inline void RemoveCompanion() {
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (!manager) return;
  SC_HANDLE service = OpenServiceW(manager, L"Brenwick Service", SERVICE_ALL_ACCESS);
  if (service) {
    SERVICE_STATUS status{};
    ControlService(service, SERVICE_CONTROL_STOP, &status);
    WaitForCompanionState(SERVICE_STOPPED, 5000);
    Sleep(300);  // the process ends just after it reports stopped; its file is then free
    DeleteService(service);
    CloseServiceHandle(service);
  }
  CloseServiceHandle(manager);
  for (int i = 0; i < 100 && QueryCompanion().exists; ++i) Sleep(50);
}

// Registers `"<program>" service <mode>` as the companion service with a start type, and
// starts it when `running`.
inline bool RegisterCompanion(const std::wstring& program, const wchar_t* mode, DWORD startType, bool running) {
  RemoveCompanion();
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (!manager) return false;
  std::wstring binary = L"\"" + program + L"\" service " + mode;
  SC_HANDLE service = CreateServiceW(manager, L"Brenwick Service", L"Brenwick Service", SERVICE_ALL_ACCESS,
                                     SERVICE_WIN32_OWN_PROCESS, running ? SERVICE_DEMAND_START : startType,
                                     SERVICE_ERROR_NORMAL, binary.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
  bool ok = service != nullptr;
  if (service && running) {
    ok = StartServiceW(service, 0, nullptr) && WaitForCompanionState(SERVICE_RUNNING);
    ChangeServiceConfigW(service, SERVICE_NO_CHANGE, startType, SERVICE_NO_CHANGE, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr);
  }
  if (service) CloseServiceHandle(service);
  CloseServiceHandle(manager);
  return ok;
}

}  // namespace enginetest
