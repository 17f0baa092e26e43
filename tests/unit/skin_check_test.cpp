// The skin checker: opens the built skin package with the framework's ZIP reader, parses every
// layout with the framework's markup parser, and checks what a window would only find out at
// run time: a picture name that is not in the package draws nothing, a control a window looks
// up but the layout lacks leaves a null reference, and a state cell outside its strip draws
// garbage or nothing. The installer's wizard skins (plain folders) get the same checks.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ui/core/AttributeList.h"
#include "ui/core/ImageDecode.h"
#include "ui/core/ImageString.h"
#include "ui/core/SkinMarkup.h"
#include "ui/core/Utf8.h"
#include "ui/core/ValueSyntax.h"
#include "ui/core/ZipArchive.h"

using namespace DuiLib;

namespace {

using Bytes = std::vector<uint8_t>;

std::string Narrow(const std::wstring& w) { return Utf16ToUtf8(w); }
std::wstring Wide(const std::string& s) {
  return Utf8ToUtf16(reinterpret_cast<const uint8_t*>(s.data()), s.size());
}

bool ReadFile(const std::string& path, Bytes& out) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  out.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  return true;
}

// ------------------------------------------------------------------ picture headers

enum class Kind { kMarkup, kRgb, kRgba, kGif, kPng };

struct PictureInfo {
  bool ok = false;
  int width = 0;
  int height = 0;
  int png_colour_type = -1;  // 2 RGB, 6 RGBA; -1 for GIF
  int frames = 0;            // GIF only
};

uint32_t Be32(const uint8_t* p) { return (uint32_t(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3]; }

// Counts the image descriptors of a GIF by walking its blocks.
int CountGifFrames(const Bytes& b) {
  size_t pos = 13;
  if (b[10] & 0x80) pos += 3u * (1u << ((b[10] & 7) + 1));
  auto skip_sub_blocks = [&] {
    while (pos < b.size() && b[pos] != 0) pos += b[pos] + 1u;
    ++pos;
  };
  int frames = 0;
  while (pos < b.size()) {
    uint8_t tag = b[pos++];
    if (tag == 0x3B) return frames;
    if (tag == 0x21) {
      ++pos;  // label
      skip_sub_blocks();
    } else if (tag == 0x2C) {
      if (pos + 9 > b.size()) return -1;
      uint8_t flags = b[pos + 8];
      pos += 9;
      if (flags & 0x80) pos += 3u * (1u << ((flags & 7) + 1));
      ++pos;  // LZW minimum code size
      skip_sub_blocks();
      ++frames;
    } else {
      return -1;
    }
  }
  return -1;  // no trailer
}

PictureInfo ReadPictureInfo(const Bytes& b) {
  PictureInfo info;
  static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (b.size() >= 33 && std::equal(kPng, kPng + 8, b.begin()) && std::equal(b.begin() + 12, b.begin() + 16, "IHDR")) {
    info.width = int(Be32(&b[16]));
    info.height = int(Be32(&b[20]));
    info.png_colour_type = b[25];
    info.ok = true;
  } else if (b.size() >= 13 && std::string(b.begin(), b.begin() + 6) == "GIF89a") {
    info.width = b[6] | (b[7] << 8);
    info.height = b[8] | (b[9] << 8);
    info.frames = CountGifFrames(b);
    info.ok = info.frames > 0;
  }
  return info;
}

// ------------------------------------------------------------------ skin sources

// Where a skin's files come from: the package, or an installer skin folder.
struct SkinFiles {
  std::function<bool(const std::string& name, Bytes& out)> read;
};

SkinFiles PackageFiles(const CZipArchive& zip) {
  return {[&zip](const std::string& name, Bytes& out) {
    return zip.ReadEntry(Wide(name), out, 0x4000000) == ZipError::kOk;
  }};
}

SkinFiles FolderFiles(const std::string& folder) {
  return {[folder](const std::string& name, Bytes& out) { return ReadFile(folder + "/" + name, out); }};
}

struct Package {
  Bytes bytes;
  CZipArchive zip;
  bool opened = false;
};

const Package& TheSkinPackage() {
  static Package* p = [] {
    auto* pkg = new Package;
    pkg->opened = ReadFile(QV_SKIN_ZIP_PATH, pkg->bytes) && pkg->zip.OpenMemory(pkg->bytes.data(), pkg->bytes.size());
    return pkg;
  }();
  return *p;
}

// A parsed layout. The parser's node handles point into `markup`, which lives as long as this.
struct Layout {
  std::string file;
  std::unique_ptr<CSkinMarkup> markup = std::make_unique<CSkinMarkup>();
  bool ok = false;
};

Layout LoadLayout(const SkinFiles& files, const std::string& name) {
  Layout l;
  l.file = name;
  Bytes b;
  if (!files.read(name, b)) {
    ADD_FAILURE() << name << ": cannot be read";
    return l;
  }
  l.ok = l.markup->LoadFromMem(b.data(), b.size());
  EXPECT_TRUE(l.ok) << name << ": " << Narrow(l.markup->GetLastErrorText());
  return l;
}

// Every element in document order, depth first.
void ForEachElement(const CMarkupNode& first, const std::function<void(const CMarkupNode&)>& fn) {
  for (CMarkupNode n = first; n.IsValid(); n = n.GetSibling()) {
    fn(n);
    if (n.HasChildren()) ForEachElement(n.GetChild(), fn);
  }
}

// name -> element names of the controls carrying it (a name may repeat across pages).
std::multimap<std::string, std::string> NamedControls(const Layout& l) {
  std::multimap<std::string, std::string> out;
  ForEachElement(l.markup->GetRoot(), [&](const CMarkupNode& n) {
    if (const wchar_t* name = n.GetAttributeValue(L"name"); name && std::wstring(n.GetName()) != L"Font")
      out.emplace(Narrow(name), Narrow(n.GetName()));
  });
  return out;
}

std::vector<CMarkupNode> FindAll(const Layout& l, const std::wstring& name) {
  std::vector<CMarkupNode> out;
  ForEachElement(l.markup->GetRoot(), [&](const CMarkupNode& n) {
    const wchar_t* v = n.GetAttributeValue(L"name");
    if (v && name == v) out.push_back(n);
  });
  return out;
}

std::string Attr(const CMarkupNode& n, const wchar_t* name) {
  const wchar_t* v = n.GetAttributeValue(name);
  return v ? Narrow(v) : std::string();
}

// ------------------------------------------------------------------ image checks

// Attributes whose value is an image string.
const wchar_t* const kImageAttributes[] = {L"bkimage",       L"normalimage",   L"hotimage",
                                           L"pushedimage",   L"disabledimage", L"selectedimage",
                                           L"foreimage",     L"shadowimage"};
// State images of one button, in the order of the cells of its strip.
const wchar_t* const kStateOrder[] = {L"normalimage", L"hotimage", L"pushedimage", L"disabledimage"};

// Sources that ask for more than the picture holds on purpose; drawing limits a source to the
// picture, so these still draw the whole picture.
struct ClampedSource {
  const char* layout;
  const char* picture;
};
const ClampedSource kClampedSources[] = {
    {"MainMenu.xml", "menu_bk.png"},  // the menu asks for 33 rows of its 31-row background
};

bool IsClampAllowed(const std::string& layout, const std::string& picture) {
  for (const auto& c : kClampedSources)
    if (layout == c.layout && picture == c.picture) return true;
  return false;
}

// The size a floating control gets from pos, width and height (later ones win).
Size ControlSize(const CMarkupNode& n) {
  Size sz;
  for (int i = 0; i < n.GetAttributeCount(); ++i) {
    std::wstring a = n.GetAttributeName(i);
    const wchar_t* v = n.GetAttributeValue(i);
    if (a == L"pos") {
      Rect r = ParseRect(v);
      sz = {r.Width(), r.Height()};
    } else if (a == L"width") {
      sz.cx = ParseInt(v);
    } else if (a == L"height") {
      sz.cy = ParseInt(v);
    }
  }
  return sz;
}

class ImageChecker {
 public:
  ImageChecker(const SkinFiles& files) : files_(files) {}

  // Checks one image string of `attr` on element `n` of layout `file`.
  void Check(const std::string& file, const CMarkupNode& n, const std::wstring& attr, const wchar_t* value) {
    std::string where = file + " <" + Narrow(n.GetName()) + " " + Attr(n, L"name") + "> " + Narrow(attr);
    // A GifAnim's bkimage is a file name, never an image string.
    bool bare = std::wstring(n.GetName()) == L"GifAnim" || attr == L"shadowimage";
    std::vector<ImageDrawSpec> specs;
    if (bare) {
      ImageDrawSpec s;
      s.name = value;
      specs.push_back(s);
    } else {
      specs = ParseImageString(value);
    }
    ASSERT_FALSE(specs.empty()) << where << ": no image in \"" << Narrow(value) << "\"";
    for (const ImageDrawSpec& s : specs) {
      std::string picture = Narrow(s.name);
      const PictureInfo* info = Picture(picture);
      if (!info) {
        ADD_FAILURE() << where << ": names \"" << picture << "\", which is not in the skin";
        continue;
      }
      if (s.source == Rect{}) continue;  // the whole picture
      const Rect& r = s.source;
      bool inside = r.left >= 0 && r.top >= 0 && r.right <= info->width && r.bottom <= info->height;
      bool clamped_ok = IsClampAllowed(file, picture) && r.left == 0 && r.top == 0;
      EXPECT_TRUE(!r.IsEmpty() && (inside || clamped_ok))
          << where << ": source " << r.left << "," << r.top << "," << r.right << "," << r.bottom
          << " is not inside " << picture << " (" << info->width << "x" << info->height << ")";
      // A button cell is drawn 1:1: it must be as large as where it lands.
      if (attr.size() > 5 && attr.substr(attr.size() - 5) == L"image" && attr != L"bkimage" && attr != L"foreimage") {
        Size target = s.has_dest ? Size{s.dest.Width(), s.dest.Height()} : ControlSize(n);
        EXPECT_EQ(r.Width(), target.cx) << where << ": cell width differs from the control";
        EXPECT_EQ(r.Height(), target.cy) << where << ": cell height differs from the control";
      }
    }
  }

  // A four-state button's cells must run normal, hot, pushed, disabled across one strip.
  void CheckStateOrder(const std::string& file, const CMarkupNode& n) {
    std::vector<ImageDrawSpec> cells;
    for (const wchar_t* a : kStateOrder) {
      const wchar_t* v = n.GetAttributeValue(a);
      if (!v) break;
      auto specs = ParseImageString(v);
      if (specs.size() != 1) return;
      cells.push_back(specs[0]);
    }
    for (size_t i = 1; i < cells.size(); ++i) {
      EXPECT_EQ(cells[i].name, cells[0].name) << file << " " << Attr(n, L"name") << ": states use different strips";
      EXPECT_EQ(cells[i].source.left, cells[i - 1].source.right)
          << file << " " << Attr(n, L"name") << ": cell " << i << " does not follow cell " << i - 1;
      EXPECT_EQ(cells[i].source.top, cells[0].source.top) << file << " " << Attr(n, L"name");
    }
  }

  const PictureInfo* Picture(const std::string& name) {
    auto it = cache_.find(name);
    if (it == cache_.end()) {
      Bytes b;
      PictureInfo info;
      if (files_.read(name, b)) info = ReadPictureInfo(b);
      it = cache_.emplace(name, info).first;
    }
    return it->second.ok ? &it->second : nullptr;
  }

 private:
  const SkinFiles& files_;
  std::map<std::string, PictureInfo> cache_;
};

void CheckLayoutImages(ImageChecker& checker, const Layout& l) {
  ForEachElement(l.markup->GetRoot(), [&](const CMarkupNode& n) {
    std::wstring el = n.GetName();
    if (el == L"Default") {
      // A default list's images belong to the element type it styles.
      for (const auto& [a, v] : ParseAttributeList(n.GetAttributeValue(L"value") ? n.GetAttributeValue(L"value") : L""))
        for (const wchar_t* img : kImageAttributes)
          if (a == img) checker.Check(l.file, n, a, v.c_str());
      return;
    }
    for (const wchar_t* img : kImageAttributes)
      if (const wchar_t* v = n.GetAttributeValue(img)) checker.Check(l.file, n, img, v);
    if (n.GetAttributeValue(L"normalimage")) checker.CheckStateOrder(l.file, n);
  });
}

// Every control name a window looks up, with the element that must carry it.
struct Lookup {
  const char* name;
  const char* element;
};

void ExpectControls(const Layout& l, const std::vector<Lookup>& lookups) {
  auto named = NamedControls(l);
  for (const Lookup& k : lookups) {
    auto [b, e] = named.equal_range(k.name);
    EXPECT_NE(b, e) << l.file << " lacks \"" << k.name << "\"";
    for (auto it = b; it != e; ++it) EXPECT_EQ(it->second, k.element) << l.file << " \"" << k.name << "\"";
  }
}

// ------------------------------------------------------------------ the package table

struct EntrySpec {
  const char* name;
  Kind kind;
  int width;  // 0: any size
  int height;
};

const EntrySpec kEntries[] = {
    {"MainWnd.xml", Kind::kMarkup, 0, 0},          {"DlgConfig.xml", Kind::kMarkup, 0, 0},
    {"MainMenu.xml", Kind::kMarkup, 0, 0},         {"result_item.xml", Kind::kMarkup, 0, 0},
    {"result_item_crt.xml", Kind::kMarkup, 0, 0},  {"result_item_fp.xml", Kind::kMarkup, 0, 0},
    {"Install.xml", Kind::kMarkup, 0, 0},          {"Unstall.xml", Kind::kMarkup, 0, 0},
    {"back.png", Kind::kPng, 586, 363},            {"logo.png", Kind::kRgba, 54, 54},
    {"check.png", Kind::kRgba, 170, 100},          {"close.png", Kind::kRgba, 128, 24},
    {"mini.png", Kind::kRgba, 128, 24},            {"more.png", Kind::kRgba, 128, 24},
    {"okbtn.png", Kind::kPng, 520, 40},            {"cancelbtn.png", Kind::kPng, 520, 40},
    {"back_progress.png", Kind::kPng, 582, 8},     {"fore_progress.png", Kind::kPng, 582, 8},
    {"line.png", Kind::kPng, 526, 1},              {"success.png", Kind::kRgba, 16, 16},
    {"failed.png", Kind::kRgba, 16, 16},           {"repair.gif", Kind::kGif, 16, 16},
    {"repaircancel.gif", Kind::kGif, 60, 60},      {"bgpop.png", Kind::kPng, 340, 180},
    {"shadowpop.png", Kind::kRgba, 68, 68},        {"shadow.png", Kind::kRgba, 70, 70},
    {"checkbox.png", Kind::kPng, 52, 13},          {"newok.png", Kind::kPng, 240, 28},
    {"newcancel.png", Kind::kPng, 240, 28},        {"newclose.png", Kind::kRgba, 68, 26},
    {"menu_bk.png", Kind::kPng, 112, 31},          {"Complete_Pic.png", Kind::kPng, 0, 0},
    {"backprogress.png", Kind::kPng, 0, 0},        {"progress.png", Kind::kPng, 0, 0},
    {"install_btn.png", Kind::kPng, 0, 0},         {"cancel_btn.png", Kind::kPng, 0, 0},
    {"modify_dir.png", Kind::kPng, 0, 0},
};

const char* const kLayouts[] = {"MainWnd.xml",         "DlgConfig.xml",      "MainMenu.xml", "result_item.xml",
                                "result_item_crt.xml", "result_item_fp.xml", "Install.xml",  "Unstall.xml"};

class SkinPackageTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(TheSkinPackage().opened) << "cannot open " << QV_SKIN_ZIP_PATH; }
  const CZipArchive& zip() { return TheSkinPackage().zip; }
  Layout Load(const char* name) { return LoadLayout(PackageFiles(zip()), name); }
};

TEST_F(SkinPackageTest, HoldsExactlyTheListedEntriesFlatAndDeflatedButTheMenu) {
  std::set<std::string> expected, actual;
  for (const auto& e : kEntries) expected.insert(CZipArchive::FoldName(e.name));
  ASSERT_EQ(std::size(kEntries), 37u);
  ASSERT_EQ(expected.size(), 37u) << "duplicate names in the table";
  for (size_t i = 0; i < zip().GetEntryCount(); ++i) {
    const auto& e = zip().GetEntry(i);
    actual.insert(e.folded_name);
    EXPECT_EQ(e.folded_name.find('/'), std::string::npos) << e.folded_name << " is in a folder";
    uint16_t want = e.folded_name == "MENU_BK.PNG" ? 0 : 8;
    EXPECT_EQ(e.method, want) << e.folded_name;
  }
  EXPECT_EQ(zip().GetEntryCount(), 37u);
  EXPECT_EQ(actual, expected);
}

TEST_F(SkinPackageTest, PicturesHaveTheirListedSizeAndKindAndDecode) {
  for (const auto& e : kEntries) {
    if (e.kind == Kind::kMarkup) continue;
    Bytes b;
    ASSERT_EQ(zip().ReadEntry(Wide(e.name), b, 0x4000000), ZipError::kOk) << e.name;
    PictureInfo info = ReadPictureInfo(b);
    ASSERT_TRUE(info.ok) << e.name << " is neither a PNG nor a GIF89a";
    if (e.width) {
      EXPECT_EQ(info.width, e.width) << e.name;
      EXPECT_EQ(info.height, e.height) << e.name;
    }
    if (e.kind == Kind::kRgba) EXPECT_EQ(info.png_colour_type, 6) << e.name << " must have an alpha channel";
    if (e.kind == Kind::kGif) EXPECT_GT(info.frames, 1) << e.name << " must be animated";
    if (e.kind == Kind::kPng || e.kind == Kind::kRgba) EXPECT_NE(info.png_colour_type, -1) << e.name;
    DecodedImage img;
    EXPECT_TRUE(DecodeImage(b.data(), b.size(), 0, img)) << e.name;
    EXPECT_EQ(img.width, info.width) << e.name;
  }
}

TEST_F(SkinPackageTest, EveryLayoutParsesAndEveryImageStringFitsItsPicture) {
  SkinFiles files = PackageFiles(zip());
  ImageChecker checker(files);
  for (const char* name : kLayouts) {
    Layout l = Load(name);
    if (!l.ok) continue;
    EXPECT_EQ(std::wstring(l.markup->GetRoot().GetName()), L"Window") << name;
    CheckLayoutImages(checker, l);
  }
  // Pictures the program names in code rather than in markup.
  for (const char* name : {"success.png", "failed.png"}) EXPECT_TRUE(checker.Picture(name)) << name;
}

TEST_F(SkinPackageTest, WindowsFindTheControlsTheyLookUp) {
  ExpectControls(Load("MainWnd.xml"),
                 {{"helperbtn", "Button"},        {"morebtn", "Button"},          {"minbtn", "Button"},
                  {"closebtn", "Button"},         {"MainLayout", "HorizontalLayout"}, {"CheckLayout", "HorizontalLayout"},
                  {"checkResult", "Label"},       {"checkTip", "Label"},          {"RepairCancelTip", "Label"},
                  {"cancelCheckbtn", "Button"},   {"cancelRepairbtn", "Button"},  {"returnbtn", "Button"},
                  {"repairbtn", "Button"},        {"recheckbtn", "Button"},       {"mainSwitch", "TabLayout"},
                  {"checkbtn", "Button"},         {"check_progress", "Progress"}, {"repair_progress", "Progress"},
                  {"resultList", "List"},         {"repairTip", "Label"},         {"repairCancelLogo", "GifAnim"}});
  ExpectControls(Load("DlgConfig.xml"),
                 {{"autoRun", "CheckBox"}, {"autoRun3", "CheckBox"}, {"mainSwitch", "TabLayout"},
                  {"helperbtn", "Button"}, {"settingip", "Label"},   {"ok", "Button"},
                  {"cancel", "Button"},    {"checkip", "Button"},    {"closebtn", "Button"}});
  ExpectControls(Load("MainMenu.xml"), {{"MenuBoot", "MenuElement"}});
  const Lookup row[] = {{"result", "Label"}, {"resultLogo", "Label"}, {"repairLogo", "GifAnim"}, {"resultTip", "Label"}};
  for (const char* t : {"result_item.xml", "result_item_crt.xml", "result_item_fp.xml"}) {
    Layout l = Load(t);
    for (const Lookup& k : row) ExpectControls(l, {k});
  }
  ExpectControls(Load("result_item_crt.xml"), {{"resultServTip", "Label"}, {"ServSet", "Button"}});
  ExpectControls(Load("result_item_fp.xml"), {{"repairLogoNew", "GifAnim"}, {"resultTipNew", "Label"},
                                               {"resultServTip", "Label"},  {"GoOfficialNet", "Button"}});
}

TEST_F(SkinPackageTest, WizardLookLayoutsCannotStartTheWizardWindows) {
  ExpectControls(Load("Install.xml"), {{"mainSwitch", "TabLayout"}, {"minbtn", "Button"}, {"closebtn", "Button"},
                                       {"install_path_edit", "Edit"}, {"change_folder_btn", "Button"},
                                       {"install_Pro_Info", "Label"}, {"install_progress", "Progress"}});
  ExpectControls(Load("Unstall.xml"), {{"mainSwitch", "TabLayout"}, {"uninstall_btn", "Button"},
                                       {"cancel_btn", "Button"}, {"finish_btn", "Button"},
                                       {"install_Pro_Info", "Label"}, {"install_progress", "Progress"}});
  for (const char* name : {"Install.xml", "Unstall.xml"}) {
    auto named = NamedControls(Load(name));
    for (const char* absent : {"wizardTab", "license_btn", "license_chk"})
      EXPECT_EQ(named.count(absent), 0u) << name << " must not have " << absent;
  }
}

TEST_F(SkinPackageTest, SharedPlacesAgree) {
  Layout main = Load("MainWnd.xml");
  ASSERT_TRUE(main.ok);
  CMarkupNode root = main.markup->GetRoot();
  EXPECT_EQ(Attr(root, L"size"), "586,364");
  auto check = FindAll(main, L"CheckLayout");
  ASSERT_EQ(check.size(), 1u);
  EXPECT_EQ(Attr(check[0], L"visible"), "false");
  // The five action buttons overlap exactly.
  std::set<std::string> places;
  for (const wchar_t* b : {L"cancelCheckbtn", L"cancelRepairbtn", L"returnbtn", L"repairbtn", L"recheckbtn"}) {
    auto found = FindAll(main, b);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(Attr(found[0].GetParent(), L"name"), "CheckLayout");
    places.insert(Attr(found[0], L"pos"));
  }
  EXPECT_EQ(places.size(), 1u);
  // The tab shows page 0 at start: no page is preselected.
  auto tab = FindAll(main, L"mainSwitch");
  ASSERT_EQ(tab.size(), 1u);
  EXPECT_FALSE(tab[0].HasAttribute(L"selectedid"));

  // Every settings page has its close button, and all sit in the same top-right place.
  Layout dlg = Load("DlgConfig.xml");
  ASSERT_TRUE(dlg.ok);
  auto pages = FindAll(dlg, L"mainSwitch");
  ASSERT_EQ(pages.size(), 1u);
  int count = 0;
  for (CMarkupNode page = pages[0].GetChild(); page.IsValid(); page = page.GetSibling(), ++count) {
    CMarkupNode first = page.GetChild();
    ASSERT_TRUE(first.IsValid());
    EXPECT_EQ(Attr(first, L"name"), "closebtn") << "page " << count;
    EXPECT_EQ(Attr(first, L"pos"), "308,0,340,24") << "page " << count;
  }
  EXPECT_EQ(count, 4);
}

// ------------------------------------------------------------------ installer wizard skins

TEST(InstallerWizardSkins, HaveTheControlsTheWizardWindowsRequireAndTheirPictures) {
  struct Wizard {
    const char* folder;
    const char* file;
    std::vector<Lookup> required;
  };
  const Wizard wizards[] = {
      {"skin_install", "install.xml",
       {{"wizardTab", "TabLayout"}, {"install_Pro_Info", "Label"}, {"install_progress", "Progress"},
        {"install_btn", "Button"}, {"license_btn", "Button"}, {"license_chk", "CheckBox"},
        {"install_path_edit", "Edit"}, {"closebtn", "Button"}, {"minbtn", "Button"},
        {"change_folder_btn", "Button"}}},
      {"skin_uninstall", "uninstall.xml",
       {{"wizardTab", "TabLayout"}, {"uninstall_Pro_Info", "Label"}, {"uninstall_progress", "Progress"},
        {"closebtn", "Button"}, {"minbtn", "Button"}, {"uninstall_btn", "Button"}, {"cancel_btn", "Button"},
        {"finish_btn", "Button"}}},
  };
  // Besides the required controls: the buttons the installer script binds to its functions.
  for (const Wizard& w : wizards) {
    SkinFiles files = FolderFiles(std::string(QV_SOURCE_DIR) + "/packaging/" + w.folder);
    Layout l = LoadLayout(files, w.file);
    ASSERT_TRUE(l.ok) << w.folder;
    ExpectControls(l, w.required);
    ImageChecker checker(files);
    CheckLayoutImages(checker, l);
  }
}

}  // namespace
