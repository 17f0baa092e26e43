#include "net/ReportUrl.h"

#include <openssl/md5.h>

#include "core/Aes.h"
#include "core/StrUtil.h"
#include "net/Endpoints.h"

std::string Md5Hex(const std::string& text) {
  unsigned char digest[MD5_DIGEST_LENGTH];
  // The one-shot MD5 is deprecated in OpenSSL 3 but is exactly the digest we need.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  MD5(reinterpret_cast<const unsigned char*>(text.data()), text.size(), digest);
#pragma GCC diagnostic pop
  return BytesToHex(digest, sizeof digest);
}

std::string BuildReportUrl(const std::string& statsOrigin, const std::string& messageType, const std::string& payload,
                           const std::string& timeText) {
  if (payload.empty()) return {};
  std::string plain = TrimA(payload);
  std::string data = AesEncryptHex(kReportKey, plain);
  std::string token =
      Md5Hex(FormatStringA("%s&%s&%s&%s", kReportKey, timeText.c_str(), kReportSalt, plain.c_str()));
  return FormatStringA(kReportUrlFormat, statsOrigin.c_str(), messageType.c_str(),
                       data.c_str(), token.c_str(), timeText.c_str());
}
