// winsock2.h (through libcurl) must come before windows.h.
#include <curl/curl.h>

#include "net/TrustStore.h"

#include <windows.h>
#include <wincrypt.h>

#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <mutex>
#include <vector>

#include "net/Endpoints.h"

namespace {

// Certificates without an enhanced key usage extension are good for every purpose.
bool ValidForServerAuth(PCCERT_CONTEXT cert) {
  DWORD size = 0;
  if (!CertGetEnhancedKeyUsage(cert, 0, nullptr, &size)) return GetLastError() == static_cast<DWORD>(CRYPT_E_NOT_FOUND);
  std::vector<BYTE> buffer(size);
  auto* usage = reinterpret_cast<CERT_ENHKEY_USAGE*>(buffer.data());
  if (!CertGetEnhancedKeyUsage(cert, 0, usage, &size)) return false;
  if (usage->cUsageIdentifier == 0) return GetLastError() == static_cast<DWORD>(CRYPT_E_NOT_FOUND);
  for (DWORD i = 0; i < usage->cUsageIdentifier; ++i)
    if (strcmp(usage->rgpszUsageIdentifier[i], szOID_PKIX_KP_SERVER_AUTH) == 0) return true;
  return false;
}

void AddWindowsRootCertificates(X509_STORE* store) {
  HCERTSTORE root = CertOpenSystemStoreW(0, L"ROOT");
  if (!root) return;
  PCCERT_CONTEXT cert = nullptr;
  while ((cert = CertEnumCertificatesInStore(root, cert)) != nullptr) {
    if (cert->dwCertEncodingType != X509_ASN_ENCODING) continue;
    if (CertVerifyTimeValidity(nullptr, cert->pCertInfo) != 0 || !ValidForServerAuth(cert)) continue;
    const unsigned char* der = cert->pbCertEncoded;
    X509* x509 = d2i_X509(nullptr, &der, static_cast<long>(cert->cbCertEncoded));
    if (!x509) continue;
    X509_STORE_add_cert(store, x509);  // fails harmlessly for duplicates
    X509_free(x509);
  }
  CertCloseStore(root, 0);
}

X509_STORE* SharedTrustStore() {
  static std::once_flag once;
  static X509_STORE* store = nullptr;  // lives until the process ends
  std::call_once(once, [] {
    store = X509_STORE_new();
    if (!store) return;
    AddWindowsRootCertificates(store);
#ifdef QV_TEST_CA_FILE
    X509_STORE_load_file(store, QV_TEST_CA_FILE);
#endif
  });
  return store;
}

}  // namespace

int AttachTrustStore(void*, void* sslContext, void*) {
  X509_STORE* store = SharedTrustStore();
  if (!store) return CURLE_OUT_OF_MEMORY;
  SSL_CTX_set1_cert_store(static_cast<SSL_CTX*>(sslContext), store);
  return CURLE_OK;
}
