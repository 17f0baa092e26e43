// Move-only owners for the Win32 handle kinds we use. Valid means neither null nor
// INVALID_HANDLE_VALUE; closing keeps GetLastError() as it was, so a failing call's error
// survives the cleanup of the handles around it.
#pragma once

#include <windows.h>

#include <utility>

template <typename Traits>
class ScopedGeneric {
 public:
  using Handle = typename Traits::Handle;

  ScopedGeneric() = default;
  explicit ScopedGeneric(Handle h) : h_(h) {}
  ~ScopedGeneric() { Close(); }
  ScopedGeneric(const ScopedGeneric&) = delete;
  ScopedGeneric& operator=(const ScopedGeneric&) = delete;
  ScopedGeneric(ScopedGeneric&& other) noexcept : h_(other.Take()) {}
  ScopedGeneric& operator=(ScopedGeneric&& other) noexcept {
    if (this != &other) Reset(other.Take());
    return *this;
  }

  bool IsValid() const { return Traits::IsValid(h_); }
  explicit operator bool() const { return IsValid(); }
  Handle Get() const { return h_; }
  // For out-parameters: closes what is held and hands out the slot.
  Handle* Receive() {
    Close();
    return &h_;
  }
  [[nodiscard]] Handle Take() { return std::exchange(h_, Traits::Null()); }
  void Reset(Handle h = Traits::Null()) {
    Close();
    h_ = h;
  }
  void Close() {
    if (IsValid()) {
      DWORD error = ::GetLastError();
      Traits::Close(h_);
      ::SetLastError(error);
    }
    h_ = Traits::Null();
  }

 private:
  Handle h_ = Traits::Null();
};

struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { ::CloseHandle(h); }
};
struct RegKeyTraits {
  using Handle = HKEY;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::RegCloseKey(h); }
};
struct ScHandleTraits {
  using Handle = SC_HANDLE;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::CloseServiceHandle(h); }
};
struct ModuleTraits {
  using Handle = HMODULE;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::FreeLibrary(h); }
};
struct GdiObjectTraits {
  using Handle = HGDIOBJ;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::DeleteObject(h); }
};

using ScopedHandle = ScopedGeneric<KernelHandleTraits>;
using ScopedRegKey = ScopedGeneric<RegKeyTraits>;
using ScopedScHandle = ScopedGeneric<ScHandleTraits>;
using ScopedModule = ScopedGeneric<ModuleTraits>;
using ScopedGdiObject = ScopedGeneric<GdiObjectTraits>;

// Puts the previously selected object back into the DC when it ends.
class ScopedSelectObject {
 public:
  ScopedSelectObject(HDC dc, HGDIOBJ obj) : dc_(dc), old_(::SelectObject(dc, obj)) {}
  ~ScopedSelectObject() { ::SelectObject(dc_, old_); }
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};
