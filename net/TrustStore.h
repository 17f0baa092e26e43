// The certificates every HTTPS transfer trusts, loaded once per process. Windows only.
#pragma once

// libcurl CURLOPT_SSL_CTX_FUNCTION callback: puts into the connection's certificate store the
// Windows "ROOT" certificates that are valid now and for server authentication (plus the local
// vendor server's CA in test builds). Reading and parsing the Windows store costs far more than
// a short transfer, so it is done once per process, not per connection.
int AttachTrustStore(void* curl, void* sslContext, void* userdata);
