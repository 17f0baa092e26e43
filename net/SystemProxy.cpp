#include "net/SystemProxy.h"

#include <windows.h>
#include <winhttp.h>

#include "core/StrUtil.h"
#include "net/ProxyRules.h"

namespace {

// Takes a string WinHTTP handed over (GlobalAlloc'd) and frees it.
std::string TakeGlobalText(LPWSTR text) {
  if (!text) return "";
  std::string narrow = WideToAnsi(text);
  GlobalFree(text);
  return narrow;
}

}  // namespace

std::string SystemProxyForHttpsHost(const std::string& host) {
  WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config{};
  if (!WinHttpGetIEProxyConfigForCurrentUser(&config)) return "";
  TakeGlobalText(config.lpszAutoConfigUrl);
  std::string proxyList = TakeGlobalText(config.lpszProxy);
  std::string bypassList = TakeGlobalText(config.lpszProxyBypass);
  std::string proxy = HttpsProxyFromList(proxyList);
  if (proxy.empty() || HostBypassesProxy(host, bypassList)) return "";
  return proxy;
}
