// Whether the server of an HTTPS transfer is trusted: the verdict of the Windows certificate
// chain engine on the chain the server sent. OpenSSL makes the connection; this decides, during
// the handshake, whether it may go on. Windows only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// libcurl CURLOPT_SSL_CTX_FUNCTION callback (libcurl passes the transfer's CURL handle first):
// replaces OpenSSL's chain
// verification of each connection with JudgeServerChain for the host being connected, so a
// refused server ends the handshake before any request is sent (libcurl reports 60,
// CURLE_PEER_FAILED_VERIFICATION). Test builds also accept a chain OpenSSL verifies, with the
// host name, against the local vendor server's CA file; release builds know no other trust.
int AttachTrustStore(void* curl, void* sslContext, void* userdata);

struct ChainVerdict {
  bool trusted = false;
  DWORD chainErrors = 0;  // CERT_TRUST_* error bits of the chain, offline/unknown revocation masked
  DWORD policyError = 0;  // error of the SSL policy (0x800B010F other host, 0x800B0109 unknown root …)
};

// Builds the chain of `derChain[0]` (the server's certificate; the rest are the certificates
// the server sent with it, used as an additional store, so Windows may fetch what is missing)
// for server authentication, with revocation checked for every certificate but the root, then
// applies the SSL policy with `host`. Revocation that cannot be checked (no revocation server,
// server offline) does not count; a revoked certificate does.
ChainVerdict JudgeServerChain(const std::vector<std::string>& derChain, const std::string& host);
