// Which Flash Player flavours the registry names and whether they are current. Reads only.
//
// Views: the presence value "UninstallerPath" is looked up in the 64-bit view; "Version" and
// "isScriptDebugger" in the 32-bit view, the release's own as a 32-bit process, named
// explicitly so the 64-bit test build reads the same branch.
#pragma once

#include <string>

#include "engine/CheckContext.h"
#include "engine/FlashRules.h"

bool FlashKeyValueExists(const std::wstring& keyName, const std::wstring& valueName);
// Empty when the key or value is missing (or longer than 259 characters).
std::string ReadFlashVersion(const std::string& keyName);
bool IsScriptDebugger(const std::string& keyName);
int GetOsVersionClass();
FlavourReading ReadFlavour(const FlavourInfo& info);

// Tests "UninstallerPath" of ActiveX, Pepper and Plugin and sets ctx.flashInstalled.
bool IsAnyFlashInstalled(CheckContext& ctx);
// The version check of a run: changes downloads, problems and problemsFound.
void CheckFlashVersions(CheckContext& ctx);
// The post-repair re-test; true for a value that names no flavour.
bool IsFlavourUpToDate(const CheckContext& ctx, int32_t flavour);
