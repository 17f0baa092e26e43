// libcurl pulls in winsock2.h, which must come before windows.h.
#include <curl/curl.h>

#include "net/HttpTransfer.h"
#include "net/SystemProxy.h"
#include "net/TrustStore.h"

#include <cstdio>
#include <memory>
#include <mutex>

#include "core/ScopedHandle.h"

namespace {

constexpr long kGetTimeoutSeconds = 2;
constexpr long kMaxDownloadRedirects = 5;

struct CurlEasyCleanup {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
using ScopedCurl = std::unique_ptr<CURL, CurlEasyCleanup>;

// Transfers download programs that are then run with administrator rights, so the peer is
// always verified, by the Windows chain engine (net/TrustStore.h), which also judges the host
// name; libcurl itself loads no CA file. Redirects may only lead to HTTPS: a plain-HTTP hop
// would carry the installer in cleartext. The user's Windows proxy setting is honoured.
void SecureTransfer(CURL* curl) {
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "https");
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 0L);  // the chain policy checks the name
  curl_easy_setopt(curl, CURLOPT_CAINFO, nullptr);
  curl_easy_setopt(curl, CURLOPT_CAPATH, nullptr);
  curl_easy_setopt(curl, CURLOPT_SSL_CTX_FUNCTION, AttachTrustStore);
}

// The proxy for the transfer's first host, "" for a direct connection ("" also keeps libcurl
// from taking one out of the environment, which Windows programs do not read).
std::string ProxyFor(const std::string& url) {
  std::string host;
  if (CURLU* parsed = curl_url()) {
    char* part = nullptr;
    if (curl_url_set(parsed, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
        curl_url_get(parsed, CURLUPART_HOST, &part, 0) == CURLUE_OK && part) {
      host = part;
      curl_free(part);
    }
    curl_url_cleanup(parsed);
  }
  return host.empty() ? std::string() : SystemProxyForHttpsHost(host);
}

size_t WriteText(char* data, size_t size, size_t count, void* userdata) {
  auto* body = static_cast<std::string*>(userdata);
  if (!body || !data) return static_cast<size_t>(-1);
  body->append(data, size * count);
  return count;
}

size_t WriteToFile(char* data, size_t size, size_t count, void* userdata) {
  HANDLE file = static_cast<HANDLE>(userdata);
  if (file == INVALID_HANDLE_VALUE || !data) return 0;
  DWORD written = 0;
  if (!WriteFile(file, data, static_cast<DWORD>(size * count), &written, nullptr)) return 0;
  return written;
}

}  // namespace

// Only "HTTP/1.1" status lines count; redirects pass through here too, so the last one wins.
// Every header line is a byte that arrived, for the stall rule.
size_t HttpTransfer::ReadStatusLine(char* line, size_t size, size_t count, void* userdata) {
  if (!line) return static_cast<size_t>(-1);
  auto* transfer = static_cast<HttpTransfer*>(userdata);
  transfer->stall_.lastByteTick = GetTickCount64();
  // Header lines are not NUL-terminated: scan a bounded copy.
  char text[64] = {};
  size_t length = size * count < sizeof text - 1 ? size * count : sizeof text - 1;
  memcpy(text, line, length);
  int status = 0;
  if (sscanf(text, "HTTP/1.1 %d\n", &status) == 1) transfer->statusCode = status;
  return size * count;
}

// libcurl calls this about once a second even when nothing arrives, so it also watches for a
// stall: content bytes unchanged, and no header line, for the whole limit ends the transfer.
// Otherwise it only reports progress and never stops a transfer.
int HttpTransfer::ReportProgress(void* userdata, long long total, long long now, long long, long long) {
  auto* transfer = static_cast<HttpTransfer*>(userdata);
  StallClock& stall = transfer->stall_;
  unsigned long long tick = GetTickCount64();
  if (now != stall.lastCount) {
    stall.lastCount = now;
    stall.lastByteTick = tick;
  } else if (tick - stall.lastByteTick >= stall.limitMs) {
    stall.stalled = true;
    return 1;  // libcurl ends with CURLE_ABORTED_BY_CALLBACK
  }
  double totalValue = static_cast<double>(total);
  if (totalValue >= -0.001 && totalValue <= 0.001) return 0;
  if (!transfer->progressWindow || transfer->statusCode != 200) return 0;
  int64_t percent = static_cast<int64_t>(now) * 100 / static_cast<int64_t>(total);
  PostMessageW(transfer->progressWindow, WM_DOWNLOAD_PROGRESS, static_cast<WPARAM>(percent), 0);
  return 0;
}

void EnsureCurlGlobalInit() {
  // curl_global_init is not safe against concurrent first use; every later call is a no-op.
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_ALL); });
}

HttpTransfer::~HttpTransfer() {
  progressWindow = nullptr;
  curl_slist_free_all(requestHeaders);
  requestHeaders = nullptr;
}

int HttpTransfer::HttpGet(const std::string& url, std::string& body) {
  EnsureCurlGlobalInit();
  ScopedCurl curl(curl_easy_init());
  if (!curl) return CURLE_FAILED_INIT;
  CURL* c = curl.get();
  curl_easy_setopt(c, CURLOPT_URL, url.c_str());
  curl_easy_setopt(c, CURLOPT_READFUNCTION, nullptr);
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, WriteText);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &body);
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  SecureTransfer(c);
  const std::string proxy = ProxyFor(url);
  curl_easy_setopt(c, CURLOPT_PROXY, proxy.c_str());
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, kGetTimeoutSeconds);
  curl_easy_setopt(c, CURLOPT_TIMEOUT, kGetTimeoutSeconds);
  curl_easy_setopt(c, CURLOPT_HTTPHEADER, requestHeaders);
  return curl_easy_perform(c);
}

int HttpTransfer::HttpDownload(const std::string& url, const std::string& path) {
  return HttpDownload(url, path, DownloadLimits{});
}

int HttpTransfer::HttpDownload(const std::string& url, const std::string& path, const DownloadLimits& limits) {
  EnsureCurlGlobalInit();
  ScopedCurl curl(curl_easy_init());
  if (!curl) return CURLE_FAILED_INIT;
  ScopedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return -1;
  CURL* c = curl.get();
  curl_easy_setopt(c, CURLOPT_URL, url.c_str());
  curl_easy_setopt(c, CURLOPT_MAXREDIRS, kMaxDownloadRedirects);
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_POST, 0L);
  curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, ReadStatusLine);
  curl_easy_setopt(c, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, WriteToFile);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, file.Get());
  curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, ReportProgress);
  curl_easy_setopt(c, CURLOPT_XFERINFODATA, this);
  SecureTransfer(c);
  const std::string proxy = ProxyFor(url);
  curl_easy_setopt(c, CURLOPT_PROXY, proxy.c_str());
  // A dead server must not hold the repair forever: the connection has its own limit, and the
  // progress reporter ends a transfer in which no byte arrived for `stallSeconds`. No average
  // speed is asked for, so a slow download that keeps moving runs to its end.
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, limits.connectSeconds);
  stall_ = StallClock{};
  stall_.lastByteTick = GetTickCount64();
  stall_.limitMs = static_cast<unsigned long long>(limits.stallSeconds) * 1000;
  int result = curl_easy_perform(c);
  file.Close();
  if (stall_.stalled && result == CURLE_ABORTED_BY_CALLBACK) return CURLE_OPERATION_TIMEDOUT;
  return result;
}
