// winsock2.h (through libcurl) must come before windows.h.
#include <curl/curl.h>

#include "net/TrustStore.h"

#include <windows.h>
#include <wincrypt.h>

#include <openssl/ssl.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

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

using CertificateList = std::vector<X509*>;

void AddWindowsRootCertificates(CertificateList& list) {
  HCERTSTORE root = CertOpenSystemStoreW(0, L"ROOT");
  if (!root) return;
  PCCERT_CONTEXT cert = nullptr;
  while ((cert = CertEnumCertificatesInStore(root, cert)) != nullptr) {
    if (!(cert->dwCertEncodingType & X509_ASN_ENCODING)) continue;
    if (CertVerifyTimeValidity(nullptr, cert->pCertInfo) != 0 || !ValidForServerAuth(cert)) continue;
    const unsigned char* der = cert->pbCertEncoded;
    if (X509* x509 = d2i_X509(nullptr, &der, static_cast<long>(cert->cbCertEncoded))) list.push_back(x509);
  }
  CertCloseStore(root, 0);
}

#ifdef QV_TEST_CA_FILE
void AddPemFile(CertificateList& list, const char* path) {
  BIO* bio = BIO_new_file(path, "r");
  if (!bio) return;
  while (X509* x509 = PEM_read_bio_X509(bio, nullptr, nullptr, nullptr)) list.push_back(x509);
  BIO_free(bio);
  ERR_clear_error();  // the end of the file is reported as an error; it is none
}
#endif

// Parsed once; the certificates are only ever read (and reference-counted) afterwards.
const CertificateList& TrustedCertificates() {
  static const CertificateList* list = [] {
    auto* created = new CertificateList;  // lives until the process ends
    AddWindowsRootCertificates(*created);
#ifdef QV_TEST_CA_FILE
    AddPemFile(*created, QV_TEST_CA_FILE);
#endif
    return created;
  }();
  return *list;
}

}  // namespace

// Each connection gets its own store holding the shared certificates: libcurl sets flags on
// the store it verifies with, so one store shared by all threads would be written concurrently.
int AttachTrustStore(void*, void* sslContext, void*) {
  X509_STORE* store = SSL_CTX_get_cert_store(static_cast<SSL_CTX*>(sslContext));
  if (!store) return CURLE_SSL_CACERT_BADFILE;
  for (X509* cert : TrustedCertificates()) X509_STORE_add_cert(store, cert);  // duplicates fail harmlessly
  return CURLE_OK;
}
