#include <rapidjson/document.h>

#include "core/StrUtil.h"
#include "core/ToolContext.h"
#include "net/ToolConfig.h"

namespace {

// A present member of another type than string gives the empty text.
void DecodeText(const rapidjson::Value& root, const char* key, std::string& field) {
  auto member = root.FindMember(key);
  if (member == root.MemberEnd()) return;
  const rapidjson::Value& value = member->value;
  field = value.IsString() ? std::string(value.GetString(), value.GetStringLength()) : std::string();
}

}  // namespace

bool DecodeToolConfig(const std::string& reply, ToolConfig& config) {
  config = ToolConfig{};
  rapidjson::Document document;
  document.Parse(reply.c_str(), reply.size());
  if (document.HasParseError() || !document.IsObject()) return false;
  const rapidjson::Value& root = document;
  DecodeText(root, "flashVersion", config.flashVersion);
  auto country = root.FindMember("country");
  if (country != root.MemberEnd()) config.country = country->value.IsBool() ? country->value.GetBool() : true;
  DecodeText(root, "helperVersion", config.helperVersion);
  DecodeText(root, "ip", config.ip);
  ReplaceAllA(config.flashVersion, ",", ".");
  return true;
}

void ApplyToolConfig(ToolContext& context, const ToolConfig& config) {
  std::string helperVersion = config.helperVersion;
  ReplaceAllA(helperVersion, ",", ".");
  std::lock_guard<std::mutex> guard(context.lock);
  context.ip = config.ip;
  context.helperVersion = helperVersion;
}
