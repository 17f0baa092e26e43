// The pieces of the machine identity. Windows only, except ChooseMacAddressText
// (core/MacAddress.h).
#pragma once

#include <string>

// Key under which the hardware address is encrypted.
inline constexpr char kIdentityKey[] = "M7&K3P9#4x6R#2Bq";
// HKLM, 32-bit view; the key belongs to the companion service product.
inline constexpr wchar_t kGuidKeyPath[] = L"Software\\Macromedia\\Brenwick";
inline constexpr wchar_t kGuidValueName[] = L"guid";

// Hardware address of the first Ethernet adapter whose address is not all zero, as upper-case
// hex without separators; empty without Ethernet adapters.
std::wstring GetMacAddressText();
// The stored GUID text; a new one is created and stored (REG_SZ without its terminating NUL)
// when the value is absent. Empty when the key can be neither opened nor created.
std::string ReadOrCreateRegistryGuid();
// "{XXXXXXXX-XXXX-xxxx-XXXX-XXXXXXXXXXXX}" (third group lower case), or empty.
std::wstring NewGuidText();
