// The executable's only HTTP client: one object per call, blocking, no reuse. Windows only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

struct curl_slist;

// Window message posted to `progressWindow` while a download runs; wParam = percent done.
inline constexpr UINT WM_DOWNLOAD_PROGRESS = WM_USER + 101;  // 1125

// How long a download may wait for its connection (TLS handshake included), and how many
// seconds in a row may pass without a single byte arriving (headers or content), before it
// fails with CURLE_OPERATION_TIMEDOUT. A download that keeps moving, however slowly, has no
// limit.
struct DownloadLimits {
  long connectSeconds = 30;
  long stallSeconds = 60;
};

class HttpTransfer {
 public:
  HttpTransfer() = default;
  ~HttpTransfer();
  HttpTransfer(const HttpTransfer&) = delete;
  HttpTransfer& operator=(const HttpTransfer&) = delete;

  // GET into `body` (appended to). libcurl's result: 0 on success, also for HTTP error
  // statuses, whose page becomes the body; 2 when no transfer handle can be made.
  int HttpGet(const std::string& url, std::string& body);
  // GET into the file at `path` (ANSI code page), created anew or truncated. As HttpGet, and
  // -1 when the file cannot be created (no connection is made then).
  int HttpDownload(const std::string& url, const std::string& path);
  int HttpDownload(const std::string& url, const std::string& path, const DownloadLimits& limits);

  // Status of the last "HTTP/1.1" status line a download received; 0 until one is read.
  int32_t statusCode = 0;
  // Receives WM_DOWNLOAD_PROGRESS while a download with a known size answers 200; may be null.
  HWND progressWindow = nullptr;
  // Extra request header lines for HttpGet; owned and freed by the object.
  curl_slist* requestHeaders = nullptr;

 private:
  // While a download runs: when its last byte arrived, so its callbacks can tell a stall.
  struct StallClock {
    unsigned long long lastByteTick = 0;  // GetTickCount64
    unsigned long long limitMs = 0;
    long long lastCount = -1;  // content bytes so far, as libcurl last reported them
    bool stalled = false;
  };
  StallClock stall_;

  static size_t ReadStatusLine(char* line, size_t size, size_t count, void* userdata);
  static int ReportProgress(void* userdata, long long total, long long now, long long, long long);
};

// Makes sure libcurl's global state is initialised; safe from any thread, does the work once.
void EnsureCurlGlobalInit();
