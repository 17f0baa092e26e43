// The vendor's servers: the compiled-in origins (HTTPS, no trailing slash) and the fixed paths
// on them. Header-only, so modules that link nothing of net can use the addresses too.
#pragma once

#include <string>

#include "net/VendorOrigins.h"

// Vendor web site: installers, the companion service installer and pages for the browser.
inline constexpr char kActiveXInstallerPath[] = "/cdm/latest/flashplayerax_install_cn.exe";
inline constexpr char kPluginInstallerPath[] = "/cdm/latest/flashplayer_install_cn.exe";
inline constexpr char kPepperInstallerPath[] = "/cdm/latest/flashplayerpp_install_cn.exe";
// "/brenwick/" + helperVersion + "/BrenwickService.exe"
inline constexpr char kCompanionInstallerPrefix[] = "/brenwick/";
inline constexpr char kCompanionInstallerSuffix[] = "/BrenwickService.exe";
inline constexpr char kHelpPagePath[] = "/help/index";
inline constexpr char kSupportPagePath[] = "/custom-service/index";
inline constexpr char kLicencePagePath[] = "/quorvane/protocol";

// Configuration API host.
inline constexpr char kToolConfigPath[] = "/config/toolfix";

// Statistics host: origin, message type, data, token, time.
inline constexpr char kReportUrlFormat[] = "%s/hm2.gif?msgtype=%s&data=%s&token=%s&time=%s";

inline std::string VendorWebUrl(const char* path) { return std::string(kVendorWebOrigin) + path; }
inline std::string CompanionInstallerUrl(const std::string& helperVersion) {
  return std::string(kVendorWebOrigin) + kCompanionInstallerPrefix + helperVersion + kCompanionInstallerSuffix;
}
inline std::string ToolConfigUrl() { return std::string(kConfigApiOrigin) + kToolConfigPath; }
