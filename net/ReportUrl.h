// Turning one statistics payload into its request URL: AES-encrypted data, an MD5 token over
// key, time, salt and plain payload, and the time. Platform-free except where noted.
#pragma once

#include <string>

inline constexpr char kReportKey[] = "N5&h8W1?7y4T#9Cs";
inline constexpr char kReportSalt[] = "3c7d0b91fe26a458";

// 32 upper-case hex digits of the MD5 digest of the text's bytes.
std::string Md5Hex(const std::string& text);

// The report URL on `statsOrigin` with the given time text (decimal seconds), used both in the
// token and in "time". Empty when the payload is empty; the payload is trimmed of blanks and
// tabs first.
std::string BuildReportUrl(const std::string& statsOrigin, const std::string& messageType, const std::string& payload,
                           const std::string& timeText);

// The same on the compiled-in statistics host at the current time. Windows only.
std::string BuildReportUrl(const std::string& messageType, const std::string& payload);
