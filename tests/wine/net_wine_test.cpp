// HTTP transfers, remote configuration, reports and machine identity against the local
// vendor server and Wine's real registry.
#include <curl/curl.h>

#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>
#include <wincrypt.h>
#include <iphlpapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <set>
#include <thread>
#include <vector>

#include "core/Aes.h"
#include "core/MachineIdentity.h"
#include "core/ScopedHandle.h"
#include "core/StrUtil.h"
#include "core/SysUtil.h"
#include "core/ToolContext.h"
#include "net/Endpoints.h"
#include "net/HttpTransfer.h"
#include "net/Statistics.h"
#include "net/TrustStore.h"
#include "net/ToolConfig.h"
#include "tests/wine/VendorServerClient.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string Web(const std::string& path) { return std::string(kVendorWebOrigin) + path; }

std::string TempFile(const char* name) { return WideToAnsi(GetTempDir()) + name; }

std::string ReadFileText(const std::string& path) {
  std::string text;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<none>";
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got) text.append(buffer, got);
  CloseHandle(file);
  return text;
}

void WriteFileText(const std::string& path, const std::string& text) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

bool RequestedPath(const std::string& path) {
  for (const auto& request : vendor::Requests())
    if (request.HasMember("path") && path == request["path"].GetString()) return true;
  return false;
}

class NetWine : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(vendor::Reset()) << "vendor server not answering on " << kVendorWebOrigin; }
};

// AES-128-CBC with a zero IV and PKCS#7 padding undone by the Windows crypto provider; the
// text, or "<undecryptable>".
std::string DecryptIdentity(const std::string& hex) {
  std::vector<BYTE> data;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) data.push_back(static_cast<BYTE>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  struct {
    BLOBHEADER header;
    DWORD size;
    BYTE key[16];
  } blob{{PLAINTEXTKEYBLOB, CUR_BLOB_VERSION, 0, CALG_AES_128}, 16, {}};
  static_assert(sizeof(kIdentityKey) == 17, "an AES-128 key");
  memcpy(blob.key, kIdentityKey, 16);
  HCRYPTPROV provider = 0;
  HCRYPTKEY key = 0;
  std::string text = "<undecryptable>";
  if (CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT)) {
    if (CryptImportKey(provider, reinterpret_cast<BYTE*>(&blob), sizeof(blob), 0, 0, &key)) {
      DWORD mode = CRYPT_MODE_CBC;
      BYTE iv[16] = {};
      DWORD length = static_cast<DWORD>(data.size());
      if (CryptSetKeyParam(key, KP_MODE, reinterpret_cast<BYTE*>(&mode), 0) && CryptSetKeyParam(key, KP_IV, iv, 0) &&
          !data.empty() && CryptDecrypt(key, 0, TRUE, 0, data.data(), &length))
        text.assign(reinterpret_cast<char*>(data.data()), length);
      CryptDestroyKey(key);
    }
    CryptReleaseContext(provider, 0);
  }
  return text;
}

// Upper-case hex of every Ethernet adapter's hardware address that is not all zero, read with
// GetAdaptersAddresses (the identity reads GetAdaptersInfo).
std::set<std::string> EthernetAddresses() {
  std::set<std::string> found;
  ULONG size = 16384;
  std::vector<BYTE> buffer(size);
  ULONG rc = GetAdaptersAddresses(AF_UNSPEC, 0, nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
  if (rc == ERROR_BUFFER_OVERFLOW) {
    buffer.resize(size);
    rc = GetAdaptersAddresses(AF_UNSPEC, 0, nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
  }
  if (rc != NO_ERROR) return found;
  for (auto* a = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()); a; a = a->Next) {
    if (a->IfType != IF_TYPE_ETHERNET_CSMACD) continue;
    std::string text;
    for (ULONG i = 0; i < a->PhysicalAddressLength && i < 8; ++i) text += FormatStringA("%02X", a->PhysicalAddress[i]);
    if (text.find_first_not_of('0') != std::string::npos) found.insert(text);
  }
  return found;
}

// First in the file: the context must not exist yet in this process.
TEST(ToolContextWine, ConcurrentFirstUseCreatesOneLoadedContext) {
  std::vector<std::thread> threads;
  std::vector<const ToolContext*> seen(8);
  std::vector<std::string> guids(8);
  std::atomic<bool> go{false};
  for (int i = 0; i < 8; ++i)
    threads.emplace_back([&, i] {
      while (!go) std::this_thread::yield();
      seen[i] = &GetToolContext();
      guids[i] = seen[i]->machineGuid;  // read at once: must already be loaded
    });
  go = true;
  for (auto& t : threads) t.join();
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(seen[i], seen[0]);
    EXPECT_EQ(guids[i], GetMachineGuid());
  }
  EXPECT_NE(GetMachineGuid(), "-1");
  // The identity decrypts, with the key the vendor knows, to the hardware address of one of
  // this machine's Ethernet adapters as another adapter API lists them.
  const std::string mac = DecryptIdentity(GetEncryptedMac());
  const std::set<std::string> adapters = EthernetAddresses();
  if (adapters.empty()) {
    EXPECT_EQ(mac, "");
  } else {
    EXPECT_EQ(adapters.count(mac), 1u) << "decrypted: " << mac;
  }
}

// --- HttpGet ---------------------------------------------------------------------------

TEST_F(NetWine, GetReturnsErrorPagesAsBodiesAndAppends) {
  struct Case {
    const char* path;
    const char* before;
    const char* expectedBody;
  } cases[] = {
      {"/test/bytes/10", "", "0123456789"},
      {"/test/bytes/10", "prefix:", "prefix:0123456789"},
      {"/test/status/404", "", "<html><body><h1>404 Status 404</h1></body></html>"},
      {"/test/status/500", "x", "x<html><body><h1>500 Status 500</h1></body></html>"},
      {"/test/redirect/7", "", "redirect-end"},  // GET has no redirect limit of its own
  };
  for (const Case& c : cases) {
    std::string body = c.before;
    EXPECT_EQ(HttpTransfer().HttpGet(Web(c.path), body), CURLE_OK) << c.path;
    EXPECT_EQ(body, c.expectedBody) << c.path;
  }
}

TEST_F(NetWine, GetOfSilentOrSlowServerFailsAfterAboutTwoSeconds) {
  const std::string urls[] = {vendor::OriginOnPort(vendor::Port("silent")) + "/", Web("/test/delay/3000")};
  for (const std::string& url : urls) {
    std::string body;
    auto start = Clock::now();
    EXPECT_EQ(HttpTransfer().HttpGet(url, body), CURLE_OPERATION_TIMEDOUT) << url;
    EXPECT_GT(SecondsSince(start), 1.5) << url;
    EXPECT_LT(SecondsSince(start), 6.0) << url;
  }
}

TEST_F(NetWine, GetWithEmptyUrlFailsWithoutRequest) {
  std::string body;
  EXPECT_EQ(HttpTransfer().HttpGet("", body), CURLE_URL_MALFORMAT);
}

// Certificates are verified: a chain from an unknown CA fails every transfer, the test CA works.
TEST_F(NetWine, UntrustedCertificateFailsEveryTransfer) {
  const std::string untrusted = vendor::OriginOnPort(vendor::Port("untrusted"));
  std::string body;
  EXPECT_EQ(HttpTransfer().HttpGet(untrusted + "/control/ping", body), CURLE_PEER_FAILED_VERIFICATION);
  EXPECT_EQ(body, "");
  const std::string path = TempFile("qv_net_untrusted.bin");
  WriteFileText(path, "old content");
  EXPECT_EQ(HttpTransfer().HttpDownload(untrusted + "/test/bytes/10", path), CURLE_PEER_FAILED_VERIFICATION);
  EXPECT_EQ(ReadFileText(path), "");  // truncated before the transfer started
  DeleteFileA(path.c_str());

  EXPECT_EQ(HttpTransfer().HttpGet(Web("/control/ping"), body), CURLE_OK);
  EXPECT_EQ(body, "pong");
}

// Names are verified as well: the trusted certificate names only 127.0.0.1 and localhost.
TEST_F(NetWine, CertificateForAnotherAddressFails) {
  std::string body;
  EXPECT_EQ(HttpTransfer().HttpGet(FormatStringA("https://127.0.0.2:%d/control/ping", vendor::Port("misnamed")), body),
            CURLE_PEER_FAILED_VERIFICATION);
  EXPECT_EQ(body, "");
}

// A redirect may lead only to HTTPS: one hop to plain HTTP ends the GET and the download with
// libcurl's own result for a refused scheme, before anything of the plain-HTTP answer is used.
TEST_F(NetWine, RedirectToPlainHttpIsRefused) {
  std::string body;
  EXPECT_EQ(HttpTransfer().HttpGet(Web("/test/redirect-http/2"), body), CURLE_UNSUPPORTED_PROTOCOL);
  EXPECT_EQ(body, "");
  const std::string file = TempFile("qv_net_downgrade.bin");
  WriteFileText(file, "old content");
  EXPECT_EQ(HttpTransfer().HttpDownload(Web("/test/redirect-http/1"), file), CURLE_UNSUPPORTED_PROTOCOL);
  EXPECT_EQ(ReadFileText(file), "");
  DeleteFileA(file.c_str());
  for (const auto& request : vendor::Requests()) EXPECT_STRNE(request["port"].GetString(), "plain");
  EXPECT_TRUE(RequestedPath("/test/redirect-http/0"));  // the last HTTPS hop was reached
}

// --- HttpDownload -----------------------------------------------------------------------

TEST_F(NetWine, DownloadResultsStatusAndContent) {
  struct Case {
    const char* path;
    int result;
    int32_t statusCode;
    const char* content;
  } cases[] = {
      {"/test/bytes/12", CURLE_OK, 200, "012345678901"},
      {"/test/redirect/1", CURLE_OK, 200, "redirect-end"},  // 302 then 200
      {"/test/redirect/5", CURLE_OK, 200, "redirect-end"},
      {"/test/redirect/6", CURLE_TOO_MANY_REDIRECTS, 302, ""},
      {"/test/http10", CURLE_OK, 0, "http10-body"},  // only HTTP/1.1 status lines are read
      {"/test/status/404", CURLE_OK, 404, "<html><body><h1>404 Status 404</h1></body></html>"},
  };
  const std::string file = TempFile("qv_net_download.bin");
  for (const Case& c : cases) {
    WriteFileText(file, std::string(5000, 'o'));  // an old, longer file is replaced
    HttpTransfer transfer;
    EXPECT_EQ(transfer.HttpDownload(Web(c.path), file), c.result) << c.path;
    EXPECT_EQ(transfer.statusCode, c.statusCode) << c.path;
    EXPECT_EQ(ReadFileText(file), c.content) << c.path;
  }
  DeleteFileA(file.c_str());
}

TEST_F(NetWine, DownloadIntoMissingFolderFailsWithoutConnecting) {
  HttpTransfer transfer;
  EXPECT_EQ(transfer.HttpDownload(Web("/test/bytes/11"), TempFile("qv_no_such_folder\\x.bin")), -1);
  EXPECT_FALSE(RequestedPath("/test/bytes/11"));
  EXPECT_EQ(transfer.statusCode, 0);
}

TEST_F(NetWine, DownloadLimitsEndStalledAndUnansweredTransfers) {
  EXPECT_EQ(DownloadLimits{}.connectSeconds, 30);
  EXPECT_EQ(DownloadLimits{}.stallSeconds, 60);
  struct Case {
    const char* name;
    std::string url;
    DownloadLimits limits;
    const char* content;
  } cases[] = {
      {"no byte for 2 s", Web("/test/stall/20"), {30, 2}, "ssssssssss"},
      {"no TLS answer in 2 s", vendor::OriginOnPort(vendor::Port("silent")) + "/", {2, 60}, ""},
  };
  const std::string file = TempFile("qv_net_stall.bin");
  for (const Case& c : cases) {
    WriteFileText(file, "old content");
    auto start = Clock::now();
    EXPECT_EQ(HttpTransfer().HttpDownload(c.url, file, c.limits), CURLE_OPERATION_TIMEDOUT) << c.name;
    EXPECT_GT(SecondsSince(start), 1.5) << c.name;
    // libcurl judges the speed over its last few seconds, so a stall is noticed up to about
    // five seconds after the last byte plus the limit.
    EXPECT_LT(SecondsSince(start), 15.0) << c.name;
    // The partial content stays; callers remove old files themselves.
    EXPECT_EQ(ReadFileText(file).substr(0, 10), c.content) << c.name;
  }
  DeleteFileA(file.c_str());
}

// A download that keeps moving is never cut, however slowly it moves: here one byte every
// 1.5 s against a 2-second stall limit (an average-speed rule of 1 byte/s would end it).
TEST_F(NetWine, SlowDownloadThatKeepsMovingRunsToItsEnd) {
  const std::string file = TempFile("qv_net_trickle.bin");
  HttpTransfer transfer;
  auto start = Clock::now();
  EXPECT_EQ(transfer.HttpDownload(Web("/test/trickle/5/1500"), file, DownloadLimits{30, 2}), CURLE_OK);
  EXPECT_GT(SecondsSince(start), 7.0);
  EXPECT_EQ(ReadFileText(file), "ttttt");
  EXPECT_EQ(transfer.statusCode, 200);
  DeleteFileA(file.c_str());
}

// Progress goes to a window as message 1125 with the truncated percentage.
TEST_F(NetWine, DownloadPostsProgressOnlyForKnownSizeAnd200) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  struct Case {
    const char* path;
    bool expectProgress;
  } cases[] = {{"/test/progress", true}, {"/test/progress-404", false}, {"/test/progress-unknown", false}};
  const std::string file = TempFile("qv_net_progress.bin");
  for (const Case& c : cases) {
    HttpTransfer transfer;
    transfer.progressWindow = window;
    EXPECT_EQ(transfer.HttpDownload(Web(c.path), file), CURLE_OK) << c.path;
    EXPECT_EQ(ReadFileText(file).size(), 2000u) << c.path;
    std::vector<WPARAM> percents;
    MSG msg;
    while (PeekMessageW(&msg, window, 0, 0, PM_REMOVE)) {
      EXPECT_EQ(msg.message, 1125u);
      EXPECT_EQ(msg.lParam, 0);
      percents.push_back(msg.wParam);
    }
    if (!c.expectProgress) {
      EXPECT_TRUE(percents.empty()) << c.path;
      continue;
    }
    // The server sends 500 bytes, pauses, then the other 1500.
    EXPECT_NE(std::find(percents.begin(), percents.end(), 25u), percents.end()) << c.path;
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end())) << c.path;
    ASSERT_FALSE(percents.empty());
    EXPECT_EQ(percents.back(), 100u);
  }
  DeleteFileA(file.c_str());
  DestroyWindow(window);
}

// --- remote configuration -----------------------------------------------------------------

TEST_F(NetWine, FetchToolConfigByScenario) {
  struct Case {
    const char* scenario;
    bool ok;
    ToolConfig record;        // afterwards
    const char* contextIp;    // afterwards
    const char* contextHelper;
  } cases[] = {
      {"commas", true, {"203.0.113.7", "32.0.0.171", "2,0,1,3", true}, "203.0.113.7", "2.0.1.3"},
      {"html404", false, {}, "203.0.113.7", "2.0.1.3"},  // record cleared, context kept
      {"array", false, {}, "203.0.113.7", "2.0.1.3"},
      {"missing", true, {"203.0.113.7", "32.0.0.171", "", false}, "203.0.113.7", ""},
      {"wrongtypes", true, {"", "", "", true}, "", ""},
      {"normal", true, {"203.0.113.7", "32.0.0.171", "2.0.1.3", true}, "203.0.113.7", "2.0.1.3"},
      {"empty", true, {}, "", ""},
  };
  ToolContext& context = GetToolContext();
  for (const Case& c : cases) {
    ASSERT_TRUE(vendor::SelectScenario(c.scenario));
    ToolConfig record{"old", "old", "old", true};
    EXPECT_EQ(FetchToolConfig(context, record), c.ok) << c.scenario;
    EXPECT_EQ(record.ip, c.record.ip) << c.scenario;
    EXPECT_EQ(record.flashVersion, c.record.flashVersion) << c.scenario;
    EXPECT_EQ(record.helperVersion, c.record.helperVersion) << c.scenario;
    EXPECT_EQ(record.country, c.record.country) << c.scenario;
    EXPECT_EQ(GetConfiguredIp(), c.contextIp) << c.scenario;
    EXPECT_EQ(GetConfiguredHelperVersion(), c.contextHelper) << c.scenario;
  }
}

TEST_F(NetWine, FetchToolConfigFromSlowServerFailsAndKeepsEverything) {
  ASSERT_TRUE(vendor::SelectScenario("normal"));
  ToolConfig record;
  ASSERT_TRUE(FetchToolConfig(GetToolContext(), record));
  ASSERT_TRUE(vendor::SelectScenario("slow"));
  ToolConfig kept{"keep", "keep", "keep", false};
  auto start = Clock::now();
  EXPECT_FALSE(FetchToolConfig(GetToolContext(), kept));
  EXPECT_LT(SecondsSince(start), 6.0);
  EXPECT_EQ(kept.ip, "keep");
  EXPECT_EQ(kept.flashVersion, "keep");
  EXPECT_EQ(GetConfiguredIp(), "203.0.113.7");
  EXPECT_EQ(GetConfiguredHelperVersion(), "2.0.1.3");
}

struct DeepFetch {
  ToolConfig record{"old", "old", "old", true};
  bool ok = true;
};

// A thread procedure: the Windows calling convention, which a lambda lacks on x86.
DWORD WINAPI FetchOnSmallStack(void* arg) {
  auto* r = static_cast<DeepFetch*>(arg);
  r->ok = FetchToolConfig(GetToolContext(), r->record);
  return 7;
}

// A reply nested about 49,000 levels deep, fetched on a thread with a small stack: "not a
// JSON object" (record cleared, context kept), and the thread lives on.
TEST_F(NetWine, DeeplyNestedReplyIsNotAnObject) {
  ASSERT_TRUE(vendor::SelectScenario("normal"));
  ToolConfig first;
  ASSERT_TRUE(FetchToolConfig(GetToolContext(), first));
  ASSERT_TRUE(vendor::SelectScenario("deep"));
  DeepFetch run;
  HANDLE thread = CreateThread(nullptr, 64 * 1024, FetchOnSmallStack, &run, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(WaitForSingleObject(thread, 20000), WAIT_OBJECT_0);
  DWORD exitCode = 0;
  GetExitCodeThread(thread, &exitCode);
  CloseHandle(thread);
  EXPECT_EQ(exitCode, 7u);
  EXPECT_FALSE(run.ok);
  EXPECT_EQ(run.record.ip, "");
  EXPECT_EQ(run.record.flashVersion, "");
  EXPECT_FALSE(run.record.country);
  EXPECT_EQ(GetConfiguredIp(), "203.0.113.7");
  EXPECT_EQ(GetConfiguredHelperVersion(), "2.0.1.3");
}

// --- the system proxy ------------------------------------------------------------------------

// Writes the current user's proxy setting as the Windows network settings store it (the value
// WinHTTP's IE proxy configuration is read from) and puts the old one back afterwards.
class SystemProxyWine : public NetWine {
 protected:
  static constexpr wchar_t kKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections";
  static constexpr wchar_t kValue[] = L"DefaultConnectionSettings";

  void SetUp() override {
    NetWine::SetUp();
    ScopedRegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, key.Receive()) == ERROR_SUCCESS) {
      DWORD size = 0;
      if (RegQueryValueExW(key.Get(), kValue, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
        saved_.resize(size);
        hadValue_ = RegQueryValueExW(key.Get(), kValue, nullptr, nullptr, saved_.data(), &size) == ERROR_SUCCESS;
      }
    }
  }
  void TearDown() override { Restore(); }

  void Restore() {
    ScopedRegKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr) !=
        ERROR_SUCCESS)
      return;
    if (hadValue_)
      RegSetValueExW(key.Get(), kValue, 0, REG_BINARY, saved_.data(), static_cast<DWORD>(saved_.size()));
    else
      RegDeleteValueW(key.Get(), kValue);
  }

  // Layout: version 0x46, a change counter, flags (1 direct, 2 fixed proxy), then the proxy
  // list, the bypass list and the configuration-script address, each a length and its bytes.
  static void SetProxy(const std::string& proxy, const std::string& bypass) {
    std::vector<BYTE> blob;
    auto put32 = [&](DWORD v) { blob.insert(blob.end(), reinterpret_cast<BYTE*>(&v), reinterpret_cast<BYTE*>(&v) + 4); };
    auto putText = [&](const std::string& text) {
      put32(static_cast<DWORD>(text.size()));
      blob.insert(blob.end(), text.begin(), text.end());
    };
    put32(0x46);
    put32(1);
    put32(proxy.empty() ? 1 : 3);
    putText(proxy);
    putText(bypass);
    putText("");
    blob.resize(blob.size() + 32, 0);
    ScopedRegKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key.Get(), kValue, 0, REG_BINARY, blob.data(), static_cast<DWORD>(blob.size())),
              ERROR_SUCCESS);
  }

  bool hadValue_ = false;
  std::vector<BYTE> saved_;
};

// A configuration query and an installer download go through the fixed proxy named for
// HTTPS (a CONNECT tunnel each); the bypass list and a proxy for plain HTTP only leave them
// direct. The records are read after the proxy setting is put back.
TEST_F(SystemProxyWine, TransfersUseTheFixedProxyUnlessBypassed) {
  const std::string proxy = FormatStringA("127.0.0.1:%d", vendor::Port("proxy"));
  const std::string target = FormatStringA("127.0.0.1:%d", QV_VENDOR_PORT);
  ASSERT_TRUE(vendor::PutFile(vendor::WwwDir(), L"proxied\\setup.exe", "MZ proxied installer"));
  struct Case {
    const char* name;
    std::string proxyList;
    const char* bypass;
    int tunnels;  // CONNECTs to the vendor server for the two transfers
  } cases[] = {
      {"one proxy for every scheme", proxy, "", 2},
      {"a proxy per scheme", "http=127.0.0.1:1;https=" + proxy, "<local>;*.example", 2},
      {"vendor host bypassed", proxy, "*.example;127.0.0.*", 0},
      {"proxy for plain HTTP only", "http=" + proxy, "", 0},
  };
  const std::string file = TempFile("qv_net_proxied.exe");
  for (const Case& c : cases) {
    ASSERT_TRUE(vendor::Reset("normal")) << c.name;
    SetProxy(c.proxyList, c.bypass);
    ToolConfig record;
    EXPECT_TRUE(FetchToolConfig(GetToolContext(), record)) << c.name;
    EXPECT_EQ(record.ip, "203.0.113.7") << c.name;
    EXPECT_EQ(HttpTransfer().HttpDownload(Web("/proxied/setup.exe"), file), CURLE_OK) << c.name;
    EXPECT_EQ(ReadFileText(file), "MZ proxied installer") << c.name;
    Restore();
    int tunnels = 0;
    for (const auto& request : vendor::Requests())
      if (std::string(request["port"].GetString()) == "proxy") {
        EXPECT_EQ(std::string(request["query"].GetString()), target) << c.name;
        ++tunnels;
      }
    EXPECT_EQ(tunnels, c.tunnels) << c.name;
  }
  DeleteFileA(file.c_str());
}

// --- the platform's certificate verdict ----------------------------------------------------

// These run where the chain engine trusts the platform test root: ctest starts them through
// tests/wine/with_platform_roots.sh, which mounts a folder holding only that root over
// /etc/ssl/certs in a private mount namespace and sets QV_PLATFORM_ROOTS.
class PlatformTrust : public NetWine {
 protected:
  void SetUp() override {
    if (!GetEnvironmentVariableW(L"QV_PLATFORM_ROOTS", nullptr, 0))
      GTEST_SKIP() << "needs the platform test root in the chain engine (tests/wine/with_platform_roots.sh)";
    NetWine::SetUp();
  }

  // Wine 8 keeps every fetched revocation list in the user's CryptnetUrlCache, and a chain
  // whose list is found there counts as "offline" instead of revoked (the server also makes a
  // new list at every start). So each check that needs the list starts with an empty cache.
  static void ForgetRevocationLists() {
    wchar_t profile[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH)) return;
    std::wstring folder = std::wstring(profile) + L"\\AppData\\LocalLow\\Microsoft\\CryptnetUrlCache\\Content\\";
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((folder + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }

  // The certificates of a PEM file of the server's state folder, in DER, in file order.
  static std::vector<std::string> ChainOf(const char* name) {
    std::string pem = ReadFileText(WideToAnsi(vendor::StateDir()) + "\\" + name);
    std::vector<std::string> chain;
    const std::string end = "-----END CERTIFICATE-----";
    size_t start = 0;
    while ((start = pem.find("-----BEGIN CERTIFICATE-----", start)) != std::string::npos) {
      size_t stop = pem.find(end, start);
      if (stop == std::string::npos) break;
      std::string block = pem.substr(start, stop + end.size() - start);
      DWORD size = 0;
      if (CryptStringToBinaryA(block.c_str(), 0, CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr, nullptr)) {
        std::string der(size, '\0');
        CryptStringToBinaryA(block.c_str(), 0, CRYPT_STRING_BASE64HEADER, reinterpret_cast<BYTE*>(&der[0]), &size,
                             nullptr, nullptr);
        chain.push_back(der);
      }
      start = stop;
    }
    return chain;
  }
};

TEST_F(PlatformTrust, ChainEngineJudgesTheServersChain) {
  struct Case {
    const char* name;
    const char* chainFile;
    const char* host;
    bool trusted;
    DWORD chainError;   // a bit that must be set, or 0
    DWORD policyError;  // the policy's error, or 0 when any
  } cases[] = {
      {"root known to the platform only", "platform.pem", "localhost", true, 0, 0},
      {"another host name", "platform.pem", "127.0.0.2", false, 0, static_cast<DWORD>(CERT_E_CN_NO_MATCH)},
      {"certificate for another name", "platform-misnamed.pem", "localhost", false, 0,
       static_cast<DWORD>(CERT_E_CN_NO_MATCH)},
      {"intermediate not sent", "platform-partial.pem", "localhost", false, CERT_TRUST_IS_PARTIAL_CHAIN, 0},
      {"expired", "platform-expired.pem", "localhost", false, CERT_TRUST_IS_NOT_TIME_VALID, 0},
      {"revoked (the list fetched from the vendor server)", "platform-revoked.pem", "localhost", false,
       CERT_TRUST_IS_REVOKED, 0},
      {"unknown root", "rogue-server.pem", "localhost", false, 0, 0},
      {"trusted by the CA file only", "server.pem", "localhost", false, 0, 0},
  };
  for (const Case& c : cases) {
    std::vector<std::string> chain = ChainOf(c.chainFile);
    ASSERT_FALSE(chain.empty()) << c.name;
    ForgetRevocationLists();
    ChainVerdict verdict = JudgeServerChain(chain, c.host);
    EXPECT_EQ(verdict.trusted, c.trusted) << c.name << FormatStringA(": chain %08lx policy %08lx",
                                                                     verdict.chainErrors, verdict.policyError);
    if (c.chainError) {
      EXPECT_TRUE(verdict.chainErrors & c.chainError) << c.name;
    }
    if (c.policyError) {
      EXPECT_EQ(verdict.policyError, c.policyError) << c.name;
    }
  }
  EXPECT_FALSE(JudgeServerChain({}, "localhost").trusted);
  EXPECT_FALSE(JudgeServerChain({"not a certificate"}, "localhost").trusted);
  EXPECT_FALSE(JudgeServerChain(ChainOf("platform.pem"), "").trusted);
}

// Through real connections: only the chain the platform trusts is reached; every refusal is
// 60 and happens in the handshake, before a request is sent and before the file is written.
// The servers are named "localhost": Wine's SSL policy matches DNS names, not addresses.
TEST_F(PlatformTrust, TransfersReachOnlyServersThePlatformTrusts) {
  struct Case {
    const char* listener;
    int result;
  } cases[] = {
      {"platform", CURLE_OK},
      {"platform-partial", CURLE_PEER_FAILED_VERIFICATION},
      {"platform-expired", CURLE_PEER_FAILED_VERIFICATION},
      {"platform-misnamed", CURLE_PEER_FAILED_VERIFICATION},
      {"platform-revoked", CURLE_PEER_FAILED_VERIFICATION},
      {"untrusted", CURLE_PEER_FAILED_VERIFICATION},
  };
  const std::string file = TempFile("qv_net_platform.bin");
  for (const Case& c : cases) {
    const std::string origin = FormatStringA("https://localhost:%d", vendor::Port(c.listener));
    ForgetRevocationLists();
    std::string body;
    EXPECT_EQ(HttpTransfer().HttpGet(origin + "/test/bytes/10", body), c.result) << c.listener;
    WriteFileText(file, "old content");
    ForgetRevocationLists();
    EXPECT_EQ(HttpTransfer().HttpDownload(origin + "/test/bytes/12", file), c.result) << c.listener;
    EXPECT_EQ(ReadFileText(file), c.result == CURLE_OK ? "012345678901" : "") << c.listener;
    EXPECT_EQ(body, c.result == CURLE_OK ? "0123456789" : "") << c.listener;
  }
  DeleteFileA(file.c_str());
  int reached = 0;
  for (const auto& request : vendor::Requests()) {
    const std::string port = request["port"].GetString();
    if (port == "main" || port == "plain") continue;  // this read of the records, the revocation list
    EXPECT_EQ(port, "platform");
    ++reached;
  }
  EXPECT_EQ(reached, 2);
}

// --- statistics ----------------------------------------------------------------------------

void RunReport(LPTHREAD_START_ROUTINE body, const ReportArgs& args) {
  HANDLE thread = StartReportThread(body, args);
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  CloseHandle(thread);
}

TEST_F(NetWine, EveryReportArrivesDecryptsAndVerifies) {
  const ReportArgs args{"1.0.2.7", {{4, 2}, {7, 5}}, 1, true};
  struct Case {
    LPTHREAD_START_ROUTINE body;
    const char* action;
    const char* helper;
    const char* fp;
    const char* reg;
  } cases[] = {
      {ReportActive, "active", "<missing>", "<missing>", "<missing>"},
      {ReportCheck, "check", "<missing>", "<missing>", "<missing>"},
      {ReportCheckResult, "checkresult", "13", "1", "<missing>"},
      {ReportRepairResult, "repairresult", "0", "0", "<missing>"},
      {ReportBoot, "boot", "<missing>", "<missing>", "<missing>"},
      {ReportBootResult, "bootresult", "1", "-1", "<missing>"},
      {ReportRegisterBoot, "registerboot", "<missing>", "<missing>", "1"},
  };
  for (const Case& c : cases) RunReport(c.body, args);
  auto reports = vendor::Reports();
  ASSERT_EQ(reports.size(), std::size(cases));
  const std::string now = WideToAnsi(GetUnixTimeString());
  for (size_t i = 0; i < reports.size(); ++i) {
    const rapidjson::Value& r = reports[i];
    const Case& c = cases[i];
    ASSERT_TRUE(r["valid"].GetBool()) << c.action << ": " << (r["plain"].IsString() ? r["plain"].GetString() : "");
    EXPECT_STREQ(r["msgtype"].GetString(), "fixtool");
    EXPECT_EQ(vendor::PayloadField(r, "msgtype"), "fixtool");
    EXPECT_EQ(vendor::PayloadField(r, "action"), c.action);
    EXPECT_EQ(vendor::PayloadField(r, "um"), GetEncryptedMac());
    EXPECT_EQ(vendor::PayloadField(r, "guid"), GetMachineGuid());
    EXPECT_EQ(vendor::PayloadField(r, "version"), "1.0.2.7");
    EXPECT_EQ(vendor::PayloadField(r, "helper"), c.helper) << c.action;
    EXPECT_EQ(vendor::PayloadField(r, "fp"), c.fp) << c.action;
    EXPECT_EQ(vendor::PayloadField(r, "register"), c.reg) << c.action;
    bool result = std::string(c.helper) != "<missing>";
    EXPECT_EQ(vendor::PayloadField(r, "safesoft"), result ? "0" : "<missing>") << c.action;
    long long tt = std::stoll(vendor::PayloadField(r, "tt"));
    EXPECT_LE(std::llabs(tt - std::stoll(now)), 30) << c.action;
  }
}

TEST_F(NetWine, ConcurrentReportsDoNotCorruptEachOther) {
  std::vector<HANDLE> threads;
  std::set<std::string> versions;
  for (int i = 0; i < 8; ++i) {
    ReportArgs args{FormatStringA("8.0.0.%d", i), {{5, 0}}, 0, false};
    versions.insert(args.version);
    threads.push_back(StartReportThread(ReportCheckResult, args));
    ASSERT_NE(threads.back(), nullptr);
  }
  EXPECT_EQ(WaitForMultipleObjects(8, threads.data(), TRUE, 15000), WAIT_OBJECT_0);
  for (HANDLE t : threads) CloseHandle(t);
  std::set<std::string> received;
  for (const auto& r : vendor::Reports()) {
    EXPECT_TRUE(r["valid"].GetBool());
    EXPECT_EQ(vendor::PayloadField(r, "fp"), "1");
    received.insert(vendor::PayloadField(r, "version"));
  }
  EXPECT_EQ(received, versions);
}

TEST_F(NetWine, EmptyPayloadSendsNothing) {
  SendReport("fixtool", "");
  EXPECT_TRUE(vendor::Reports().empty());
  EXPECT_FALSE(RequestedPath("/hm2.gif"));
}

// --- machine identity in the registry -----------------------------------------------------

// Saves the shared "guid" value and puts it back afterwards.
class GuidRegistry : public ::testing::Test {
 protected:
  static constexpr REGSAM kView = KEY_WOW64_32KEY;

  void SetUp() override {
    hadValue_ = Read(saved_, savedType_);
  }
  void TearDown() override {
    if (hadValue_) {
      ScopedRegKey key;
      RegCreateKeyExW(HKEY_LOCAL_MACHINE, kGuidKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS | kView, nullptr,
                      key.Receive(), nullptr);
      RegSetValueExW(key.Get(), kGuidValueName, 0, savedType_, saved_.data(), static_cast<DWORD>(saved_.size()));
    } else {
      DeleteValue();
    }
  }

  static bool Read(std::vector<BYTE>& data, DWORD& type) {
    ScopedRegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kGuidKeyPath, 0, KEY_READ | kView, key.Receive()) != ERROR_SUCCESS)
      return false;
    DWORD size = 0;
    if (RegQueryValueExW(key.Get(), kGuidValueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    data.resize(size);
    return RegQueryValueExW(key.Get(), kGuidValueName, nullptr, &type, data.data(), &size) == ERROR_SUCCESS;
  }
  static void DeleteValue() {
    ScopedRegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kGuidKeyPath, 0, KEY_ALL_ACCESS | kView, key.Receive()) == ERROR_SUCCESS)
      RegDeleteValueW(key.Get(), kGuidValueName);
  }
  static void DeleteKey() { RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kGuidKeyPath, kView, 0); }
  static void StoreRaw(const void* data, DWORD size) {
    ScopedRegKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kGuidKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS | kView, nullptr,
                              key.Receive(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key.Get(), kGuidValueName, 0, REG_SZ, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
  }

  bool hadValue_ = false;
  std::vector<BYTE> saved_;
  DWORD savedType_ = REG_SZ;
};

bool IsGuidText(const std::string& text) {
  if (text.size() != 38 || text.front() != '{' || text.back() != '}') return false;
  for (size_t i = 1; i < 37; ++i) {
    char ch = text[i];
    if (i == 9 || i == 14 || i == 19 || i == 24) {
      if (ch != '-') return false;
    } else if (i >= 15 && i < 19) {  // third group: lower case
      if (!isdigit(static_cast<unsigned char>(ch)) && !(ch >= 'a' && ch <= 'f')) return false;
    } else if (!isdigit(static_cast<unsigned char>(ch)) && !(ch >= 'A' && ch <= 'F')) {
      return false;
    }
  }
  return true;
}

TEST_F(GuidRegistry, FirstRunStoresGuidWithoutNulAndLaterRunsReadIt) {
  struct Case {
    const char* name;
    void (*prepare)();
  } cases[] = {{"value missing", DeleteValue}, {"key missing", DeleteKey}};
  for (const Case& c : cases) {
    c.prepare();
    std::string first = ReadOrCreateRegistryGuid();
    EXPECT_TRUE(IsGuidText(first)) << c.name << ": " << first;
    std::vector<BYTE> data;
    DWORD type = 0;
    ASSERT_TRUE(Read(data, type)) << c.name;
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << c.name;
    // 38 characters without the NUL. Wine's RegSetValueExW stores a terminating NUL by itself
    // when the caller's buffer happens to have one right after the counted bytes.
    EXPECT_TRUE(data.size() == 76u || (data.size() == 78u && data[76] == 0 && data[77] == 0)) << data.size();
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(data.data()), 38), AnsiToWide(first)) << c.name;
    EXPECT_EQ(ReadOrCreateRegistryGuid(), first) << c.name;
  }
}

TEST_F(GuidRegistry, StoredValuesAreReadUpToTheirFirstNul) {
  const std::wstring longText(300, L'7');
  const std::wstring unterminated = L"abcd";  // only "abc" is stored: no NUL after it
  struct Case {
    const char* name;
    std::wstring stored;
    DWORD bytes;
    std::string expected;
  } cases[] = {
      {"with NUL", L"{stored-elsewhere}", 38, "{stored-elsewhere}"},
      {"without NUL", unterminated, 6, "abc"},
      {"longer than 260 units", longText, 600, std::string(300, '7')},
  };
  for (const Case& c : cases) {
    StoreRaw(c.stored.c_str(), c.bytes);
    EXPECT_EQ(ReadOrCreateRegistryGuid(), c.expected) << c.name;
  }
}

TEST_F(GuidRegistry, EmptyStoredGuidGivesFreshGuidPerRunAndLeavesRegistry) {
  StoreRaw(L"", sizeof(wchar_t));
  ToolContext first, second;
  LoadMachineIdentity(first);
  LoadMachineIdentity(second);
  EXPECT_TRUE(IsGuidText(first.machineGuid)) << first.machineGuid;
  EXPECT_TRUE(IsGuidText(second.machineGuid)) << second.machineGuid;
  EXPECT_NE(first.machineGuid, second.machineGuid);
  std::vector<BYTE> data;
  DWORD type = 0;
  ASSERT_TRUE(Read(data, type));
  EXPECT_EQ(data, std::vector<BYTE>(2, 0));
}

TEST(NewGuidTextWine, FormatHasLowerCaseThirdGroup) {
  std::set<std::string> seen;
  for (int i = 0; i < 50; ++i) {
    std::string text = WideToAnsi(NewGuidText());
    EXPECT_TRUE(IsGuidText(text)) << text;
    seen.insert(text);
  }
  EXPECT_EQ(seen.size(), 50u);
}

}  // namespace
