// What the Flash Player probe decides, apart from reading the registry: the flavour table,
// the OS class table, version comparison and the version rules of a check. Platform-free.
#pragma once

#include <string>

#include "engine/CheckContext.h"
#include "net/Endpoints.h"

struct FlavourInfo {
  FlashFlavour flavour;
  const char* keyName;         // under HKLM "Software\Macromedia\%s"
  const char* installerPath;   // on the vendor web site
  const char* installerFile;   // saved under this name
};

constexpr FlavourInfo kFlavours[] = {
    {ActiveX, "FlashPlayerActiveX", kActiveXInstallerPath, "flashplayerax_install_cn.exe"},
    {Plugin, "FlashPlayerPlugin", kPluginInstallerPath, "flashplayer_install_cn.exe"},
    {Pepper, "FlashPlayerPepper", kPepperInstallerPath, "flashplayerpp_install_cn.exe"},
};

// Null for a value that names no flavour.
const FlavourInfo* FindFlavour(int32_t flavour);

constexpr const char* kMinimumFlashVersion = "29.0.0.171";
// No flavour chosen yet in CheckFlashVersions.
constexpr int32_t kNoCandidate = 6;

// Class of the Windows version GetVersionExW reports: 1 up to 5.1, 2 other 5.x, 3 for 6.0,
// 4 for 6.1, 5 for 6.2, 6 other 6.x, 7 for 10.x, 8 for 7-9 and above 10. Without supportedOS
// entries Windows 8.1 and later report 6.2, so class 5 and above means Windows 8 or later.
int OsVersionClass(unsigned major, unsigned minor);

// CompareVersion with "." says `installed` is lower. Empty texts cannot be compared and so
// are never lower.
bool IsVersionLower(const std::string& installed, const std::string& reference);

// What the registry says about one flavour.
struct FlavourReading {
  bool present = false;         // "UninstallerPath" in the 64-bit view
  bool scriptDebugger = false;  // "isScriptDebugger" == 1 in the 32-bit view
  std::string version;          // "Version" in the 32-bit view
};

// The version check of a check run over readings indexed by FlashFlavour, the OS class and
// the published version (ctx.remoteConfig.flashVersion). Installer URLs are webOrigin + path.
void ApplyFlashVersionRules(CheckContext& ctx, const FlavourReading (&readings)[3], int osClass,
                            const std::string& webOrigin);

// The post-repair re-test of one flavour against the published version.
bool ReadingUpToDate(const FlavourReading& reading, const std::string& published);
