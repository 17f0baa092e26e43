#include <rapidjson/document.h>

#include "core/StrUtil.h"
#include "core/ToolContext.h"
#include "net/ToolConfig.h"

namespace {

// The reply is one flat object. Deeper nesting than this is no reply of the configuration API,
// and RapidJSON's default parser would descend one stack frame per level: a hostile reply of a
// few hundred kilobytes of brackets ends the thread. The bound is checked by a flat scan first,
// and the parse itself runs iteratively, so neither uses stack in proportion to the text.
constexpr int kMaxReplyDepth = 32;

// True when no bracket outside a string literal opens more than `limit` levels. Unbalanced
// or broken text is left to the parser to refuse.
bool NestingWithin(const std::string& text, int limit) {
  int depth = 0;
  bool inString = false;
  for (size_t i = 0; i < text.size(); ++i) {
    char ch = text[i];
    if (inString) {
      if (ch == '\\') ++i;  // the escaped character cannot end the string
      else if (ch == '"') inString = false;
    } else if (ch == '"') {
      inString = true;
    } else if (ch == '{' || ch == '[') {
      if (++depth > limit) return false;
    } else if (ch == '}' || ch == ']') {
      --depth;
    }
  }
  return true;
}

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
  if (!NestingWithin(reply, kMaxReplyDepth)) return false;
  rapidjson::Document document;
  document.Parse<rapidjson::kParseIterativeFlag>(reply.c_str(), reply.size());
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
