#include <gtest/gtest.h>

#include "ui/core/AttributeList.h"
#include "ui/core/ValueSyntax.h"

using namespace DuiLib;

TEST(UiValues, BooleansAreOnlyExactTrue) {
  struct Case { const wchar_t* text; bool expected; };
  const Case cases[] = {
      {L"true", true}, {L"True", false}, {L"TRUE", false}, {L"1", false},
      {L"", false},    {L"true ", false}, {L" true", false}, {L"false", false},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseBool(c.text), c.expected) << "'" << c.text << "'";
  EXPECT_FALSE(ParseBool(nullptr));
}

TEST(UiValues, IntegersReadAsFarAsTheirDigits) {
  struct Case { const wchar_t* text; int expected; };
  const Case cases[] = {
      {L"12", 12},  {L"12px", 12}, {L"px", 0},    {L"", 0},       {L"  7", 7},
      {L"-40", -40}, {L"+5", 5},   {L"3.9", 3},   {L"99999999999", 2147483647},
      {L"-99999999999", -2147483647 - 1},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseInt(c.text), c.expected) << "'" << c.text << "'";
}

TEST(UiValues, NumberListsSkipExactlyOneSeparator) {
  struct Case { const wchar_t* text; Rect expected; };
  const Case cases[] = {
      {L"0,0,10,10", {0, 0, 10, 10}},
      {L"1, 2, 3, 4", {1, 2, 3, 4}},        // blanks after a comma belong to the next number
      {L"-40,10,-10,30", {-40, 10, -10, 30}},
      {L"103,122", {103, 122, 0, 0}},       // missing numbers are 0
      {L"1;2;3;4", {1, 2, 3, 4}},           // any one character separates
      {L"1,,3,4", {1, 0, 3, 4}},            // the second comma is read as a number (0)...
      {L"5", {5, 0, 0, 0}},                 // ...and the end of the text is never passed
      {L"", {0, 0, 0, 0}},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseRect(c.text), c.expected) << "'" << c.text << "'";
  EXPECT_EQ(ParseSize(L"586,363"), (Size{586, 363}));
}

TEST(UiValues, ColoursAcceptHashAndHexPrefix) {
  struct Case { const wchar_t* text; uint32_t expected; };
  const Case cases[] = {
      {L"#FF999999", 0xFF999999u}, {L"0xFF999999", 0xFF999999u}, {L"#ffcccccc", 0xFFCCCCCCu},
      {L"FF000001", 0xFF000001u},  {L"#00000000", 0u},            {L"", 0u},
      {L"#FFAAzz", 0xFFAAu},       {L"#1FFFFFFFF", 0xFFFFFFFFu},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseColor(c.text), c.expected) << "'" << c.text << "'";
}

TEST(UiAttributeList, PairsAndWhereReadingStops) {
  struct Case {
    const wchar_t* name;
    const wchar_t* text;
    std::vector<AttributePair> expected;
  };
  const Case cases[] = {
      {L"two pairs", L"itemtextpadding=\"30,0,0,0\" itemtextcolor=\"#FF333333\"",
       {{L"itemtextpadding", L"30,0,0,0"}, {L"itemtextcolor", L"#FF333333"}}},
      {L"blanks kept in value", L"text=\"a b \"", {{L"text", L"a b "}}},
      {L"empty value", L"text=\"\" name=\"x\"", {{L"text", L""}, {L"name", L"x"}}},
      {L"two spaces stop", L"a=\"1\"  b=\"2\"", {{L"a", L"1"}}},
      {L"no space stops", L"a=\"1\"b=\"2\"", {{L"a", L"1"}}},
      {L"blank before quote stops", L"a= \"1\"", {}},
      {L"unterminated value dropped", L"a=\"1\" b=\"2", {{L"a", L"1"}}},
      {L"trailing space", L"a=\"1\" ", {{L"a", L"1"}}},
      {L"no equals", L"hello", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseAttributeList(c.text), c.expected) << c.name;
}
