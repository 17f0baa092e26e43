#include <gtest/gtest.h>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#include "stb_image_write.h"
#pragma GCC diagnostic pop

#include <zlib.h>

#include "ui/core/ImageDecode.h"
#include "ui/core/ImageString.h"
#include "ui/core/TextStyle.h"

using namespace DuiLib;

TEST(UiTextStyle, AlignAndVAlignWordsApplyInOrder) {
  const uint32_t label = InitialTextStyle(TextControlKind::kLabel);
  const uint32_t button = InitialTextStyle(TextControlKind::kButton);
  EXPECT_EQ(label, kTextVCenter);
  EXPECT_EQ(button, kTextSingleLine | kTextVCenter | kTextCenter);
  EXPECT_EQ(InitialTextStyle(TextControlKind::kProgress), kTextSingleLine | kTextCenter);

  struct Case {
    const char* what;
    uint32_t start;
    const wchar_t* align;
    const wchar_t* valign;
    uint32_t expected;
  };
  const Case cases[] = {
      {"left clears centre and single-line", button, L"left", nullptr, kTextVCenter},
      {"right", button, L"right", nullptr, kTextVCenter | kTextRight},
      {"center", kTextRight, L"center", nullptr, kTextCenter},
      {"left then right, both applied", button, L"left right", nullptr, kTextVCenter | kTextRight},
      {"unknown word", button, L"middle", nullptr, button},
      {"top", label, nullptr, L"top", kTextSingleLine},
      {"vcenter", kTextBottom, nullptr, L"vcenter", kTextVCenter | kTextSingleLine},
      {"bottom", label, nullptr, L"bottom", kTextBottom | kTextSingleLine},
  };
  for (const Case& c : cases) {
    uint32_t s = c.start;
    if (c.align) s = ApplyAlignAttribute(s, c.align);
    if (c.valign) s = ApplyVAlignAttribute(s, c.valign);
    EXPECT_EQ(s, c.expected) << c.what;
  }
}

TEST(UiTextStyle, LabelsDrawOneLineButtonsFollowTheirFlags) {
  // A label whose align="left" cleared single-line still draws one line.
  const uint32_t left_label = ApplyAlignAttribute(kTextSingleLine | kTextVCenter, L"left");
  EXPECT_EQ(left_label & kTextSingleLine, 0u);
  EXPECT_NE(DrawTextStyle(TextControlKind::kLabel, left_label) & kTextSingleLine, 0u);
  EXPECT_NE(DrawTextStyle(TextControlKind::kProgress, kTextWordBreak) & kTextSingleLine, 0u);

  const uint32_t multi = ApplyMultiline(InitialTextStyle(TextControlKind::kButton), true);
  EXPECT_EQ(DrawTextStyle(TextControlKind::kButton, multi), kTextWordBreak | kTextVCenter | kTextCenter);
  EXPECT_EQ(ApplyEndEllipsis(0, true), kTextEndEllipsis);
}

TEST(UiFormattedText, UnderlineRunsAndDroppedTags) {
  struct Case {
    const wchar_t* text;
    std::vector<TextRun> runs;
  };
  auto R = [](const wchar_t* t, bool u) { return TextRun{t, u}; };
  const Case cases[] = {
      {L"\x6709{u}3{/u}\x4E2A\x95EE\x9898", {R(L"\x6709", false), R(L"3", true), R(L"\x4E2A\x95EE\x9898", false)}},
      {L"<u>a</u>b", {R(L"a", true), R(L"b", false)}},
      {L"{b}bold{/b} {c #FF0000}red", {R(L"bold", false), R(L" ", false), R(L"red", false)}},
      {L"a < b {U} {u", {R(L"a < b {U} {u", false)}},
      {L"{/u}x{u}y", {R(L"x", false), R(L"y", true)}},
      {L"", {}},
  };
  for (const Case& c : cases) {
    std::vector<TextRun> runs = ParseFormattedText(c.text);
    ASSERT_EQ(runs.size(), c.runs.size()) << "#" << (&c - cases);
    for (size_t i = 0; i < runs.size(); ++i) {
      EXPECT_EQ(runs[i].text, c.runs[i].text) << "#" << (&c - cases);
      EXPECT_EQ(runs[i].underline, c.runs[i].underline) << "#" << (&c - cases);
    }
  }
}

TEST(UiImageString, BareNamesItemsAndModifiers) {
  std::vector<ImageDrawSpec> s = ParseImageString(L"logo.png");
  ASSERT_EQ(s.size(), 1u);
  EXPECT_EQ(s[0].name, L"logo.png");
  EXPECT_FALSE(s[0].has_dest);
  EXPECT_EQ(s[0].fade, 255);

  s = ParseImageString(
      L"file='close.png' source='0,0,32,24' corner='4,5,6,7' mask='#FFFF00FF' "
      L"fade='300' hole='true' xtiled='true' ytiled='True' dest='1,2,3,4'");
  ASSERT_EQ(s.size(), 1u);
  EXPECT_EQ(s[0].name, L"close.png");
  EXPECT_EQ(s[0].source, (Rect{0, 0, 32, 24}));
  EXPECT_EQ(s[0].corner, (Rect{4, 5, 6, 7}));
  EXPECT_EQ(s[0].mask, 0xFFFF00FFu);
  EXPECT_EQ(s[0].fade, 255);  // clamped
  EXPECT_TRUE(s[0].hole);
  EXPECT_TRUE(s[0].xtiled);
  EXPECT_FALSE(s[0].ytiled);
  EXPECT_TRUE(s[0].has_dest);
  EXPECT_EQ(s[0].dest, (Rect{1, 2, 3, 4}));

  // A second file draws the first with what was collected so far.
  s = ParseImageString(L"file='a.png' source='1,1,2,2' file='b.png' fade='7'");
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[0].name, L"a.png");
  EXPECT_EQ(s[0].fade, 255);
  EXPECT_EQ(s[1].name, L"b.png");
  EXPECT_EQ(s[1].source, (Rect{1, 1, 2, 2}));
  EXPECT_EQ(s[1].fade, 7);

  // The progress bar's modifier applies to a bare name.
  s = ParseImageString(L"fore_progress.png", L"dest='0,0,192,8' source='0,0,192,8'");
  ASSERT_EQ(s.size(), 1u);
  EXPECT_EQ(s[0].name, L"fore_progress.png");
  EXPECT_EQ(s[0].dest, (Rect{0, 0, 192, 8}));

  s = ParseImageString(L"res='130' restype='PNG'");
  ASSERT_EQ(s.size(), 1u);
  EXPECT_TRUE(s[0].from_resource);
  EXPECT_EQ(s[0].res_type, L"PNG");

  EXPECT_TRUE(ParseImageString(L"").empty());
  EXPECT_TRUE(ParseImageString(nullptr, L"dest='0,0,1,1'").empty());
}

TEST(UiImageString, ReadingStopsAtTheFirstMalformedItem) {
  struct Case {
    const wchar_t* text;
    const wchar_t* name;
    Rect source;
  };
  const Case cases[] = {
      {L"file='a.png' source='0,0,5,5'", L"a.png", {0, 0, 5, 5}},
      {L"file='a.png' source=\"0,0,5,5\"", L"a.png", {}},
      {L"file='a.png' junk source='0,0,5,5'", L"a.png", {}},
      {L"file='a.png' source='0,0,5,5", L"a.png", {}},
      {L"file='' source='0,0,5,5'", L"file='' source='0,0,5,5'", {0, 0, 5, 5}},  // empty value ignored
      {L"my pic.png", L"my pic.png", {}},
  };
  for (const Case& c : cases) {
    std::vector<ImageDrawSpec> s = ParseImageString(c.text);
    ASSERT_EQ(s.size(), 1u) << "#" << (&c - cases);
    EXPECT_EQ(s[0].name, c.name) << "#" << (&c - cases);
    EXPECT_EQ(s[0].source, c.source) << "#" << (&c - cases);
  }
}

namespace {

// A PNG of `channels` samples per pixel (1 grey, 2 grey and alpha, 3 RGB, 4 RGBA).
std::vector<uint8_t> Png(int w, int h, const std::vector<uint8_t>& samples, int channels = 4) {
  std::vector<uint8_t> out;
  stbi_write_png_to_func(
      [](void* ctx, void* data, int size) {
        auto* v = static_cast<std::vector<uint8_t>*>(ctx);
        v->insert(v->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
      },
      &out, w, h, channels, samples.data(), w * channels);
  return out;
}

// Inserts a chunk right after the header chunk (signature 8 bytes + IHDR 25 bytes).
std::vector<uint8_t> WithChunk(std::vector<uint8_t> png, const char* type, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> chunk;
  const uint32_t length = static_cast<uint32_t>(data.size());
  for (int shift = 24; shift >= 0; shift -= 8) chunk.push_back(static_cast<uint8_t>(length >> shift));
  chunk.insert(chunk.end(), type, type + 4);
  chunk.insert(chunk.end(), data.begin(), data.end());
  const uint32_t crc = static_cast<uint32_t>(crc32(0L, chunk.data() + 4, static_cast<uInt>(chunk.size() - 4)));
  for (int shift = 24; shift >= 0; shift -= 8) chunk.push_back(static_cast<uint8_t>(crc >> shift));
  png.insert(png.begin() + 33, chunk.begin(), chunk.end());
  return png;
}

}  // namespace

TEST(UiImageDecode, PremultipliesAlphaAndAppliesTheMask) {
  // Four pixels: opaque red, half-transparent white, transparent green, opaque magenta.
  const std::vector<uint8_t> rgba = {255, 0, 0, 255, 255, 255, 255, 128, 0, 255, 0, 0, 255, 0, 255, 255};
  const std::vector<uint8_t> png = Png(2, 2, rgba);
  DecodedImage img;
  ASSERT_TRUE(DecodeImage(png.data(), png.size(), 0, img));
  EXPECT_EQ(img.width, 2);
  EXPECT_TRUE(img.has_alpha);
  EXPECT_EQ(img.pixels, (std::vector<uint32_t>{0xFFFF0000u, 0x80808080u, 0x00000000u, 0xFFFF00FFu}));

  ASSERT_TRUE(DecodeImage(png.data(), png.size(), 0xFFFF00FFu, img));
  EXPECT_EQ(img.pixels[3], 0u);

  // An opaque image has no alpha until its mask colour clears a pixel.
  const std::vector<uint8_t> opaque = Png(2, 1, {1, 2, 3, 255, 255, 0, 255, 255});
  ASSERT_TRUE(DecodeImage(opaque.data(), opaque.size(), 0, img));
  EXPECT_FALSE(img.has_alpha);
  EXPECT_EQ(img.pixels[0], 0xFF010203u);
  ASSERT_TRUE(DecodeImage(opaque.data(), opaque.size(), 0xFFFF00FFu, img));
  EXPECT_TRUE(img.has_alpha);
  EXPECT_EQ(img.pixels[1], 0u);

  const uint8_t junk[] = {1, 2, 3, 4, 5};
  EXPECT_FALSE(DecodeImage(junk, sizeof(junk), 0, img));
}

// Opaque truecolour PNGs take a three-channel decode; every other kind, and a truecolour PNG
// whose transparency chunk keys out a colour, must still come out as 0xAARRGGBB premultiplied.
TEST(UiImageDecode, EveryPngKindGivesTheSamePixelLayout) {
  struct Case {
    const char* what;
    std::vector<uint8_t> png;
    uint32_t mask;
    std::vector<uint32_t> pixels;
    bool has_alpha;
  };
  const std::vector<uint8_t> rgb = {1, 2, 3, 255, 0, 255, 200, 100, 50};
  const Case cases[] = {
      {"truecolour", Png(3, 1, rgb, 3), 0, {0xFF010203u, 0xFFFF00FFu, 0xFFC86432u}, false},
      {"truecolour, mask clears magenta", Png(3, 1, rgb, 3), 0xFFFF00FFu, {0xFF010203u, 0u, 0xFFC86432u}, true},
      {"truecolour keyed by a transparency chunk",
       WithChunk(Png(3, 1, rgb, 3), "tRNS", {0, 255, 0, 0, 0, 255}),
       0,
       {0xFF010203u, 0u, 0xFFC86432u},
       true},
      {"truecolour, unknown ancillary chunk before the data",
       WithChunk(Png(3, 1, rgb, 3), "tEXt", {'a', 0, 'b'}),
       0,
       {0xFF010203u, 0xFFFF00FFu, 0xFFC86432u},
       false},
      {"grey", Png(2, 1, {0, 200}, 1), 0, {0xFF000000u, 0xFFC8C8C8u}, false},
      {"grey and alpha", Png(2, 1, {200, 255, 200, 51}, 2), 0, {0xFFC8C8C8u, 0x33282828u}, true},
      {"RGBA", Png(2, 1, {1, 2, 3, 255, 255, 255, 255, 0}, 4), 0, {0xFF010203u, 0u}, true},
  };
  for (const Case& c : cases) {
    DecodedImage img;
    ASSERT_TRUE(DecodeImage(c.png.data(), c.png.size(), c.mask, img)) << c.what;
    EXPECT_EQ(img.width, static_cast<int>(c.pixels.size())) << c.what;
    EXPECT_EQ(img.height, 1) << c.what;
    EXPECT_EQ(img.pixels, c.pixels) << c.what;
    EXPECT_EQ(img.has_alpha, c.has_alpha) << c.what;
  }

  // A truecolour PNG cut inside its header or its data is refused, as before.
  const std::vector<uint8_t> whole = Png(3, 1, rgb, 3);
  for (size_t cut : {size_t{20}, size_t{40}, whole.size() - 13}) {
    DecodedImage img;
    EXPECT_FALSE(DecodeImage(whole.data(), cut, 0, img)) << "cut at " << cut;
  }
}
