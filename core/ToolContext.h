// The process-wide machine identity and the configuration values later readers need.
#pragma once

#include <mutex>
#include <string>

struct ToolContext {
  // Written once while the context is created, read without a lock afterwards.
  std::string encryptedMac;       // AesEncryptHex(identity key, MAC text)
  std::string machineGuid = "-1"; // "-1" when no GUID could be had
  // Written by the remote configuration on any thread; guarded by `lock`.
  std::string ip;
  std::string helperVersion;      // commas replaced by dots
  mutable std::mutex lock;
};

// The one context; the first caller creates it and runs LoadMachineIdentity before any caller
// sees it. Windows only.
ToolContext& GetToolContext();
// Fills encryptedMac and machineGuid. Windows only.
void LoadMachineIdentity(ToolContext& context);
std::string GetEncryptedMac();
std::string GetMachineGuid();
