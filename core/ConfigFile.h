// The settings file: key=value lines in Quorvane.cfg next to the executable.
#pragma once

#include <string>
#include <utility>
#include <vector>

using SettingsEntries = std::vector<std::pair<std::string, std::string>>;

// Platform-free text format. Parsing splits lines at LF (a CR before the LF is dropped, as
// text mode does), skips empty lines and lines without "=", and splits at the first "=".
SettingsEntries ParseSettingsText(const std::string& text);
// One "key=value\r\n" line per entry, in order (the bytes text mode writes on Windows).
std::string SerializeSettings(const SettingsEntries& entries);

#ifdef _WIN32
class CConfigFile {
 public:
  // Creates the folder chain and an empty file when missing, then loads the file.
  explicit CConfigFile(const std::string& path);
  ~CConfigFile() = default;
  CConfigFile(const CConfigFile&) = delete;
  CConfigFile& operator=(const CConfigFile&) = delete;

  // Value of the first entry with this key; empty when there is none.
  std::string GetValue(const std::string& key) const;
  // Changes the first entry with this key or appends one, then saves the whole file. The save
  // writes a sibling temporary file and replaces the old one, so a crash cannot wipe it.
  void SetValue(const std::string& key, const std::string& value);

  const SettingsEntries& Entries() const { return entries_; }

 private:
  void Load();
  bool Save() const;

  std::string path_;
  SettingsEntries entries_;
};

// The settings file's path: the module folder plus "Quorvane.cfg", as narrow text.
std::string SettingsFilePath();
// One-shot access; each call opens the file afresh. Both always report success.
bool ReadSetting(const std::string& key, std::string& value);
std::string ReadSetting(const std::string& key);
bool WriteSetting(const std::string& key, const std::string& value);
#endif
