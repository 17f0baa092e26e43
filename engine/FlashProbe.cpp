#include "engine/FlashProbe.h"

#include <windows.h>

#include <cwchar>
#include <iterator>

#include "core/ScopedHandle.h"
#include "core/StrUtil.h"

namespace {
// KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY, as the product has always opened these keys.
constexpr REGSAM kFlashKeyAccess = 0x2001F;

std::wstring FlashSubKey(const std::wstring& keyName) {
  return FormatStringW(L"Software\\Macromedia\\%s", keyName.c_str());
}

bool OpenFlashKey(const std::wstring& keyName, REGSAM access, ScopedRegKey& key) {
  return ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, FlashSubKey(keyName).c_str(), 0, access, key.Receive()) ==
         ERROR_SUCCESS;
}
}  // namespace

bool FlashKeyValueExists(const std::wstring& keyName, const std::wstring& valueName) {
  ScopedRegKey key;
  if (!OpenFlashKey(keyName, kFlashKeyAccess | KEY_WOW64_64KEY, key)) return false;
  DWORD type = REG_SZ;
  DWORD size = 0;
  return ::RegQueryValueExW(key.Get(), valueName.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
}

std::string ReadFlashVersion(const std::string& keyName) {
  ScopedRegKey key;
  if (!OpenFlashKey(AnsiToWide(keyName), kFlashKeyAccess | KEY_WOW64_32KEY, key)) return "";
  DWORD size = 0;
  if (::RegQueryValueExW(key.Get(), L"Version", nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) return "";
  // 260 units: 259 characters and their terminator fit; a longer value fails to read and
  // counts as missing. A value stored without a terminator may fill all 260 units.
  wchar_t buffer[260] = {};
  DWORD bytes = sizeof(buffer);
  if (::RegQueryValueExW(key.Get(), L"Version", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &bytes) !=
      ERROR_SUCCESS) {
    return "";
  }
  return WideToAnsi(std::wstring(buffer, ::wcsnlen(buffer, std::size(buffer))));
}

bool IsScriptDebugger(const std::string& keyName) {
  ScopedRegKey key;
  if (!OpenFlashKey(AnsiToWide(keyName), kFlashKeyAccess | KEY_WOW64_32KEY, key)) return false;
  // A value wider than 32 bits does not fit and reads as the ordinary build.
  DWORD value = 0;
  DWORD bytes = sizeof(value);
  if (::RegQueryValueExW(key.Get(), L"isScriptDebugger", nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                         &bytes) != ERROR_SUCCESS) {
    return false;
  }
  return value == 1;
}

int GetOsVersionClass() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  // GetVersionExW on purpose: without supportedOS entries it reports 6.2 on Windows 8.1+.
  ::GetVersionExW(&info);
#pragma GCC diagnostic pop
  return OsVersionClass(info.dwMajorVersion, info.dwMinorVersion);
}

FlavourReading ReadFlavour(const FlavourInfo& info) {
  FlavourReading reading;
  reading.present = FlashKeyValueExists(AnsiToWide(info.keyName), L"UninstallerPath");
  if (reading.present) {
    reading.scriptDebugger = IsScriptDebugger(info.keyName);
    reading.version = ReadFlashVersion(info.keyName);
  }
  return reading;
}

bool IsAnyFlashInstalled(CheckContext& ctx) {
  // All three are tested; no early stop.
  bool activeX = FlashKeyValueExists(L"FlashPlayerActiveX", L"UninstallerPath");
  bool pepper = FlashKeyValueExists(L"FlashPlayerPepper", L"UninstallerPath");
  bool plugin = FlashKeyValueExists(L"FlashPlayerPlugin", L"UninstallerPath");
  if (activeX || pepper || plugin) ctx.flashInstalled = true;
  return ctx.flashInstalled;
}

void CheckFlashVersions(CheckContext& ctx) {
  FlavourReading readings[3];
  for (const FlavourInfo& info : kFlavours) readings[info.flavour] = ReadFlavour(info);
  ApplyFlashVersionRules(ctx, readings, GetOsVersionClass(), kVendorWebOrigin);
}

bool IsFlavourUpToDate(const CheckContext& ctx, int32_t flavour) {
  const FlavourInfo* info = FindFlavour(flavour);
  if (!info) return true;
  return ReadingUpToDate(ReadFlavour(*info), ctx.remoteConfig.flashVersion);
}
