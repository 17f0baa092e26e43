#include <gtest/gtest.h>

#include <cstring>

#include "tests/unit/ui/TempDir.h"
#include "tests/unit/ui/ZipBuilder.h"
#include "ui/core/SkinMarkup.h"
#include "ui/core/SkinSource.h"
#include "ui/core/ZipArchive.h"

using namespace DuiLib;
using ui_test::BuildZip;

namespace {

std::string Bytes(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }
const uint8_t* Data(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

const std::string kMarkup = "<Window size=\"586,363\"><Label text=\"x\"/></Window>";
const std::string kArt(5000, 'Z');  // compresses well, so the deflated entry really is deflated

std::string SamplePackage() {
  return BuildZip({{"MainWnd.xml", kMarkup, false},
                   {"close.png", kArt, true},
                   {"skin/sub.xml", "<A/>", true},
                   {"empty.xml", "", false}});
}

}  // namespace

TEST(UiZip, ReadsStoredAndDeflatedEntriesByFoldedName) {
  const std::string zip = SamplePackage();
  CZipArchive archive;
  ASSERT_TRUE(archive.OpenMemory(Data(zip), zip.size()));
  ASSERT_EQ(archive.GetEntryCount(), 4u);
  EXPECT_EQ(archive.GetEntry(1).method, 8);
  EXPECT_LT(archive.GetEntry(1).compressed_size, kArt.size());

  struct Case { const wchar_t* name; ZipError rc; std::string data; };
  const Case cases[] = {
      {L"MainWnd.xml", ZipError::kOk, kMarkup},
      {L"mainwnd.XML", ZipError::kOk, kMarkup},
      {L"Close.PNG", ZipError::kOk, kArt},
      {L"skin\\sub.xml", ZipError::kOk, "<A/>"},
      {L"SKIN/SUB.XML", ZipError::kOk, "<A/>"},
      {L"empty.xml", ZipError::kEmpty, ""},
      {L"missing.xml", ZipError::kNotFound, ""},
      {L"MainWnd.xm", ZipError::kNotFound, ""},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> out;
    EXPECT_EQ(archive.ReadEntry(c.name, out, 0x400000), c.rc) << "#" << (&c - cases);
    EXPECT_EQ(Bytes(out), c.data) << "#" << (&c - cases);
  }
  std::vector<uint8_t> out;
  EXPECT_EQ(archive.ReadEntry(L"close.png", out, kArt.size() - 1), ZipError::kTooLarge);
  EXPECT_EQ(archive.FindEntry(std::wstring(256, L'a')), -1);
  EXPECT_STREQ(ZipErrorText(ZipError::kNotFound), L"Could not find ziped file");
}

TEST(UiZip, DamagedArchivesFailWithoutReadingOutside) {
  const std::string good = SamplePackage();
  // Offsets into the sample: the deflated entry's data starts after the first entry.
  const size_t second_local = 30 + strlen("MainWnd.xml") + kMarkup.size();
  const size_t second_data = second_local + 30 + strlen("close.png");
  struct Case {
    const char* what;
    size_t offset;       // byte to change; npos: truncate instead
    size_t truncate_to;
    bool opens;
    ZipError read_close;  // result of reading close.png when it opens
  };
  const size_t npos = std::string::npos;
  const Case cases[] = {
      {"corrupt deflate stream", second_data + 3, 0, true, ZipError::kUnzipFailed},
      {"local header signature", second_local, 0, true, ZipError::kUnzipFailed},
      {"no end record", npos, good.size() - 22, false, ZipError::kOk},
      {"directory offset past the end", good.size() - 22 + 19, 0, false, ZipError::kOk},
      {"entry count larger than the directory", good.size() - 22 + 10, 0, false, ZipError::kOk},
      {"cut in the directory", npos, good.size() - 40, false, ZipError::kOk},
      {"only the head", npos, 100, false, ZipError::kOk},
  };
  for (const Case& c : cases) {
    std::string zip = good;
    if (c.offset != npos) zip[c.offset] = static_cast<char>(zip[c.offset] ^ 0x5A);
    else zip.resize(c.truncate_to);
    CZipArchive archive;
    // Copy into an exact-size heap block so ASan sees any read past it.
    std::vector<uint8_t> block(zip.begin(), zip.end());
    EXPECT_EQ(archive.OpenMemory(block.data(), block.size()), c.opens) << c.what;
    if (!c.opens) continue;
    std::vector<uint8_t> out;
    EXPECT_EQ(archive.ReadEntry(L"close.png", out, 0x400000), c.read_close) << c.what;
    EXPECT_TRUE(out.empty()) << c.what;
    EXPECT_EQ(archive.ReadEntry(L"MainWnd.xml", out, 0x400000), ZipError::kOk) << c.what;
  }
}

TEST(UiZip, StoredDataThatDoesNotMatchItsCrcIsRejected) {
  std::string zip = BuildZip({{"a.xml", "<Window/>", false}});
  zip[30 + 5 + 2] ^= 1;  // flip a bit inside the stored data
  CZipArchive archive;
  ASSERT_TRUE(archive.OpenMemory(Data(zip), zip.size()));
  std::vector<uint8_t> out;
  EXPECT_EQ(archive.ReadEntry(L"a.xml", out, 0x400000), ZipError::kUnzipFailed);
}

class UiSkinSource : public ::testing::Test {
 protected:
  void TearDown() override {
    CloseSkinPackage();
    SetSkinRootPath(L"");
  }
};

TEST_F(UiSkinSource, RootPathGetsOneTrailingSeparator) {
  struct Case { const wchar_t* in; const wchar_t* out; };
  const Case cases[] = {{L"C:\\skin", L"C:\\skin\\"}, {L"C:\\skin\\", L"C:\\skin\\"},
                        {L"skin/", L"skin/"},        {L"", L""}};
  for (const Case& c : cases) {
    SetSkinRootPath(c.in);
    EXPECT_EQ(GetSkinRootPath(), c.out);
  }
}

TEST_F(UiSkinSource, TheFirstMemoryPackageStaysInUse) {
  const std::string first = SamplePackage();
  const std::string second = BuildZip({{"MainWnd.xml", "<Other/>", false}});
  ASSERT_TRUE(OpenSkinPackageMemory(Data(first), first.size()));
  EXPECT_EQ(GetSkinPackageName(), L"membuffer");
  ASSERT_TRUE(OpenSkinPackageMemory(Data(second), second.size()));

  CSkinMarkup doc;
  ASSERT_TRUE(doc.LoadFromFile(L"mainwnd.xml"));
  EXPECT_STREQ(doc.GetRoot().GetName(), L"Window");
  EXPECT_FALSE(doc.LoadFromFile(L"nothere.xml"));
  EXPECT_EQ(doc.GetLastErrorText(), L"Could not find ziped file");
  EXPECT_FALSE(doc.LoadFromFile(L"empty.xml"));
  EXPECT_EQ(doc.GetLastErrorText(), L"File is empty");
}

TEST_F(UiSkinSource, PackageFilesAreCachedAndAFailedOneBlocksMarkupReads) {
  ui_test::TempDir dir("ui_pkg");
  auto write = [&](const char* name, const std::string& bytes) { dir.Write(name, bytes); };
  write("skin.zip", SamplePackage());
  write("loose.xml", "<Loose/>");
  write("loose.png", "not really a picture");
  SetSkinRootPath(dir.path().wstring());

  ASSERT_TRUE(OpenSkinPackageFile(L"skin.zip"));
  // Replacing the file changes nothing while the cached package is in use.
  write("skin.zip", "garbage");
  EXPECT_TRUE(OpenSkinPackageFile(L"skin.zip"));
  CSkinMarkup doc;
  EXPECT_TRUE(doc.LoadFromFile(L"MainWnd.xml"));
  // Markup comes only from the package; images fall back to the root folder.
  EXPECT_FALSE(doc.LoadFromFile(L"loose.xml"));
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(ReadSkinImageFile(L"loose.png", bytes));
  EXPECT_TRUE(ReadSkinImageFile(L"CLOSE.PNG", bytes));
  EXPECT_EQ(bytes.size(), kArt.size());

  // Another name opens afresh; a package that cannot be opened fails every markup read.
  EXPECT_FALSE(OpenSkinPackageFile(L"missing.zip"));
  EXPECT_FALSE(IsSkinPackageOpen());
  EXPECT_FALSE(doc.LoadFromFile(L"MainWnd.xml"));
  EXPECT_EQ(doc.GetLastErrorText(), L"Error opening zip file");
  EXPECT_TRUE(ReadSkinImageFile(L"loose.png", bytes));
  // An absolute path is read as it stands.
  EXPECT_TRUE(ReadSkinImageFile((dir.path() / "loose.png").wstring(), bytes));

  CloseSkinPackage();
  EXPECT_TRUE(doc.LoadFromFile(L"loose.xml"));
}
