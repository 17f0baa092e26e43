// The chain parameters' URL retrieval time-out is one of their optional fields.
#define CERT_CHAIN_PARA_HAS_EXTRA_FIELDS
// winsock2.h (through libcurl) must come before windows.h.
#include <curl/curl.h>

#include "net/TrustStore.h"

#include <windows.h>
#include <wincrypt.h>

#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

#include <memory>

#include "core/StrUtil.h"
#include "net/Endpoints.h"

namespace {

// A chain longer than this is no server's chain (OpenSSL's own default depth is 100).
constexpr size_t kMaxChainCertificates = 16;
// Time Windows may spend fetching missing certificates and revocation lists for one chain.
// Revocation that cannot be fetched in time counts as unknown, which does not refuse.
constexpr DWORD kUrlRetrievalTimeoutMs = 5000;

// Unknown or unreachable revocation information is no reason to refuse: most networks block
// some revocation servers. Wine's SSL policy ignores the policy's ignore-flags, so the bits are
// masked here as well.
constexpr DWORD kIgnoredChainErrors = CERT_TRUST_REVOCATION_STATUS_UNKNOWN | CERT_TRUST_IS_OFFLINE_REVOCATION;

// SECURITY_FLAG_IGNORE_REVOCATION of wininet.h, for the SSL policy's checks.
constexpr DWORD kPolicyIgnoresRevocation = 0x00000080;

bool IgnoredPolicyError(DWORD error) {
  return error == static_cast<DWORD>(CRYPT_E_NO_REVOCATION_CHECK) ||
         error == static_cast<DWORD>(CRYPT_E_REVOCATION_OFFLINE);
}

struct StoreCloser {
  void operator()(void* store) const { CertCloseStore(store, 0); }
};
struct ChainFreer {
  void operator()(PCCERT_CHAIN_CONTEXT chain) const { CertFreeCertificateChain(chain); }
};
struct CertFreer {
  void operator()(PCCERT_CONTEXT cert) const { CertFreeCertificateContext(cert); }
};

std::string DerOf(X509* cert) {
  int size = i2d_X509(cert, nullptr);
  if (size <= 0) return "";
  std::string der(static_cast<size_t>(size), '\0');
  auto* out = reinterpret_cast<unsigned char*>(&der[0]);
  i2d_X509(cert, &out);
  return der;
}

// Host of the URL the transfer is connecting to now (redirects change it), without the
// brackets of an IPv6 literal; "" when it cannot be read.
std::string ConnectingHost(CURL* curl) {
  char* url = nullptr;
  if (!curl || curl_easy_getinfo(curl, CURLINFO_EFFECTIVE_URL, &url) != CURLE_OK || !url) return "";
  CURLU* parsed = curl_url();
  if (!parsed) return "";
  std::string host;
  char* part = nullptr;
  if (curl_url_set(parsed, CURLUPART_URL, url, 0) == CURLUE_OK &&
      curl_url_get(parsed, CURLUPART_HOST, &part, 0) == CURLUE_OK && part) {
    host = part;
    curl_free(part);
  }
  curl_url_cleanup(parsed);
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
  return host;
}

#ifdef QV_TEST_CA_FILE
// Test builds: OpenSSL's own verification against the local vendor server's CA file, with the
// host name or address checked, so the Wine tests that do not give the chain engine their CA
// still reach the server.
bool TestCaFileTrusts(X509_STORE_CTX* context, const std::string& host) {
  X509_VERIFY_PARAM* param = X509_STORE_CTX_get0_param(context);
  if (!param) return false;
  if (X509_VERIFY_PARAM_set1_ip_asc(param, host.c_str()) != 1 &&
      X509_VERIFY_PARAM_set1_host(param, host.c_str(), host.size()) != 1)
    return false;
  return X509_verify_cert(context) == 1;
}
#endif

// OpenSSL's whole-chain verification, replaced: called once per handshake with the chain the
// server sent. Returning 0 ends the handshake with "certificate verify failed".
int VerifyServerChain(X509_STORE_CTX* context, void* curl) {
  std::string host = ConnectingHost(static_cast<CURL*>(curl));
  X509* leaf = X509_STORE_CTX_get0_cert(context);
  if (host.empty() || !leaf) {
    X509_STORE_CTX_set_error(context, X509_V_ERR_APPLICATION_VERIFICATION);
    return 0;
  }
  std::vector<std::string> chain{DerOf(leaf)};
  if (STACK_OF(X509)* sent = X509_STORE_CTX_get0_untrusted(context)) {
    for (int i = 0; i < sk_X509_num(sent); ++i) {
      X509* cert = sk_X509_value(sent, i);
      if (X509_cmp(cert, leaf) != 0) chain.push_back(DerOf(cert));
    }
  }
  if (JudgeServerChain(chain, host).trusted) {
    X509_STORE_CTX_set_error(context, X509_V_OK);
    return 1;
  }
#ifdef QV_TEST_CA_FILE
  if (TestCaFileTrusts(context, host)) return 1;
#endif
  X509_STORE_CTX_set_error(context, X509_V_ERR_CERT_REJECTED);
  return 0;
}

#ifdef QV_TEST_CA_FILE
using CertificateList = std::vector<X509*>;

// Parsed once per process; the certificates are only read (and reference-counted) afterwards.
const CertificateList& TestCaCertificates() {
  static const CertificateList* list = [] {
    auto* created = new CertificateList;  // lives until the process ends
    if (BIO* bio = BIO_new_file(QV_TEST_CA_FILE, "r")) {
      while (X509* x509 = PEM_read_bio_X509(bio, nullptr, nullptr, nullptr)) created->push_back(x509);
      BIO_free(bio);
    }
    ERR_clear_error();  // the end of the file is reported as an error; it is none
    return created;
  }();
  return *list;
}
#endif

}  // namespace

ChainVerdict JudgeServerChain(const std::vector<std::string>& derChain, const std::string& host) {
  ChainVerdict verdict;
  verdict.policyError = static_cast<DWORD>(CERT_E_CHAINING);
  if (derChain.empty() || derChain.size() > kMaxChainCertificates || host.empty()) return verdict;

  std::unique_ptr<void, StoreCloser> sent(
      CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, CERT_STORE_CREATE_NEW_FLAG, nullptr));
  if (!sent) return verdict;
  PCCERT_CONTEXT added = nullptr;
  if (!CertAddEncodedCertificateToStore(sent.get(), X509_ASN_ENCODING,
                                        reinterpret_cast<const BYTE*>(derChain[0].data()),
                                        static_cast<DWORD>(derChain[0].size()), CERT_STORE_ADD_ALWAYS, &added))
    return verdict;
  std::unique_ptr<const CERT_CONTEXT, CertFreer> leaf(added);
  for (size_t i = 1; i < derChain.size(); ++i)  // an unreadable extra certificate only helps less
    CertAddEncodedCertificateToStore(sent.get(), X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(derChain[i].data()),
                                     static_cast<DWORD>(derChain[i].size()), CERT_STORE_ADD_USE_EXISTING, nullptr);

  LPSTR serverAuth = const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH);
  CERT_CHAIN_PARA para{};
  para.cbSize = sizeof para;
  para.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
  para.RequestedUsage.Usage.cUsageIdentifier = 1;
  para.RequestedUsage.Usage.rgpszUsageIdentifier = &serverAuth;
  para.dwUrlRetrievalTimeout = kUrlRetrievalTimeoutMs;
  PCCERT_CHAIN_CONTEXT built = nullptr;
  if (!CertGetCertificateChain(nullptr, leaf.get(), nullptr, sent.get(), &para,
                               CERT_CHAIN_REVOCATION_CHECK_CHAIN_EXCLUDE_ROOT |
                                   CERT_CHAIN_REVOCATION_ACCUMULATIVE_TIMEOUT,
                               nullptr, &built) ||
      !built)
    return verdict;
  std::unique_ptr<const CERT_CHAIN_CONTEXT, ChainFreer> chain(built);

  // Wine's SSL policy passes a partial chain (issuer not found at all), so the chain's own
  // status is the first judge; on Windows this is the usual habit too.
  verdict.chainErrors = chain->TrustStatus.dwErrorStatus & ~kIgnoredChainErrors;

  std::wstring serverName = AnsiToWide(host);
  SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
  ssl.cbSize = sizeof ssl;
  ssl.dwAuthType = AUTHTYPE_SERVER;
  // Revocation is judged above from the chain's status (revoked refuses, unknown does not).
  // Wine's policy would otherwise report unknown revocation before it looks at the name.
  ssl.fdwChecks = kPolicyIgnoresRevocation;
  ssl.pwszServerName = &serverName[0];
  CERT_CHAIN_POLICY_PARA policy{};
  policy.cbSize = sizeof policy;
  policy.dwFlags = CERT_CHAIN_POLICY_IGNORE_ALL_REV_UNKNOWN_FLAGS;
  policy.pvExtraPolicyPara = &ssl;
  CERT_CHAIN_POLICY_STATUS status{};
  status.cbSize = sizeof status;
  if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain.get(), &policy, &status)) return verdict;
  verdict.policyError = IgnoredPolicyError(status.dwError) ? 0 : status.dwError;
  verdict.trusted = verdict.chainErrors == 0 && verdict.policyError == 0;
  return verdict;
}

// Each connection has its own SSL_CTX (libcurl makes one per connection), so the verification
// callback and its CURL handle belong to this transfer alone.
int AttachTrustStore(void* curl, void* sslContext, void*) {
  auto* context = static_cast<SSL_CTX*>(sslContext);
  SSL_CTX_set_cert_verify_callback(context, VerifyServerChain, curl);
#ifdef QV_TEST_CA_FILE
  X509_STORE* store = SSL_CTX_get_cert_store(context);
  if (!store) return CURLE_SSL_CACERT_BADFILE;
  for (X509* cert : TestCaCertificates()) X509_STORE_add_cert(store, cert);  // duplicates fail harmlessly
#endif
  return CURLE_OK;
}
