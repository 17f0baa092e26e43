// Test-side client of the local vendor server (tests/vendor_server/README.md): choose the
// configuration scenario, read the recorded reports and requests, put files to serve.
// Header-only; needs qv_net (HttpGet) and a test build, whose origins point at the server.
#pragma once

#include <windows.h>

#include <rapidjson/document.h>

#include <string>
#include <vector>

#include "core/StrUtil.h"
#include "net/Endpoints.h"
#include "net/HttpTransfer.h"

namespace vendor {

// GET of a control path ("/control/ping" ...) on the server; the body, or "" on failure.
inline std::string Control(const std::string& pathAndQuery) {
  std::string body;
  if (HttpTransfer().HttpGet(std::string(kVendorWebOrigin) + pathAndQuery, body) != 0) return "";
  return body;
}

inline bool Ping() { return Control("/control/ping") == "pong"; }

// Empties the report and request records and selects a configuration scenario.
inline bool Reset(const std::string& scenario = "normal") { return Control("/control/reset?scenario=" + scenario) == "ok"; }
inline bool SelectScenario(const std::string& name) { return Control("/control/scenario?name=" + name) == "ok"; }

// One JSON document per line of a record (reports or requests).
inline std::vector<rapidjson::Document> ReadRecords(const std::string& which) {
  std::vector<rapidjson::Document> records;
  std::string text = Control("/control/" + which);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    if (end > start) {
      records.emplace_back();
      records.back().Parse(text.c_str() + start, end - start);
    }
    start = end + 1;
  }
  return records;
}
inline std::vector<rapidjson::Document> Reports() { return ReadRecords("reports"); }
inline std::vector<rapidjson::Document> Requests() { return ReadRecords("requests"); }

// A request for `path` is on record (the server records a request before it answers).
inline bool Requested(const std::string& path) {
  for (const auto& r : Requests())
    if (r.IsObject() && r.HasMember("path") && r["path"].IsString() && path == r["path"].GetString()) return true;
  return false;
}

// Lets the configuration answers that the scenario "held" keeps waiting go.
inline bool ReleaseHeld() { return Control("/control/release") == "ok"; }

// Text of a string member of a report's decrypted payload, or "<missing>".
inline std::string PayloadField(const rapidjson::Value& report, const char* key) {
  if (!report.IsObject() || !report.HasMember("payload") || !report["payload"].IsObject()) return "<missing>";
  const rapidjson::Value& payload = report["payload"];
  if (!payload.HasMember(key) || !payload[key].IsString()) return "<missing>";
  return payload[key].GetString();
}

// Ports of the extra listeners: "untrusted" (certificate of an unknown CA) and "silent"
// (accepts and never answers). 0 when unknown.
inline int Port(const char* name) {
  rapidjson::Document ports;
  ports.Parse(Control("/control/ports").c_str());
  if (!ports.IsObject() || !ports.HasMember(name) || !ports[name].IsInt()) return 0;
  return ports[name].GetInt();
}

inline std::string OriginOnPort(int port) { return FormatStringA("https://127.0.0.1:%d", port); }

#ifdef QV_VENDOR_STATE_DIR
// The server's folders as the Windows side sees them (drive Z:).
inline std::wstring StateDir() { return AnsiToWide(QV_VENDOR_STATE_DIR); }
inline std::wstring WwwDir() { return StateDir() + L"\\www"; }
#endif

// Writes `content` to www/<relative> (backslashes), creating folders; the server then serves
// it at "/" + relative with forward slashes.
inline bool PutFile(const std::wstring& wwwDir, const std::wstring& relative, const std::string& content) {
  std::wstring path = wwwDir + L"\\" + relative;
  for (size_t i = wwwDir.size() + 1; i < path.size(); ++i)
    if (path[i] == L'\\') CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
            written == content.size();
  CloseHandle(file);
  return ok;
}

}  // namespace vendor
