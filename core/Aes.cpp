#include "core/Aes.h"

#include <openssl/evp.h>

#include <memory>
#include <vector>

#include "core/StrUtil.h"

namespace {

const EVP_CIPHER* CipherForKeyLength(size_t length) {
  switch (length) {
    case 16: return EVP_aes_128_cbc();
    case 24: return EVP_aes_192_cbc();
    case 32: return EVP_aes_256_cbc();
    default: return nullptr;
  }
}

struct CipherCtxFree {
  void operator()(EVP_CIPHER_CTX* ctx) const { EVP_CIPHER_CTX_free(ctx); }
};

}  // namespace

std::string AesEncryptHex(const std::string& key, const std::string& plaintext) {
  const EVP_CIPHER* cipher = CipherForKeyLength(key.size());
  if (!cipher) return {};
  std::unique_ptr<EVP_CIPHER_CTX, CipherCtxFree> ctx(EVP_CIPHER_CTX_new());
  if (!ctx) return {};
  const unsigned char iv[16] = {};
  if (EVP_EncryptInit_ex(ctx.get(), cipher, nullptr, reinterpret_cast<const unsigned char*>(key.data()), iv) != 1)
    return {};
  // PKCS#7 always adds 1..16 bytes, so one block more than the whole blocks is enough.
  std::vector<unsigned char> out((plaintext.size() / 16 + 1) * 16, 0);
  int produced = 0;
  if (EVP_EncryptUpdate(ctx.get(), out.data(), &produced, reinterpret_cast<const unsigned char*>(plaintext.data()),
                        static_cast<int>(plaintext.size())) != 1)
    return {};
  int last = 0;
  if (EVP_EncryptFinal_ex(ctx.get(), out.data() + produced, &last) != 1) return {};
  return BytesToHex(out.data(), static_cast<size_t>(produced + last));
}
