// How a Windows proxy setting (the texts of WinHTTP's IE proxy configuration) applies to one
// HTTPS host. Platform-free.
#pragma once

#include <string>

// The proxy named for HTTPS in a proxy list: the value of an "https=" entry, else the first
// entry without a scheme ("host:port", which serves every scheme). Entries are separated by
// ';' or blanks. "" when the list names none. The result is a libcurl proxy text: a bare
// "host:port" gets "http://" in front.
std::string HttpsProxyFromList(const std::string& proxyList);

// True when `host` matches an entry of the bypass list: "<local>" matches host names without
// a dot, other entries are host patterns where '*' stands for any run of characters, compared
// without regard to case (a leading "scheme://" and a trailing ":port" of an entry are not
// part of its pattern). Entries are separated by ';', ',' or blanks.
bool HostBypassesProxy(const std::string& host, const std::string& bypassList);
