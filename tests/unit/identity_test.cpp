// AES against published vectors and the choice of the identifying adapter.
#include <gtest/gtest.h>

#include "core/Aes.h"
#include "core/MacAddress.h"

namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string text;
  for (int v : values) text.push_back(static_cast<char>(v));
  return text;
}

std::string Sequence(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text.push_back(static_cast<char>(i));
  return text;
}

// FIPS-197 appendix C: with a zero IV the first CBC block equals the single-block cipher.
TEST(AesEncryptHex, FirstBlockMatchesPublishedVectorsForEachKeyLength) {
  const std::string plain = Bytes({0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xaa, 0xbb, 0xcc,
                                   0xdd, 0xee, 0xff});
  struct Case {
    int keyLength;
    const char* firstBlock;
  } cases[] = {
      {16, "69C4E0D86A7B0430D8CDB78070B4C55A"},
      {24, "DDA97CA4864CDFE06EAF70A0EC0D7191"},
      {32, "8EA2B7CA516745BFEAFC49904B496089"},
  };
  for (const Case& c : cases) {
    std::string hex = AesEncryptHex(Sequence(c.keyLength), plain);
    ASSERT_EQ(hex.size(), 64u) << c.keyLength;  // a full block of padding follows
    EXPECT_EQ(hex.substr(0, 32), c.firstBlock) << c.keyLength;
  }
}

TEST(AesEncryptHex, IdentityKeyGivesTheStableMachineToken) {
  // Reference values from the openssl command line tool (aes-128-cbc, zero IV).
  EXPECT_EQ(AesEncryptHex("M7&K3P9#4x6R#2Bq", ""), "BF5B1C21D44A8428DC9021353504E0EF");
  EXPECT_EQ(AesEncryptHex("M7&K3P9#4x6R#2Bq", "001A2B3C4D5E"), "2D547A1E4FD99955B59722B0E08E1889");
}

TEST(AesEncryptHex, LengthFollowsPaddingAndBadKeysGiveEmpty) {
  struct Case {
    size_t keyLength, plainLength, hexLength;
  } cases[] = {
      {16, 0, 32}, {16, 12, 32}, {16, 15, 32}, {16, 16, 64}, {16, 17, 64}, {32, 160, 352},
      {15, 12, 0}, {20, 12, 0},  {0, 12, 0},   {33, 12, 0},
  };
  for (const Case& c : cases) {
    std::string hex = AesEncryptHex(std::string(c.keyLength, 'k'), std::string(c.plainLength, 'p'));
    EXPECT_EQ(hex.size(), c.hexLength) << c.keyLength << "/" << c.plainLength;
    EXPECT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos);
  }
}

TEST(ChooseMacAddressText, WalksEthernetAdaptersSkippingAllZeroAddresses) {
  const AdapterRecord wireless{71, {0x11, 0x22, 0x33, 0x44, 0x55, 0x66}};
  const AdapterRecord zero{6, {0, 0, 0, 0, 0, 0}};
  const AdapterRecord wired{6, {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e}};
  const AdapterRecord wired2{6, {0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff}};
  const AdapterRecord loopback{24, {}};
  const AdapterRecord shortAddress{6, {0, 0}};
  const AdapterRecord longZeroPrefix{6, {0, 0, 0, 0, 0, 0, 0, 7}};
  const AdapterRecord oversized{6, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}};
  struct Case {
    const char* name;
    std::vector<AdapterRecord> adapters;
    const char* expected;
  } cases[] = {
      {"wireless, zero, wired", {wireless, zero, wired}, "001A2B3C4D5E"},
      {"first non-zero wins", {wired2, wired}, "AABBCCDDEEFF"},
      {"only all-zero", {zero}, "000000000000"},
      {"only wireless", {wireless, loopback}, ""},
      {"no adapters", {}, ""},
      {"zero after wireless is the last seen", {zero, wireless}, "000000000000"},
      {"short address stops the walk", {shortAddress, wired}, "0000"},
      {"only the first 12 digits must be zero", {longZeroPrefix, wired}, "001A2B3C4D5E"},
      {"at most 8 bytes are read", {oversized}, "0102030405060708"},
  };
  for (const Case& c : cases) EXPECT_EQ(ChooseMacAddressText(c.adapters), c.expected) << c.name;
}

}  // namespace
