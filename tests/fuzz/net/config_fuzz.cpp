// The configuration reply comes from the network: any text must decode without a fault, a
// rejected reply must leave the record cleared, and the Flash Player version never keeps a comma.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/ToolConfig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ToolConfig config{"old", "old", "old", true};
  bool ok = DecodeToolConfig(std::string(reinterpret_cast<const char*>(data), size), config);
  if (!ok && (!config.ip.empty() || !config.flashVersion.empty() || !config.helperVersion.empty() || config.country))
    abort();
  if (config.flashVersion.find(',') != std::string::npos) abort();
  return 0;
}
