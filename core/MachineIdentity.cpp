#include "core/MachineIdentity.h"

#include <windows.h>
#include <iphlpapi.h>
#include <objbase.h>

#include <vector>

#include "core/Aes.h"
#include "core/MacAddress.h"
#include "core/ScopedHandle.h"
#include "core/StrUtil.h"
#include "core/ToolContext.h"

namespace {

// The executable is a 32-bit process; naming the view keeps a 64-bit build on the same value.
constexpr REGSAM kGuidKeyAccess = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_WOW64_32KEY;
constexpr DWORD kGuidReadUnits = 260;

std::vector<AdapterRecord> ReadAdapters() {
  ULONG size = sizeof(IP_ADAPTER_INFO);
  std::vector<unsigned char> buffer(size);
  if (GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size) == ERROR_BUFFER_OVERFLOW)
    buffer.resize(size);
  std::vector<AdapterRecord> adapters;
  if (GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size) != NO_ERROR) return adapters;
  for (auto* info = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()); info; info = info->Next) {
    UINT length = info->AddressLength < MAX_ADAPTER_ADDRESS_LENGTH ? info->AddressLength : MAX_ADAPTER_ADDRESS_LENGTH;
    adapters.push_back({info->Type, std::vector<uint8_t>(info->Address, info->Address + length)});
  }
  return adapters;
}

// Creates a GUID text and stores it without its terminating NUL, as the companion service
// product expects; the text is returned even when storing fails.
std::wstring StoreNewGuid(HKEY key) {
  std::wstring text = NewGuidText();
  RegSetValueExW(key, kGuidValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>(text.size() * sizeof(wchar_t)));
  return text;
}

std::wstring ReadStoredGuid(HKEY key, DWORD byteSize) {
  // A value longer than the usual 260 units is read in full rather than cut short.
  DWORD units = byteSize / sizeof(wchar_t) + 1;
  if (units < kGuidReadUnits) units = kGuidReadUnits;
  std::vector<wchar_t> buffer(units, L'\0');
  DWORD bytes = static_cast<DWORD>((units - 1) * sizeof(wchar_t));
  if (RegQueryValueExW(key, kGuidValueName, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &bytes) !=
      ERROR_SUCCESS)
    return {};
  return std::wstring(buffer.data());
}

}  // namespace

std::wstring GetMacAddressText() { return AnsiToWide(ChooseMacAddressText(ReadAdapters())); }

std::string ReadOrCreateRegistryGuid() {
  std::wstring text;
  ScopedRegKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kGuidKeyPath, 0, kGuidKeyAccess, key.Receive()) == ERROR_SUCCESS) {
    DWORD size = 0;
    if (RegQueryValueExW(key.Get(), kGuidValueName, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
      text = StoreNewGuid(key.Get());
    else
      text = ReadStoredGuid(key.Get(), size);
  } else if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kGuidKeyPath, 0, nullptr, 0, kGuidKeyAccess, nullptr,
                             key.Receive(), nullptr) == ERROR_SUCCESS) {
    text = StoreNewGuid(key.Get());
  }
  return WideToAnsi(text);
}

std::wstring NewGuidText() {
  GUID guid;
  if (FAILED(CoCreateGuid(&guid))) return {};
  return FormatStringW(L"{%08X-%04X-%04x-%02X%02X-%02X%02X%02X%02X%02X%02X}", static_cast<unsigned>(guid.Data1), guid.Data2, guid.Data3,
                       guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
                       guid.Data4[6], guid.Data4[7]);
}

void LoadMachineIdentity(ToolContext& context) {
  context.encryptedMac = AesEncryptHex(kIdentityKey, WideToAnsi(GetMacAddressText()));
  std::string guid = ReadOrCreateRegistryGuid();
  if (guid.empty()) guid = WideToAnsi(NewGuidText());
  if (!guid.empty()) context.machineGuid = guid;
}

ToolContext& GetToolContext() {
  // A function-local static is created once, and no other caller passes this line before the
  // constructor (which loads the identity) has returned.
  static ToolContext* context = [] {
    auto* created = new ToolContext;  // lives until the process ends, never destroyed
    LoadMachineIdentity(*created);
    return created;
  }();
  return *context;
}

std::string GetEncryptedMac() { return GetToolContext().encryptedMac; }
std::string GetMachineGuid() { return GetToolContext().machineGuid; }
