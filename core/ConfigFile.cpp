#include "core/ConfigFile.h"

#include <windows.h>

#include "core/ScopedHandle.h"
#include "core/StrUtil.h"
#include "core/SysUtil.h"

namespace {

bool ReadWholeFile(const std::wstring& path, std::string& out) {
  ScopedHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  std::string data;
  char buffer[4096];
  DWORD read = 0;
  while (::ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) data.append(buffer, read);
  out.swap(data);
  return true;
}

}  // namespace

CConfigFile::CConfigFile(const std::string& path) : path_(path) {
  std::wstring widePath = AnsiToWide(path_);
  CreateParentDirs(widePath);
  ScopedHandle probe(::CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                   nullptr));
  if (!probe) {
    // CREATE_NEW never overwrites a file that appeared in the meantime.
    ScopedHandle created(::CreateFileW(widePath.c_str(), GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_NEW, 0, nullptr));
  }
  probe.Close();
  Load();
}

void CConfigFile::Load() {
  entries_.clear();
  std::string text;
  if (ReadWholeFile(AnsiToWide(path_), text)) entries_ = ParseSettingsText(text);
}

std::string CConfigFile::GetValue(const std::string& key) const {
  for (const auto& entry : entries_)
    if (entry.first == key) return entry.second;
  return std::string();
}

void CConfigFile::SetValue(const std::string& key, const std::string& value) {
  bool found = false;
  for (auto& entry : entries_) {
    if (entry.first == key) {
      entry.second = value;
      found = true;
      break;
    }
  }
  if (!found) entries_.emplace_back(key, value);
  Save();
}

bool CConfigFile::Save() const {
  // Written beside the file and moved over it, so a crash mid-save leaves the old file whole.
  std::wstring target = AnsiToWide(path_);
  std::wstring temporary = target + L".tmp";
  std::string bytes = SerializeSettings(entries_);
  {
    ScopedHandle file(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    bool ok = bytes.empty() || (::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                                            nullptr) &&
                                written == bytes.size());
    ok = ok && ::FlushFileBuffers(file.Get());
    if (!ok) {
      file.Close();
      ::DeleteFileW(temporary.c_str());
      return false;
    }
  }
  // A read-only settings file stays as it is, like a file that cannot be opened for writing.
  DWORD attributes = ::GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    ::DeleteFileW(temporary.c_str());
    return false;
  }
  if (!::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ::DeleteFileW(temporary.c_str());
    return false;
  }
  return true;
}

std::string SettingsFilePath() { return WideToAnsi(FormatStringW(L"%sQuorvane.cfg", GetModuleDir().c_str())); }

bool ReadSetting(const std::string& key, std::string& value) {
  CConfigFile file(SettingsFilePath());
  value = file.GetValue(key);
  return true;
}

std::string ReadSetting(const std::string& key) {
  std::string value;
  ReadSetting(key, value);
  return value;
}

bool WriteSetting(const std::string& key, const std::string& value) {
  CConfigFile file(SettingsFilePath());
  file.SetValue(key, value);
  return true;
}
