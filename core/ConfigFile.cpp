#include "core/ConfigFile.h"

#include <windows.h>

#include "core/ScopedHandle.h"
#include "core/StrUtil.h"
#include "core/SysUtil.h"

namespace {

// Every handle we open on the file shares delete access: a save replaces the file by moving
// another over it, and that move fails while any handle on the file withholds it.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// How long a save keeps trying to replace the file (another program may hold it open
// without delete sharing for a moment), and the pause between tries.
constexpr DWORD kReplaceRetryMs = 1000;
constexpr DWORD kReplacePauseMs = 25;

// The attributes a replacement takes over from the file it replaces (a hidden settings file
// stays hidden).
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool ReadWholeFile(const std::wstring& path, std::string& out) {
  ScopedHandle file(
      ::CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
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
  ScopedHandle probe(::CreateFileW(widePath.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!probe) {
    // CREATE_NEW never overwrites a file that appeared in the meantime.
    ScopedHandle created(::CreateFileW(widePath.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                                       CREATE_NEW, 0, nullptr));
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
  // The sibling's name is this process's and thread's own: two instances saving at once must
  // not write into one temporary file.
  std::wstring target = AnsiToWide(path_);
  std::wstring temporary =
      target + FormatStringW(L".%lu.%lu.tmp", ::GetCurrentProcessId(), ::GetCurrentThreadId());
  // A read-only settings file stays as it is, like a file that cannot be opened for writing.
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
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
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kKeptAttributes))
    ::SetFileAttributesW(temporary.c_str(), attributes & kKeptAttributes);
  // Our own readers share delete access, so the move waits at most for a reader of another
  // kind; after the retry time the save is given up and the old file stays.
  const DWORD start = ::GetTickCount();
  while (!::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    if (::GetTickCount() - start >= kReplaceRetryMs) {
      ::DeleteFileW(temporary.c_str());
      return false;
    }
    ::Sleep(kReplacePauseMs);
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
