#include "ui/core/ImageDecode.h"

#include <climits>
#include <cstring>

#include "ui/core/StbImageImpl.h"

namespace DuiLib {

namespace {

struct StbPixels {
  stbi_uc* data = nullptr;
  ~StbPixels() { stbi_image_free(data); }
};

uint32_t ReadBe32(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | p[3];
}

// True for an 8-bit truecolour PNG without a transparency chunk: such an image is opaque, and
// asking the decoder for three channels lets it unfilter whole rows at a time instead of
// inserting an alpha byte after every pixel. Anything else, or anything unusual in the chunk
// list, is decoded with four channels as before. A transparency chunk is only valid before the
// first image data chunk, so the walk stops there.
bool IsOpaqueTruecolourPng(const uint8_t* bytes, size_t size) {
  static constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (size < 8 || std::memcmp(bytes, kSignature, 8) != 0) return false;
  bool header_seen = false;
  for (size_t p = 8; size - p >= 8;) {
    const size_t length = ReadBe32(bytes + p);
    const uint8_t* type = bytes + p + 4;
    if (!header_seen) {
      // The header must come first, whole: width, height, bit depth 8, colour type 2.
      if (std::memcmp(type, "IHDR", 4) != 0 || length < 13 || size - p - 8 < 13) return false;
      if (bytes[p + 16] != 8 || bytes[p + 17] != 2) return false;
      header_seen = true;
    } else if (std::memcmp(type, "IDAT", 4) == 0) {
      return true;
    } else if (std::memcmp(type, "tRNS", 4) == 0) {
      return false;
    }
    if (length > size - p - 8 || size - p - 8 - length < 4) return false;  // data and CRC
    p += 12 + length;
  }
  return false;
}

}  // namespace

bool DecodeImage(const uint8_t* bytes, size_t size, uint32_t mask, DecodedImage& out) {
  out = DecodedImage{};
  if (bytes == nullptr || size == 0 || size > static_cast<size_t>(INT_MAX)) return false;
  const int channels = IsOpaqueTruecolourPng(bytes, size) ? 3 : 4;
  int w = 0, h = 0, file_channels = 0;
  StbPixels decoded;
  decoded.data = stbi_load_from_memory(bytes, static_cast<int>(size), &w, &h, &file_channels, channels);
  if (decoded.data == nullptr || w <= 0 || h <= 0) return false;

  out.width = w;
  out.height = h;
  out.pixels.resize(static_cast<size_t>(w) * h);
  const stbi_uc* src = decoded.data;
  if (channels == 3) {
    // Opaque: a plain repacking the compiler can vectorise, then the mask only when it is an
    // opaque colour (no other value can match).
    const size_t count = out.pixels.size();
    uint32_t* px = out.pixels.data();
    for (size_t i = 0; i < count; ++i) {
      px[i] = 0xFF000000u | (uint32_t{src[3 * i]} << 16) | (uint32_t{src[3 * i + 1]} << 8) | src[3 * i + 2];
    }
    if ((mask >> 24) == 0xFF) {
      for (size_t i = 0; i < count; ++i) {
        if (px[i] == mask) {
          px[i] = 0;
          out.has_alpha = true;
        }
      }
    }
  } else {
    // One pass: premultiply, swap to 0xAARRGGBB and apply the mask. `opaque_and` keeps the
    // alpha bits every pixel has, so it tells whether any ends up less than opaque
    // (premultiplied or masked).
    uint32_t opaque_and = 0xFF000000u;
    for (uint32_t& px : out.pixels) {
      uint32_t r = src[0], g = src[1], b = src[2], a = src[3];
      src += 4;
      if (a < 255) {
        r = r * a / 255;
        g = g * a / 255;
        b = b * a / 255;
      }
      px = (a << 24) | (r << 16) | (g << 8) | b;
      if (mask != 0 && px == mask) px = 0;
      opaque_and &= px;
    }
    out.has_alpha = opaque_and != 0xFF000000u;
  }
  return true;
}

}  // namespace DuiLib
