#include "net/ProxyRules.h"

#include <cctype>
#include <vector>

namespace {

std::vector<std::string> SplitEntries(const std::string& text, const char* separators) {
  std::vector<std::string> entries;
  std::string current;
  for (char ch : text) {
    if (std::string(separators).find(ch) != std::string::npos) {
      if (!current.empty()) entries.push_back(current);
      current.clear();
    } else {
      current += ch;
    }
  }
  if (!current.empty()) entries.push_back(current);
  return entries;
}

std::string Lower(std::string text) {
  for (char& ch : text) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return text;
}

// Iterative wildcard match ('*' only) with one back-tracking point: linear in practice and
// without recursion whatever the pattern.
bool WildcardMatch(const std::string& pattern, const std::string& text) {
  size_t p = 0, t = 0, star = std::string::npos, resume = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = t;
    } else if (p < pattern.size() && pattern[p] == text[t]) {
      ++p;
      ++t;
    } else if (star != std::string::npos) {
      p = star + 1;
      t = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

// "scheme://host:port" → "host"; "[v6]:port" → "[v6]"; a bare IPv6 address stays whole.
std::string PatternHost(std::string entry) {
  size_t scheme = entry.find("://");
  if (scheme != std::string::npos) entry = entry.substr(scheme + 3);
  if (!entry.empty() && entry[0] == '[') {
    size_t close = entry.find(']');
    return close == std::string::npos ? entry : entry.substr(0, close + 1);
  }
  size_t colon = entry.find(':');
  if (colon != std::string::npos && entry.find(':', colon + 1) == std::string::npos) entry = entry.substr(0, colon);
  return entry;
}

}  // namespace

std::string HttpsProxyFromList(const std::string& proxyList) {
  std::string chosen, fallback;
  for (const std::string& entry : SplitEntries(proxyList, "; \t\r\n")) {
    size_t equals = entry.find('=');
    if (equals == std::string::npos) {
      if (fallback.empty()) fallback = entry;
    } else if (Lower(entry.substr(0, equals)) == "https" && chosen.empty()) {
      chosen = entry.substr(equals + 1);
    }
  }
  if (chosen.empty()) chosen = fallback;
  if (chosen.empty()) return "";
  return chosen.find("://") == std::string::npos ? "http://" + chosen : chosen;
}

bool HostBypassesProxy(const std::string& host, const std::string& bypassList) {
  const std::string name = Lower(host);
  if (name.empty()) return false;
  for (const std::string& entry : SplitEntries(bypassList, ";, \t\r\n")) {
    std::string pattern = Lower(entry);
    if (pattern == "<local>") {
      if (name.find('.') == std::string::npos && name.find(':') == std::string::npos) return true;
      continue;
    }
    if (WildcardMatch(PatternHost(pattern), name)) return true;
  }
  return false;
}
