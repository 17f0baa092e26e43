// The choice of the adapter whose hardware address identifies the machine. Platform-free so
// the walk can be proved on any adapter list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

inline constexpr uint32_t kAdapterTypeEthernet = 6;  // MIB_IF_TYPE_ETHERNET
inline constexpr size_t kMaxAdapterAddressLength = 8; // MAX_ADAPTER_ADDRESS_LENGTH

struct AdapterRecord {
  uint32_t type = 0;
  std::vector<uint8_t> address;  // AddressLength bytes
};

// Walks the list in order, skipping non-Ethernet adapters; the first Ethernet address whose
// first 12 hex digits are not all zero wins (a shorter text wins as well). Without such an
// adapter: the text of the last Ethernet adapter seen, or empty when there was none.
std::string ChooseMacAddressText(const std::vector<AdapterRecord>& adapters);
