// The user's Windows proxy setting for HTTPS transfers. Windows only.
#pragma once

#include <string>

// The proxy (a libcurl proxy text, "http://host:port") through which an HTTPS transfer to
// `host` goes by WinHTTP's IE proxy configuration of the current user: a fixed proxy and its
// bypass list. "" means a direct connection: no proxy named for HTTPS, the host bypassed, or
// only automatic configuration set (proxy scripts and auto-detection are not evaluated).
std::string SystemProxyForHttpsHost(const std::string& host);
