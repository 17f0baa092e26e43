// Windows system helpers: folders, versions, bitness, child processes. Windows only.
#pragma once

#include <string>


// True when GetNativeSystemInfo (looked up at run time) reports x64 (9) or Itanium (6).
bool IsOs64Bit();

// Cached folder getters. The first call fills the cache (thread-safe); later calls return a
// copy. Folders end in a backslash.
std::wstring GetModulePath();
std::wstring GetModuleDir();
std::wstring GetSystemDir();
// GetSystemWow64DirectoryW plus a backslash; on 32-bit Windows, where the call fails, the
// ordinary system folder (the 32-bit one there).
std::wstring GetSysWow64Dir();
std::wstring GetTempDir();

// Makes sure the folder holding the path's last component exists. False for an empty path or
// when a folder cannot be created.
bool CreateParentDirs(const std::wstring& path);

// "%d.%d.%d.%d" of the file's fixed version; empty without a readable version resource.
std::wstring GetFileVersionString(const std::wstring& path);

// Starts `"program" arguments` hidden and waits up to timeoutMs. True only when the process
// ended within the time-out; a process still running is left running.
bool RunHiddenAndWait(const std::wstring& program, const std::wstring& arguments, unsigned long timeoutMs);

// The command line RunHiddenAndWait and the launcher build: the program path in quotes, one
// blank, the arguments.
std::wstring QuotedCommandLine(const std::wstring& program, const std::wstring& arguments);

