#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/unit/ui/TempDir.h"
#include "ui/core/SkinMarkup.h"
#include "ui/core/SkinSource.h"

using namespace DuiLib;

namespace {

std::vector<std::wstring> AttributeNames(const CMarkupNode& node) {
  std::vector<std::wstring> names;
  for (int i = 0; i < node.GetAttributeCount(); ++i) names.push_back(node.GetAttributeName(i));
  return names;
}

}  // namespace

TEST(UiMarkup, BuildsTheElementTreeInDocumentOrder) {
  const char* utf8 =
      "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"gbk\"?>\r\n"
      "<!-- window -->\n"
      "<Window size=\"586,363\" caption=\"0,0,0,30\">\n"
      "  <Font name=\"\xE5\xBE\xAE\xE8\xBD\xAF\xE9\x9B\x85\xE9\xBB\x91\" size=\"12\"/>\n"
      "  <VerticalLayout bkimage=\"back.png\">\n"
      "    <Label name=\"title\" text=\"a &amp; b &lt;&gt; &quot;q&quot; &apos;s&apos; &copy;\"/>\n"
      "    <!- short comment ->\n"
      "    <Button name=\"closebtn\"></Button>\n"
      "  </VerticalLayout>\n"
      "</Window>\n";
  CSkinMarkup doc;
  ASSERT_TRUE(doc.LoadFromMem(reinterpret_cast<const uint8_t*>(utf8), strlen(utf8)))
      << std::string(doc.GetLastErrorText().begin(), doc.GetLastErrorText().end());
  CMarkupNode root = doc.GetRoot();
  EXPECT_STREQ(root.GetName(), L"Window");
  EXPECT_STREQ(root.GetAttributeValue(L"size"), L"586,363");
  EXPECT_EQ(root.GetAttributeValue(L"Size"), nullptr);  // names are case-sensitive
  EXPECT_FALSE(root.HasSiblings());

  CMarkupNode font = root.GetChild();
  EXPECT_STREQ(font.GetName(), L"Font");
  EXPECT_STREQ(font.GetAttributeValue(L"name"), L"\x5FAE\x8F6F\x96C5\x9ED1");  // UTF-8 decoded
  CMarkupNode layout = font.GetSibling();
  EXPECT_STREQ(layout.GetName(), L"VerticalLayout");
  EXPECT_FALSE(layout.GetSibling().IsValid());
  EXPECT_STREQ(layout.GetParent().GetName(), L"Window");

  CMarkupNode label = layout.GetChild();
  EXPECT_STREQ(label.GetAttributeValue(L"text"), L"a & b <> \"q\" 's' &copy;");
  CMarkupNode button = label.GetSibling();
  EXPECT_STREQ(button.GetName(), L"Button");
  EXPECT_FALSE(button.HasChildren());
  EXPECT_STREQ(layout.GetChild(L"Button").GetAttributeValue(L"name"), L"closebtn");
}

TEST(UiMarkup, AttributesWithoutBlanksAndBlanksAroundEquals) {
  CSkinMarkup doc;
  ASSERT_TRUE(doc.Load(L"<Button name=\"ok\"text=\"\x786E\x5B9A\"  pos = \"1,2,3,4\" empty=\"\"/>"));
  CMarkupNode b = doc.GetRoot();
  EXPECT_EQ(AttributeNames(b), (std::vector<std::wstring>{L"name", L"text", L"pos", L"empty"}));
  EXPECT_STREQ(b.GetAttributeValue(1), L"\x786E\x5B9A");
  EXPECT_STREQ(b.GetAttributeValue(2), L"1,2,3,4");
  EXPECT_STREQ(b.GetAttributeValue(3), L"");
  EXPECT_STREQ(b.GetAttributeValue(4), L"");  // out of range
}

TEST(UiMarkup, OnlyTheFirst64AttributesAreSeen) {
  std::wstring text = L"<Label";
  for (int i = 1; i <= 70; ++i) text += L" a" + std::to_wstring(i) + L"=\"" + std::to_wstring(i) + L"\"";
  text += L"/>";
  CSkinMarkup doc;
  ASSERT_TRUE(doc.Load(text.c_str()));
  CMarkupNode n = doc.GetRoot();
  ASSERT_EQ(n.GetAttributeCount(), 64);
  EXPECT_STREQ(n.GetAttributeName(63), L"a64");
  EXPECT_STREQ(n.GetAttributeValue(L"a64"), L"64");
  EXPECT_EQ(n.GetAttributeValue(L"a65"), nullptr);
  EXPECT_EQ(n.GetAttributeValue(L"a70"), nullptr);
}

TEST(UiMarkup, ContentTextIsDecoded) {
  CSkinMarkup doc;
  ASSERT_TRUE(doc.Load(L"<A>x &amp; y<B/>tail</A>"));
  EXPECT_STREQ(doc.GetRoot().GetValue(), L"x & y");
  EXPECT_STREQ(doc.GetRoot().GetChild().GetValue(), L"");
}

TEST(UiMarkup, MalformedMarkupGivesItsErrorText) {
  struct Case { const wchar_t* text; const wchar_t* error; };
  const Case cases[] = {
      {L"", L"Expected start tag"},
      {L"hello", L"Expected start tag"},
      {L"<!-- only a comment -->", L"Expected start tag"},
      {L"<>", L"Error parsing element name"},
      {L"< Window/>", L"Error parsing element name"},
      {L"<A b=\"1\"", L"Expected start-tag closing"},
      {L"<A b=\"1\"/ >", L"Expected start-tag closing"},
      {L"<A>text", L"Expected end-tag start"},
      {L"<A><B></A>", L"Unmatched closing tag"},
      {L"<A></Ab>", L"Unmatched closing tag"},
      {L"<A></A >", L"Unmatched closing tag"},
      {L"<A b/>", L"Error while parsing attributes"},
      {L"<A -b=\"1\"/>", L"Error while parsing attributes"},
      {L"<A b='1'/>", L"Expected attribute value"},
      {L"<A b=1/>", L"Expected attribute value"},
      {L"<A b=\"1/>", L"Error while parsing attribute string"},
  };
  for (const Case& c : cases) {
    CSkinMarkup doc;
    EXPECT_FALSE(doc.Load(c.text)) << "input #" << (&c - cases);
    EXPECT_EQ(doc.GetLastErrorText(), c.error) << "input #" << (&c - cases);
    EXPECT_FALSE(doc.GetRoot().IsValid());
  }
}

TEST(UiMarkup, MarkupFilesAreLimitedTo4MiB) {
  ui_test::TempDir dir("ui_markup");
  // A valid document padded with blanks to exactly the limit, and one byte more.
  auto padded = [](size_t size) {
    std::string text = "<Window/>";
    text.resize(size, ' ');
    return text;
  };
  dir.Write("limit.xml", padded(4194304));
  dir.Write("over.xml", padded(4194305));
  dir.Write("empty.xml", "");
  CloseSkinPackage();
  SetSkinRootPath(dir.path().wstring());

  CSkinMarkup doc;
  EXPECT_TRUE(doc.LoadFromFile(L"limit.xml"));
  EXPECT_FALSE(doc.LoadFromFile(L"over.xml"));
  EXPECT_EQ(doc.GetLastErrorText(), L"File too large");
  EXPECT_FALSE(doc.LoadFromFile(L"empty.xml"));
  EXPECT_EQ(doc.GetLastErrorText(), L"File is empty");
  EXPECT_FALSE(doc.LoadFromFile(L"missing.xml"));
  EXPECT_EQ(doc.GetLastErrorText(), L"Error opening file");
  SetSkinRootPath(L"");
}
