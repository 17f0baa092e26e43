#include "core/ConfigFile.h"

SettingsEntries ParseSettingsText(const std::string& text) {
  SettingsEntries entries;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    // Text mode turns CR LF into LF; a CR elsewhere stays part of the line.
    if (!line.empty() && line.back() == '\r' && end < text.size()) line.pop_back();
    size_t eq = line.find('=');
    if (line.empty() || eq == std::string::npos) continue;
    entries.emplace_back(line.substr(0, eq), line.substr(eq + 1));
  }
  return entries;
}

std::string SerializeSettings(const SettingsEntries& entries) {
  std::string out;
  for (const auto& [key, value] : entries) {
    out += key;
    out += '=';
    out += value;
    out += "\r\n";
  }
  return out;
}
