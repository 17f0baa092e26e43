#include "core/SysUtil.h"

#include <windows.h>
#include <shlwapi.h>

#include <vector>

#include "core/ScopedHandle.h"

namespace {

std::wstring WithBackslash(const wchar_t* folder) { return std::wstring(folder) + L"\\"; }

// Fills once, on the first call (function-local statics are initialised thread-safely).
std::wstring ComputeModulePath() {
  wchar_t buffer[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  return buffer;
}

}  // namespace

bool IsOs64Bit() {
  using GetNativeSystemInfoFn = void(WINAPI*)(LPSYSTEM_INFO);
  HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  auto getNativeSystemInfo =
      kernel ? reinterpret_cast<GetNativeSystemInfoFn>(
                   reinterpret_cast<void*>(::GetProcAddress(kernel, "GetNativeSystemInfo")))
             : nullptr;
  if (!getNativeSystemInfo) return false;
  SYSTEM_INFO info = {};
  getNativeSystemInfo(&info);
  return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
         info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_IA64;
}

std::wstring GetModulePath() {
  static const std::wstring cache = ComputeModulePath();
  return cache;
}

std::wstring GetModuleDir() {
  static const std::wstring cache = [] {
    std::wstring path = GetModulePath();
    size_t slash = path.rfind(L'\\');
    return (slash == std::wstring::npos ? path : path.substr(0, slash)) + L"\\";
  }();
  return cache;
}

std::wstring GetSystemDir() {
  static const std::wstring cache = [] {
    wchar_t buffer[MAX_PATH] = {};
    ::GetSystemDirectoryW(buffer, MAX_PATH);
    return WithBackslash(buffer);
  }();
  return cache;
}

std::wstring GetSysWow64Dir() {
  static const std::wstring cache = [] {
    wchar_t buffer[MAX_PATH] = {};
    // On 32-bit Windows there is no WOW64 folder; the system folder is the 32-bit one there.
    if (::GetSystemWow64DirectoryW(buffer, MAX_PATH) == 0) return GetSystemDir();
    return WithBackslash(buffer);
  }();
  return cache;
}

std::wstring GetTempDir() {
  static const std::wstring cache = [] {
    wchar_t buffer[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, buffer);
    return std::wstring(buffer);
  }();
  return cache;
}

bool CreateParentDirs(const std::wstring& path) {
  if (path.empty()) return false;
  size_t slash = path.rfind(L'\\');
  std::wstring folder = slash == std::wstring::npos ? path : path.substr(0, slash);
  if (folder.empty()) return false;
  if (::PathFileExistsW(folder.c_str())) return true;
  if (::CreateDirectoryW(folder.c_str(), nullptr)) return true;
  // A bare drive ("C:") or a folder whose parent is the folder itself cannot recurse further.
  if (folder == path) return false;
  if (!CreateParentDirs(folder)) return false;
  return ::CreateDirectoryW(folder.c_str(), nullptr) != FALSE;
}

std::wstring GetFileVersionString(const std::wstring& path) {
  DWORD ignored = 0;
  DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return std::wstring();
  std::vector<unsigned char> data(size);
  if (!::GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return std::wstring();
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info ||
      length < sizeof(VS_FIXEDFILEINFO))
    return std::wstring();
  return std::to_wstring(HIWORD(info->dwFileVersionMS)) + L"." + std::to_wstring(LOWORD(info->dwFileVersionMS)) +
         L"." + std::to_wstring(HIWORD(info->dwFileVersionLS)) + L"." +
         std::to_wstring(LOWORD(info->dwFileVersionLS));
}

std::wstring QuotedCommandLine(const std::wstring& program, const std::wstring& arguments) {
  // Quoted so a path with blanks cannot be read as a shorter program plus arguments.
  return L"\"" + program + L"\" " + arguments;
}

bool RunHiddenAndWait(const std::wstring& program, const std::wstring& arguments, unsigned long timeoutMs) {
  std::wstring commandLine = QuotedCommandLine(program, arguments);
  std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
  writable.push_back(L'\0');
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process = {};
  if (!::CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
    return false;
  ScopedHandle processHandle(process.hProcess);
  ScopedHandle threadHandle(process.hThread);
  return ::WaitForSingleObject(processHandle.Get(), timeoutMs) == WAIT_OBJECT_0;
}
