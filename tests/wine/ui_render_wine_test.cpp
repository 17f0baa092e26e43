// The drawing layer against Wine's real GDI: images are read from a ZIP package in memory,
// decoded, drawn into an off-screen 32-bit DIB, and pixels are compared at chosen points.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#include "stb_image_write.h"
#pragma GCC diagnostic pop

#include "tests/unit/ui/ZipBuilder.h"
#include "ui/core/SkinMarkup.h"
#include "ui/core/SkinSource.h"
#include "ui/core/TextStyle.h"
#include "ui/core/ZipArchive.h"
#include "ui/render/ImageEntry.h"
#include "ui/render/RenderImage.h"
#include "ui/render/RenderText.h"
#include "ui/render/SkinModule.h"
#include "ui/UIManager.h"

using namespace DuiLib;

namespace {

constexpr uint32_t kBackground = 0xFF0000FF;  // opaque blue
// The four cells of the 128x24 title-button strip, left to right.
constexpr uint32_t kCells[4] = {0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF00FFFF};
constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kWhite = 0xFFFFFFFF;

// RGBA bytes of a w x h picture from a function giving 0xAARRGGBB per pixel.
template <typename F>
std::string Png(int w, int h, F colour) {
  std::vector<uint8_t> rgba;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const uint32_t c = colour(x, y);
      rgba.insert(rgba.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), uint8_t(c >> 24)});
    }
  }
  std::string out;
  stbi_write_png_to_func(
      [](void* ctx, void* data, int size) { static_cast<std::string*>(ctx)->append(static_cast<char*>(data), size); },
      &out, w, h, 4, rgba.data(), w * 4);
  return out;
}

// An off-screen canvas: a top-down 32-bit DIB selected into a memory DC.
class Canvas {
 public:
  Canvas(int w, int h) : w_(w), h_(h) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    dc_ = ::CreateCompatibleDC(nullptr);
    bitmap_ = ::CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = ::SelectObject(dc_, bitmap_);
    Clear(kBackground);
  }
  ~Canvas() {
    ::SelectObject(dc_, old_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  void Clear(uint32_t c) {
    ::GdiFlush();
    for (int i = 0; i < w_ * h_; ++i) bits_[i] = c;
  }
  uint32_t At(int x, int y) const {
    ::GdiFlush();
    return bits_[y * w_ + x] | 0xFF000000u;  // GDI leaves the alpha byte of a blit undefined
  }

 private:
  int w_, h_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  uint32_t* bits_ = nullptr;
};

bool Near(uint32_t a, uint32_t b, int tolerance = 3) {
  for (int shift = 0; shift < 24; shift += 8) {
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
  }
  return true;
}

class UiRender : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    package_ = new std::string(ui_test::BuildZip({
        {"close.png", Png(128, 24, [](int x, int) { return kCells[x / 32]; }), true},
        // 12x12: 4-pixel corners red, edges green, centre white.
        {"frame.png", Png(12, 12, [](int x, int y) {
           const bool ex = x < 4 || x >= 8, ey = y < 4 || y >= 8;
           return ex && ey ? kRed : (ex || ey) ? kGreen : kWhite;
         }), false},
        {"half.png", Png(4, 4, [](int, int) { return 0x80FF0000u; }), true},
        {"keyed.png", Png(2, 1, [](int x, int) { return x == 0 ? 0xFFFF00FFu : kRed; }), true},
    }));
    SetSkinRootPath(L"");
    ASSERT_TRUE(OpenSkinPackageMemory(reinterpret_cast<const uint8_t*>(package_->data()), package_->size()));
  }
  static void TearDownTestSuite() {
    CloseSkinPackage();
    delete package_;
  }

  // The manager's role: load on first use, keep successes.
  const ImageEntry* Resolve(const ImageDrawSpec& spec) {
    for (auto& [name, entry] : cache_) {
      if (name == spec.name) return entry.get();
    }
    std::unique_ptr<ImageEntry> e = LoadSkinImage(spec.name, nullptr, spec.mask);
    if (!e) return nullptr;
    cache_.emplace_back(spec.name, std::move(e));
    return cache_.back().second.get();
  }
  bool Draw(const Rect& control, const wchar_t* image, const wchar_t* modify = nullptr,
            bool bktrans = false, const Rect* paint = nullptr) {
    return DrawImageString(canvas_.dc(), control, paint ? *paint : Rect{0, 0, 200, 100}, image, modify,
                           [this](const ImageDrawSpec& s) { return Resolve(s); }, bktrans);
  }

  static std::string* package_;
  Canvas canvas_{200, 100};
  std::vector<std::pair<std::wstring, std::unique_ptr<ImageEntry>>> cache_;
};
std::string* UiRender::package_ = nullptr;

TEST_F(UiRender, ImagesLoadFromThePackageAsPremultipliedDibs) {
  std::unique_ptr<ImageEntry> strip = LoadSkinImage(L"CLOSE.PNG", nullptr, 0);
  ASSERT_TRUE(strip);
  EXPECT_EQ(strip->width(), 128);
  EXPECT_EQ(strip->height(), 24);
  EXPECT_FALSE(strip->has_alpha());
  std::unique_ptr<ImageEntry> half = LoadSkinImage(L"half.png", nullptr, 0);
  ASSERT_TRUE(half);
  EXPECT_TRUE(half->has_alpha());
  EXPECT_EQ(half->pixels()[0], 0x80800000u);
  EXPECT_FALSE(LoadSkinImage(L"missing.png", nullptr, 0));
  EXPECT_FALSE(LoadSkinImage(L"close.png", L"PNG", 0));  // no such module resource
}

TEST_F(UiRender, SourceCellsOfAStateStripAndClamping) {
  struct Case {
    const char* what;
    Rect control;
    const wchar_t* image;
    std::vector<std::pair<POINT, uint32_t>> expect;
  };
  const Case cases[] = {
      {"second cell, 1:1", {10, 10, 42, 34}, L"file='close.png' source='32,0,64,24'",
       {{{10, 10}, kCells[1]}, {{41, 33}, kCells[1]}, {{9, 10}, kBackground}, {{42, 10}, kBackground}}},
      {"source limited to the image", {10, 10, 42, 34}, L"file='close.png' source='96,0,200,24'",
       {{{10, 10}, kCells[3]}, {{41, 33}, kCells[3]}}},
      {"bare name scales the whole strip", {0, 0, 64, 12}, L"close.png",
       {{{1, 1}, kCells[0]}, {{20, 5}, kCells[1]}, {{62, 11}, kCells[3]}, {{64, 5}, kBackground}}},
      {"dest relative to the control, limited to it", {50, 50, 70, 60}, L"file='close.png' source='0,0,32,24' dest='5,0,100,100'",
       {{{54, 55}, kBackground}, {{55, 50}, kCells[0]}, {{69, 59}, kCells[0]}, {{70, 55}, kBackground}, {{60, 60}, kBackground}}},
  };
  for (const Case& c : cases) {
    canvas_.Clear(kBackground);
    EXPECT_TRUE(Draw(c.control, c.image)) << c.what;
    for (const auto& [pt, colour] : c.expect)
      EXPECT_EQ(canvas_.At(pt.x, pt.y), colour) << c.what << " at " << pt.x << "," << pt.y;
  }
}

TEST_F(UiRender, NinePartCornersStayUnscaled) {
  const Rect control{20, 20, 60, 60};
  EXPECT_TRUE(Draw(control, L"file='frame.png' corner='4,4,4,4'"));
  struct Probe { int x, y; uint32_t colour; };
  const Probe probes[] = {
      {20, 20, kRed},   {23, 23, kRed},   {24, 24, kWhite}, {40, 40, kWhite}, {56, 56, kRed},
      {59, 59, kRed},   {40, 21, kGreen}, {21, 40, kGreen}, {58, 40, kGreen}, {40, 58, kGreen},
      {55, 55, kWhite}, {60, 60, kBackground},
  };
  for (const Probe& p : probes) EXPECT_EQ(canvas_.At(p.x, p.y), p.colour) << p.x << "," << p.y;

  canvas_.Clear(kBackground);
  EXPECT_TRUE(Draw(control, L"file='frame.png' corner='4,4,4,4' hole='true'"));
  EXPECT_EQ(canvas_.At(40, 40), kBackground);
  EXPECT_EQ(canvas_.At(21, 21), kRed);
  EXPECT_EQ(canvas_.At(40, 21), kGreen);

  // Tiled centre: a 12x12 image without corners repeats at its own size.
  canvas_.Clear(kBackground);
  EXPECT_TRUE(Draw(Rect{0, 0, 30, 12}, L"file='frame.png' xtiled='true'"));
  EXPECT_EQ(canvas_.At(12, 0), kRed);   // the second tile's corner
  EXPECT_EQ(canvas_.At(17, 0), kGreen);
  EXPECT_EQ(canvas_.At(24, 0), kRed);   // third tile, cut at 30
}

TEST_F(UiRender, AlphaBlendingFollowsAlphaFadeAndBktrans) {
  struct Case { const char* what; const wchar_t* image; bool bktrans; uint32_t expected; };
  const Case cases[] = {
      // 50% red premultiplied over blue: red 128, blue 255 * (1 - 128/255).
      {"per-pixel alpha", L"half.png", false, 0xFF800080},
      {"fade on an opaque image", L"file='close.png' source='0,0,32,24' fade='128'", false, 0xFF800080},
      {"opaque image with bktrans", L"file='close.png' source='0,0,32,24'", true, kCells[0]},
      {"mask colour becomes transparent", L"file='keyed.png' source='0,0,1,1' mask='#FFFF00FF'", false, kBackground},
      {"mask leaves other pixels", L"file='keyed.png' source='1,0,2,1' mask='#FFFF00FF'", false, kRed},
  };
  for (const Case& c : cases) {
    canvas_.Clear(kBackground);
    EXPECT_TRUE(Draw(Rect{0, 0, 32, 24}, c.image, nullptr, c.bktrans)) << c.what;
    EXPECT_TRUE(Near(canvas_.At(5, 5), c.expected)) << c.what << std::hex << " got " << canvas_.At(5, 5);
  }
  canvas_.Clear(kBackground);
  DrawColor(canvas_.dc(), Rect{0, 0, 10, 10}, 0x80FF0000);
  EXPECT_TRUE(Near(canvas_.At(5, 5), 0xFF800080));
  DrawColor(canvas_.dc(), Rect{0, 0, 10, 10}, 0xFF00FF00);
  EXPECT_EQ(canvas_.At(5, 5), kGreen);
}

TEST_F(UiRender, PaintAreaAndFailuresDrawNothing) {
  const Rect paint{0, 0, 26, 100};
  EXPECT_TRUE(Draw(Rect{10, 10, 42, 34}, L"file='close.png' source='32,0,64,24'", nullptr, false, &paint));
  EXPECT_EQ(canvas_.At(25, 20), kCells[1]);
  EXPECT_EQ(canvas_.At(26, 20), kBackground);

  canvas_.Clear(kBackground);
  EXPECT_FALSE(Draw(Rect{0, 0, 50, 50}, L"nothere.png"));
  EXPECT_TRUE(Draw(Rect{0, 0, 50, 50}, L""));
  EXPECT_EQ(canvas_.At(10, 10), kBackground);
}

// The manager's image cache: a picture that failed to load is tried again on its next use, one
// that loaded is kept. A skin folder on disk lets the picture appear after the first try and
// vanish after the second.
TEST_F(UiRender, ManagerRetriesFailuresAndKeepsWhatLoaded) {
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  const std::wstring root = std::wstring(temp) + L"qv_render_cache\\";
  const std::wstring file = root + L"late.png";
  ::CreateDirectoryW(root.c_str(), nullptr);
  ::DeleteFileW(file.c_str());
  CloseSkinPackage();
  SetSkinRootPath(root);
  // The other tests read the suite's package: put it back however this one ends.
  struct Restore {
    std::wstring root, file;
    ~Restore() {
      ::DeleteFileW(file.c_str());
      ::RemoveDirectoryW(root.c_str());
      SetSkinRootPath(L"");
      OpenSkinPackageMemory(reinterpret_cast<const uint8_t*>(package_->data()), package_->size());
    }
  } restore{root, file};
  {
    CSkinManager manager;
    EXPECT_EQ(manager.AddImage(L"late.png"), nullptr);
    std::ofstream(file.c_str(), std::ios::binary) << Png(3, 2, [](int, int) { return kGreen; });
    const ImageEntry* loaded = manager.AddImage(L"late.png");
    ASSERT_NE(loaded, nullptr) << "the failed first load was cached";
    EXPECT_EQ(loaded->width(), 3);
    ::DeleteFileW(file.c_str());
    EXPECT_EQ(manager.AddImage(L"late.png"), loaded) << "the loaded picture was not kept";
    EXPECT_EQ(manager.GetImage(L"late.png"), loaded);
  }
}

TEST_F(UiRender, ProgressForeImageIsCutOrStretched) {
  // Bar 64x12: value 50 of 100 fills 32 pixels; cut shows cell 0, stretched shows cells 0-3.
  EXPECT_TRUE(Draw(Rect{0, 0, 64, 12}, L"close.png", L"dest='0,0,32,12' source='0,0,32,12'"));
  EXPECT_EQ(canvas_.At(30, 5), kCells[0]);
  EXPECT_EQ(canvas_.At(33, 5), kBackground);
  canvas_.Clear(kBackground);
  EXPECT_TRUE(Draw(Rect{0, 0, 64, 12}, L"close.png", L"dest='0,0,32,12'"));
  EXPECT_EQ(canvas_.At(30, 5), kCells[3]);
}

// Columns [x0, x1) of `row` that are dark.
int DarkPixels(const Canvas& c, int row, int x0, int x1) {
  int n = 0;
  for (int x = x0; x < x1; ++x) n += (c.At(x, row) & 0xFFFFFF) < 0x404040 ? 1 : 0;
  return n;
}

TEST_F(UiRender, UnderlinedRunGetsALineTheRestDoesNot) {
  HFONT font = ::CreateFontW(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
  ASSERT_TRUE(font);
  canvas_.Clear(kWhite);
  const Rect rect{0, 0, 200, 40};
  DrawFormattedText(canvas_.dc(), rect, L"ab{u}cd{/u}", 0xFF000000, font, kTextLeft | kTextTop);
  const int ab = MeasureTextLine(canvas_.dc(), L"ab", font).cx;
  const int cd = MeasureTextLine(canvas_.dc(), L"cd", font).cx;
  ASSERT_GT(ab, 4);
  // The underline: a row that is dark across (almost) the whole "cd" run and clear under "ab".
  int underline_row = -1;
  for (int y = 0; y < 40 && underline_row < 0; ++y) {
    if (DarkPixels(canvas_, y, ab + 1, ab + cd - 1) == cd - 2 && DarkPixels(canvas_, y, 0, ab) == 0)
      underline_row = y;
  }
  EXPECT_GE(underline_row, 0);

  // The same text without the tag has no such row, and the tags are not drawn as text.
  canvas_.Clear(kWhite);
  DrawFormattedText(canvas_.dc(), rect, L"abcd", 0xFF000000, font, kTextLeft | kTextTop);
  for (int y = 0; y < 40; ++y) EXPECT_LT(DarkPixels(canvas_, y, ab + 1, ab + cd - 1), cd - 2) << y;
  EXPECT_EQ(DarkPixels(canvas_, underline_row < 0 ? 0 : underline_row, ab + cd + 2, 200), 0);
  ::DeleteObject(font);
}

TEST_F(UiRender, OneLineTextFollowsAlignment) {
  HFONT font = ::CreateFontW(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
  struct Case { uint32_t style; bool ink_left, ink_right; };
  const Case cases[] = {
      {kTextRight | kTextVCenter | kTextSingleLine, false, true},
      {kTextLeft | kTextVCenter | kTextSingleLine, true, false},
  };
  for (const Case& c : cases) {
    canvas_.Clear(kWhite);
    DrawTextLine(canvas_.dc(), Rect{0, 0, 200, 30}, L"xx", 0xFF000000, font, c.style);
    int left = 0, right = 0;
    for (int y = 0; y < 30; ++y) {
      left += DarkPixels(canvas_, y, 0, 150);
      right += DarkPixels(canvas_, y, 150, 200);
    }
    EXPECT_EQ(left > 0, c.ink_left) << c.style;
    EXPECT_EQ(right > 0, c.ink_right) << c.style;
  }
  // End ellipsis: the narrow box shows other pixels than the plainly clipped text.
  auto snapshot = [&](uint32_t style) {
    canvas_.Clear(kWhite);
    DrawTextLine(canvas_.dc(), Rect{0, 0, 60, 30}, L"xxxxxxxxxxxxxxxx", 0xFF000000, font, style);
    std::vector<uint32_t> px;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 200; ++x) px.push_back(canvas_.At(x, y));
    return px;
  };
  const std::vector<uint32_t> clipped = snapshot(kTextLeft | kTextSingleLine);
  const std::vector<uint32_t> ellipsis = snapshot(kTextLeft | kTextSingleLine | kTextEndEllipsis);
  EXPECT_NE(clipped, ellipsis);
  int beyond = 0;
  for (int y = 0; y < 30; ++y) beyond += DarkPixels(canvas_, y, 60, 200);
  EXPECT_EQ(beyond, 0);
  ::DeleteObject(font);
}

// The program's own package, embedded in this test as resource ZIPRES 130 like in the program:
// every layout parses and every picture decodes; the known ones have the sizes the art was drawn at.
TEST(UiSkinPackage, TheProgramPackageLoadsWholeFromItsResource) {
  CloseSkinPackage();
  SetSkinInstance(::GetModuleHandleW(nullptr));
  ASSERT_TRUE(OpenSkinPackageResource(130));
  EXPECT_EQ(GetSkinPackageName(), L"membuffer");

  for (const wchar_t* layout : {L"MainWnd.xml", L"DlgConfig.xml", L"MainMenu.xml", L"result_item.xml",
                                L"result_item_crt.xml", L"result_item_fp.xml", L"Install.xml", L"Unstall.xml"}) {
    CSkinMarkup doc;
    EXPECT_TRUE(doc.LoadFromFile(layout)) << std::string(layout, layout + wcslen(layout)) << ": "
                                          << std::string(doc.GetLastErrorText().begin(), doc.GetLastErrorText().end());
  }
  // Every picture the package holds decodes, and the package holds every picture of the art
  // folder (the icon goes into a resource of its own).
  HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(130), L"ZIPRES");
  ASSERT_NE(found, nullptr);
  CZipArchive zip;
  ASSERT_TRUE(zip.OpenMemory(static_cast<const uint8_t*>(::LockResource(::LoadResource(nullptr, found))),
                             ::SizeofResource(nullptr, found)));
  std::set<std::string> packed;
  for (size_t i = 0; i < zip.GetEntryCount(); ++i) {
    const std::string name = zip.GetEntry(i).folded_name;
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".XML") == 0) continue;
    packed.insert(name);
    std::unique_ptr<ImageEntry> image = LoadSkinImage(std::wstring(name.begin(), name.end()), nullptr, 0);
    ASSERT_TRUE(image) << name;
    EXPECT_GT(image->width(), 0) << name;
    EXPECT_GT(image->height(), 0) << name;
  }
  std::set<std::string> art;
  WIN32_FIND_DATAW entry;
  HANDLE search = ::FindFirstFileW((std::wstring(QV_SKIN_RES) + L"\\*").c_str(), &entry);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  do {
    const std::wstring file = entry.cFileName;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    if (file.size() > 4 && _wcsicmp(file.c_str() + file.size() - 4, L".ico") == 0) continue;
    art.insert(CZipArchive::FoldName(std::string(file.begin(), file.end())));
  } while (::FindNextFileW(search, &entry));
  ::FindClose(search);
  EXPECT_EQ(packed, art);
  EXPECT_GE(packed.size(), 29u);

  // The sizes the art was drawn at, and its transparency, where the layouts rely on them.
  struct Picture { const wchar_t* name; int w, h; bool alpha; };
  const Picture pictures[] = {
      {L"back.png", 586, 363, false}, {L"logo.png", 54, 54, true},     {L"close.png", 128, 24, true},
      {L"checkbox.png", 52, 13, false}, {L"success.png", 16, 16, true}, {L"shadow.png", 70, 70, true},
      {L"menu_bk.png", 112, 31, false}, {L"line.png", 526, 1, false},   {L"repair.gif", 16, 16, false},
      {L"repaircancel.gif", 60, 60, false},
  };
  for (const Picture& p : pictures) {
    std::unique_ptr<ImageEntry> image = LoadSkinImage(p.name, nullptr, 0);
    ASSERT_TRUE(image) << std::string(p.name, p.name + wcslen(p.name));
    EXPECT_EQ(image->width(), p.w);
    EXPECT_EQ(image->height(), p.h);
    if (p.alpha) {
      EXPECT_TRUE(image->has_alpha()) << std::string(p.name, p.name + wcslen(p.name));
    }
  }
  CloseSkinPackage();

  // A missing resource leaves no package in use: markup reads report it.
  EXPECT_FALSE(OpenSkinPackageResource(999));
  CSkinMarkup doc;
  EXPECT_FALSE(doc.LoadFromFile(L"MainWnd.xml"));
  EXPECT_EQ(doc.GetLastErrorText(), L"Error opening zip file");
  CloseSkinPackage();
}

}  // namespace
