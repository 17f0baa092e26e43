// The modules skins are read from (Win32 side of the skin source): the instance module, an
// optional separate resource module, and reading module resources. Process-wide, like the
// skin root of ui/core/SkinSource.h.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace DuiLib {

void SetSkinInstance(HINSTANCE instance);
HINSTANCE GetSkinInstance();
void SetSkinResourceModule(HINSTANCE module);
// The resource module when one is set, else the instance module.
HINSTANCE GetSkinResourceModule();
// The folder of the instance module's file, with a trailing '\'.
std::wstring GetSkinInstancePath();

// Copies a resource of the resource module. `name` may be MAKEINTRESOURCE(id).
bool ReadModuleResource(const wchar_t* name, const wchar_t* type, std::vector<uint8_t>& out);
// A resource's bytes in place (valid while the module stays loaded), or nullptr.
const uint8_t* FindModuleResource(const wchar_t* name, const wchar_t* type, size_t& size);
// Opens the ZIP package held as resource `id` of `type` (for the program: "ZIPRES", 130) as
// the process's memory package.
bool OpenSkinPackageResource(unsigned id, const wchar_t* type = L"ZIPRES");

}  // namespace DuiLib
