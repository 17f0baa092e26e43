// The Win32 side of the core helpers, against Wine's real files, processes and registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "core/ConfigFile.h"
#include "core/StrUtil.h"
#include "core/SysUtil.h"

namespace {

std::wstring WinPath(const char* unixStylePath) {
  std::wstring path = AnsiToWide(unixStylePath);
  for (auto& c : path)
    if (c == L'/') c = L'\\';
  return path;
}

// A fresh folder under the temporary folder, removed with everything in it afterwards.
class TempFolder {
 public:
  explicit TempFolder(const std::wstring& name) : path_(GetTempDir() + name + L"\\") {
    Remove();
    ::CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~TempFolder() { Remove(); }
  const std::wstring& Path() const { return path_; }

 private:
  void Remove() {
    std::wstring from = path_.substr(0, path_.size() - 1);
    from.push_back(L'\0');
    from.push_back(L'\0');
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    ::SHFileOperationW(&op);
  }
  std::wstring path_;
};

std::string ReadBytes(const std::wstring& path) {
  std::ifstream in(WideToAnsi(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(WideToAnsi(path), std::ios::binary | std::ios::trunc);
  out << bytes;
}

TEST(Environment, AnsiCodePageIs936) {
  EXPECT_EQ(::GetACP(), 936u);
  EXPECT_EQ(AnsiToWide("\xBC\xEC\xB2\xE2"), L"\u68C0\u6D4B");  // 检测
  EXPECT_EQ(WideToAnsi(L"\u68C0\u6D4B"), "\xBC\xEC\xB2\xE2");
}

TEST(Folders, GettersEndInBackslashAndAreCached) {
  std::wstring modulePath = GetModulePath();
  EXPECT_NE(modulePath.find(L"core_wine_test.exe"), std::wstring::npos);
  EXPECT_EQ(GetModuleDir(), modulePath.substr(0, modulePath.rfind(L'\\') + 1));
  for (const std::wstring& folder : {GetModuleDir(), GetSystemDir(), GetSysWow64Dir(), GetTempDir()}) {
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), L'\\') << WideToAnsi(folder);
    EXPECT_NE(::GetFileAttributesW(folder.c_str()), INVALID_FILE_ATTRIBUTES) << WideToAnsi(folder);
  }
  EXPECT_NE(GetSysWow64Dir(), GetSystemDir());
  EXPECT_TRUE(IsOs64Bit());

  // Cached: once the temporary folder moves, the system call names the new one, the getter
  // still the first.
  const std::wstring first = GetTempDir();
  wchar_t tmp[32768] = {}, temp[32768] = {};
  const bool hadTmp = ::GetEnvironmentVariableW(L"TMP", tmp, 32768) > 0;
  const bool hadTemp = ::GetEnvironmentVariableW(L"TEMP", temp, 32768) > 0;
  TempFolder moved(L"qv_moved_temp");
  const std::wstring other = moved.Path().substr(0, moved.Path().size() - 1);
  ::SetEnvironmentVariableW(L"TMP", other.c_str());
  ::SetEnvironmentVariableW(L"TEMP", other.c_str());
  wchar_t now[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH + 1, now);
  const std::wstring cached = GetTempDir();
  ::SetEnvironmentVariableW(L"TMP", hadTmp ? tmp : nullptr);
  ::SetEnvironmentVariableW(L"TEMP", hadTemp ? temp : nullptr);
  ASSERT_EQ(std::wstring(now), moved.Path()) << "the temporary folder did not move";
  EXPECT_EQ(cached, first);
}

// Where the two builds really differ. A 32-bit program on 64-bit Windows sees SysWOW64 under the
// name System32, and a registry key opened without a view lands in the 32-bit view; the program
// therefore names the 32-bit system folder and every registry view explicitly.
TEST(Architecture, SystemFolderAndDefaultRegistryView) {
  constexpr bool k32Bit = sizeof(void*) == 4;
  const std::wstring name = L"qv_view_probe.txt";
  HANDLE file = ::CreateFileW((GetSystemDir() + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  ::CloseHandle(file);
  EXPECT_EQ(::GetFileAttributesW((GetSysWow64Dir() + name).c_str()) != INVALID_FILE_ATTRIBUTES, k32Bit);
  ::DeleteFileW((GetSystemDir() + name).c_str());

  const wchar_t* key = L"Software\\QvViewProbe";
  HKEY created = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_WRITE, nullptr, &created, nullptr),
            ERROR_SUCCESS);
  ::RegCloseKey(created);
  auto found = [key](REGSAM view) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ | view, &opened) != ERROR_SUCCESS) return false;
    ::RegCloseKey(opened);
    return true;
  };
  // A 32-bit program's key is in the 32-bit view only. (A 64-bit program's key shows in both
  // views under Wine, which falls back to the 64-bit key where the 32-bit view has none.)
  const REGSAM own = k32Bit ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
  EXPECT_TRUE(found(own));
  if (k32Bit) EXPECT_FALSE(found(KEY_WOW64_64KEY));
  EXPECT_EQ(::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, key, own, 0), ERROR_SUCCESS);
}

TEST(Files, CreateParentDirsSeveralLevels) {
  TempFolder temp(L"qv_dirs");
  std::wstring deep = temp.Path() + L"a\\b c\\d\\file.txt";
  EXPECT_TRUE(CreateParentDirs(deep));
  EXPECT_NE(::GetFileAttributesW((temp.Path() + L"a\\b c\\d").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(CreateParentDirs(deep));  // already there
  EXPECT_FALSE(CreateParentDirs(L""));
}

TEST(Files, VersionOfOurExecutable) {
  EXPECT_EQ(WideToAnsi(GetFileVersionString(WinPath(QV_APP_EXE))), QV_APP_VERSION);
  EXPECT_EQ(GetFileVersionString(WinPath(QV_CHILD_EXE)), L"");
  EXPECT_EQ(GetFileVersionString(L"C:\\no\\such\\file.exe"), L"");
}

TEST(Processes, RunHiddenAndWait) {
  std::wstring child = WinPath(QV_CHILD_EXE);
  EXPECT_TRUE(RunHiddenAndWait(child, L"exit 3", 30000));
  EXPECT_FALSE(RunHiddenAndWait(child, L"sleep 3000", 200));
  EXPECT_FALSE(RunHiddenAndWait(L"C:\\no\\such\\program.exe", L"", 1000));

  // A program path with blanks runs that program, not "C:\...\with".
  TempFolder temp(L"qv_run with blanks");
  std::wstring copy = temp.Path() + L"child copy.exe";
  ASSERT_TRUE(::CopyFileW(child.c_str(), copy.c_str(), FALSE));
  std::wstring out = temp.Path() + L"out.txt";
  EXPECT_TRUE(RunHiddenAndWait(copy, L"write \"" + out + L"\"", 30000));
  EXPECT_NE(ReadBytes(out).size(), 0u);
}

TEST(SettingsFile, OnDisk) {
  TempFolder temp(L"qv_cfg");
  std::wstring path = temp.Path() + L"x\\y\\Quorvane.cfg";
  {
    CConfigFile file(WideToAnsi(path));  // creates the folder chain and an empty file
    EXPECT_EQ(file.GetValue("checked"), "");
  }
  EXPECT_EQ(ReadBytes(path), "");

  WriteBytes(path, "a=b=c\r\njunk line\r\nchecked=0\r\nchecked=1\r\n");
  {
    CConfigFile file(WideToAnsi(path));
    EXPECT_EQ(file.GetValue("a"), "b=c");
    EXPECT_EQ(file.GetValue("checked"), "0");
    file.SetValue("checked", "1");
    file.SetValue("HelperRepaired", "3");
  }
  EXPECT_EQ(ReadBytes(path), "a=b=c\r\nchecked=1\r\nchecked=1\r\nHelperRepaired=3\r\n");

  // A read-only file keeps its content; the in-memory value still changes.
  ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
  {
    CConfigFile file(WideToAnsi(path));
    file.SetValue("checked", "0");
    EXPECT_EQ(file.GetValue("checked"), "0");
  }
  EXPECT_EQ(ReadBytes(path), "a=b=c\r\nchecked=1\r\nchecked=1\r\nHelperRepaired=3\r\n");
  ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(::GetFileAttributesW((path + L".tmp").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(SettingsFile, ReadAndWriteSettingNextToTheExecutable) {
  std::wstring path = AnsiToWide(SettingsFilePath());
  EXPECT_EQ(path, GetModuleDir() + L"Quorvane.cfg");
  ::DeleteFileW(path.c_str());
  EXPECT_EQ(ReadSetting("HelperRepaired"), "");
  EXPECT_NE(::GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(WriteSetting("checked", "1"));
  EXPECT_TRUE(WriteSetting("HelperRepaired", "2"));
  EXPECT_EQ(ReadSetting("checked"), "1");
  EXPECT_EQ(ReadBytes(path), "checked=1\r\nHelperRepaired=2\r\n");
  ::DeleteFileW(path.c_str());
}

}  // namespace
