// AES-CBC encryption as the statistics and the machine identity use it. Platform-free.
#pragma once

#include <string>

// Upper-case hex of the ciphertext of `plaintext` under `key` (16, 24 or 32 bytes pick
// AES-128/192/256), zero IV, PKCS#7 padding: 32 digits per started 16-byte block, plus 32 when
// the length is a multiple of 16. Empty for any other key length or when encryption fails.
std::string AesEncryptHex(const std::string& key, const std::string& plaintext);
