#include "core/MacAddress.h"

#include <algorithm>

#include "core/StrUtil.h"

std::string ChooseMacAddressText(const std::vector<AdapterRecord>& adapters) {
  std::string text;
  for (const AdapterRecord& adapter : adapters) {
    if (adapter.type != kAdapterTypeEthernet) continue;
    // The Win32 record holds at most 8 address bytes whatever its length field claims.
    size_t length = std::min(adapter.address.size(), kMaxAdapterAddressLength);
    text = BytesToHex(adapter.address.data(), length);
    if (text.compare(0, 12, "000000000000") != 0) break;
  }
  return text;
}
