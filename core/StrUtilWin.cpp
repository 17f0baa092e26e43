// Conversions through the system's ANSI code page.
#include <windows.h>

#include <vector>

#include "core/StrUtil.h"

std::string WideToAnsi(const std::wstring& wide) {
  int size = ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return std::string();
  std::vector<char> buffer(static_cast<size_t>(size));
  ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, buffer.data(), size, nullptr, nullptr);
  return std::string(buffer.data());
}

std::wstring AnsiToWide(const std::string& narrow) {
  int size = ::MultiByteToWideChar(CP_ACP, 0, narrow.c_str(), -1, nullptr, 0);
  if (size <= 0) return std::wstring();
  std::vector<wchar_t> buffer(static_cast<size_t>(size));
  ::MultiByteToWideChar(CP_ACP, 0, narrow.c_str(), -1, buffer.data(), size);
  return std::wstring(buffer.data());
}
