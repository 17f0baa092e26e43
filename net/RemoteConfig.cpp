#include "core/ToolContext.h"
#include "net/Endpoints.h"
#include "net/HttpTransfer.h"
#include "net/ToolConfig.h"

bool FetchToolConfig(ToolContext& context, ToolConfig& config) {
  std::string reply;
  if (HttpTransfer().HttpGet(ToolConfigUrl(), reply) != 0) return false;
  if (!DecodeToolConfig(reply, config)) return false;
  ApplyToolConfig(context, config);
  return true;
}

std::string GetConfiguredIp() {
  ToolContext& context = GetToolContext();
  std::lock_guard<std::mutex> guard(context.lock);
  return context.ip;
}

std::string GetConfiguredHelperVersion() {
  ToolContext& context = GetToolContext();
  std::lock_guard<std::mutex> guard(context.lock);
  return context.helperVersion;
}
