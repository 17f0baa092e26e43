#include "ui/render/SkinModule.h"

#include <cstring>

#include "ui/core/SkinSource.h"

namespace DuiLib {

namespace {

struct ModuleState {
  HINSTANCE instance = nullptr;
  HINSTANCE resource = nullptr;
};

ModuleState& Modules() {
  static ModuleState state;
  return state;
}

}  // namespace

void SetSkinInstance(HINSTANCE instance) { Modules().instance = instance; }
HINSTANCE GetSkinInstance() { return Modules().instance; }
void SetSkinResourceModule(HINSTANCE module) { Modules().resource = module; }

HINSTANCE GetSkinResourceModule() {
  return Modules().resource ? Modules().resource : Modules().instance;
}

std::wstring GetSkinInstancePath() {
  wchar_t path[MAX_PATH + 1] = {};
  DWORD n = ::GetModuleFileNameW(Modules().instance, path, MAX_PATH);
  std::wstring folder(path, n);
  size_t slash = folder.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1);
}

const uint8_t* FindModuleResource(const wchar_t* name, const wchar_t* type, size_t& size) {
  size = 0;
  HMODULE module = GetSkinResourceModule();
  HRSRC found = ::FindResourceW(module, name, type);
  if (!found) return nullptr;
  HGLOBAL loaded = ::LoadResource(module, found);
  if (!loaded) return nullptr;
  // Resource memory belongs to the module: no unlock or free is needed.
  const void* data = ::LockResource(loaded);
  if (!data) return nullptr;
  size = ::SizeofResource(module, found);
  return static_cast<const uint8_t*>(data);
}

bool ReadModuleResource(const wchar_t* name, const wchar_t* type, std::vector<uint8_t>& out) {
  size_t size = 0;
  const uint8_t* data = FindModuleResource(name, type, size);
  if (!data || size == 0) return false;
  out.assign(data, data + size);
  return true;
}

bool OpenSkinPackageResource(unsigned id, const wchar_t* type) {
  size_t size = 0;
  const uint8_t* data = FindModuleResource(MAKEINTRESOURCEW(id), type, size);
  // A missing resource still selects the (failed) memory package, so reads report it.
  return OpenSkinPackageMemory(data, size);
}

}  // namespace DuiLib
