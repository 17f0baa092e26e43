#include <gtest/gtest.h>

#include "core/ConfigFile.h"
#include "core/StrUtil.h"

namespace {

TEST(CompareVersion, Cases) {
  struct Case {
    const char* name;
    const wchar_t* first;
    const wchar_t* second;
    bool ok;
    int result;
  } cases[] = {
      {"equal", L"29.0.0.171", L"29.0.0.171", true, 0},
      {"lower", L"28.0.0.137", L"29.0.0.171", true, 1},
      {"higher", L"30.0.0.113", L"29.0.0.171", true, -1},
      {"shorter first ends the comparison", L"1.2", L"1.2.5", true, 0},
      {"shorter second ends the comparison", L"1.2.5", L"1.2", true, 0},
      {"leading zeros", L"29.0.0.0171", L"29.0.0.171", true, 0},
      {"letters count as zero", L"29.x.0.171", L"29.0.0.171", true, 0},
      {"negative compares unsigned", L"-1", L"5", true, -1},
      {"later component decides", L"29.0.1.0", L"29.0.0.999", true, -1},
      {"empty first", L"", L"1.0", false, 42},
      {"empty second", L"1.0", L"", false, 42},
  };
  for (const Case& c : cases) {
    int result = 42;
    EXPECT_EQ(CompareVersion(c.first, c.second, L'.', result), c.ok) << c.name;
    EXPECT_EQ(result, c.result) << c.name;
  }
}

TEST(StrUtil, HexTrimReplace) {
  const unsigned char bytes[] = {0x0A, 0xFF};
  char out[5];
  BytesToHex(bytes, 2, out);
  EXPECT_STREQ(out, "0AFF");
  EXPECT_EQ(BytesToHex(bytes, 0), "");

  EXPECT_EQ(TrimW(L"  \tabc \t"), L"abc");
  EXPECT_EQ(TrimW(L"   "), L"");
  EXPECT_EQ(TrimLeftW(L"\t a\n"), L"a\n");
  EXPECT_EQ(TrimRightW(L" a \t"), L" a");
  EXPECT_EQ(TrimA(" \t{\"a\":1}\t "), "{\"a\":1}");
  EXPECT_EQ(TrimA("\xD5\xFD\x20"), "\xD5\xFD");

  std::string version = "32,0,0,101";
  ReplaceAllA(version, ",", ".");
  EXPECT_EQ(version, "32.0.0.101");
  std::string dots = "1.2.3";
  ReplaceAllA(dots, ".", "");
  EXPECT_EQ(dots, "123");
  // A replacement containing the searched text must not loop forever.
  std::string grow = "a.b";
  ReplaceAllA(grow, ".", "..");
  EXPECT_EQ(grow, "a..b");
}

TEST(StrUtil, FormatAndAtoi) {
  EXPECT_EQ(FormatStringA("%s=%d", "HelperRepaired", 3), "HelperRepaired=3");
  EXPECT_EQ(FormatStringW(L"%sQuorvane.cfg", L"C:\\Tools\\"), L"C:\\Tools\\Quorvane.cfg");
  std::string longText(5000, 'x');
  EXPECT_EQ(FormatStringA("%s!", longText.c_str()).size(), 5001u);
  EXPECT_EQ(FormatStringA("%s", ""), "");

  EXPECT_EQ(NarrowAtoi(""), 0);
  EXPECT_EQ(NarrowAtoi("  12abc"), 12);
  EXPECT_EQ(NarrowAtoi("-7"), -7);
  EXPECT_EQ(NarrowAtoi("99999999999"), 2147483647);
  EXPECT_EQ(WideAtoi(L"0171"), 171);
  EXPECT_EQ(UnixTimeText(4102444800LL), L"4102444800");  // past 2038
}

TEST(SettingsText, ParseAndSerialise) {
  SettingsEntries entries =
      ParseSettingsText("a=b=c\r\n\r\nno equals here\r\n checked=1\r\nchecked=0\r\nchecked=1\r\nlast=x");
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_EQ(entries[0], (std::pair<std::string, std::string>("a", "b=c")));
  EXPECT_EQ(entries[1].first, " checked");
  EXPECT_EQ(entries[2], (std::pair<std::string, std::string>("checked", "0")));
  EXPECT_EQ(entries[4], (std::pair<std::string, std::string>("last", "x")));
  EXPECT_EQ(SerializeSettings(entries), "a=b=c\r\n checked=1\r\nchecked=0\r\nchecked=1\r\nlast=x\r\n");
  EXPECT_TRUE(ParseSettingsText("").empty());
  EXPECT_EQ(ParseSettingsText("=v\n")[0].first, "");
}

}  // namespace
