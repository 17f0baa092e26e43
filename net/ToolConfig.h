// One reply of the vendor's configuration API (/config/toolfix) and the operations that fetch
// it and remember part of it in the ToolContext.
#pragma once

#include <string>

struct ToolContext;

struct ToolConfig {
  std::string ip;
  std::string flashVersion;   // commas already replaced by dots
  std::string helperVersion;  // as received; the context keeps the dotted form
  bool country = false;       // stored only
};

// Decodes a reply text into `config`, which is cleared first. False when the text is not JSON
// or its root is not an object (the record then stays cleared). Members of the wrong type do
// not fail: texts become empty and any non-bool "country" counts as true. Platform-free.
bool DecodeToolConfig(const std::string& reply, ToolConfig& config);

// Stores the record's ip and its helperVersion with commas turned into dots in the context,
// under the context's lock. The record is not changed.
void ApplyToolConfig(ToolContext& context, const ToolConfig& config);

// One GET of the configuration URL. False when the request fails (record and context
// unchanged) or the reply is not a JSON object (record cleared, context unchanged); true
// after decoding and ApplyToolConfig. Windows only.
bool FetchToolConfig(ToolContext& context, ToolConfig& config);

// Copies of the values of the last successful fetch (empty before the first). Windows only,
// since they go through GetToolContext.
std::string GetConfiguredIp();
std::string GetConfiguredHelperVersion();
