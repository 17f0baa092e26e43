#include "ui/core/ImageDecode.h"

#include <climits>

// stb_image is compiled privately into this file: other modules may embed their own copy.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_NO_HDR
#define STBI_NO_LINEAR
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#include "stb_image.h"
#pragma GCC diagnostic pop

namespace DuiLib {

namespace {

struct StbPixels {
  stbi_uc* data = nullptr;
  ~StbPixels() { stbi_image_free(data); }
};

}  // namespace

bool DecodeImage(const uint8_t* bytes, size_t size, uint32_t mask, DecodedImage& out) {
  out = DecodedImage{};
  if (bytes == nullptr || size == 0 || size > static_cast<size_t>(INT_MAX)) return false;
  int w = 0, h = 0, channels = 0;
  StbPixels rgba;
  rgba.data = stbi_load_from_memory(bytes, static_cast<int>(size), &w, &h, &channels, 4);
  if (rgba.data == nullptr || w <= 0 || h <= 0) return false;

  out.width = w;
  out.height = h;
  out.pixels.resize(static_cast<size_t>(w) * h);
  const stbi_uc* src = rgba.data;
  for (uint32_t& px : out.pixels) {
    uint32_t r = src[0], g = src[1], b = src[2], a = src[3];
    src += 4;
    if (a < 255) {
      r = r * a / 255;
      g = g * a / 255;
      b = b * a / 255;
      out.has_alpha = true;
    }
    px = (a << 24) | (r << 16) | (g << 8) | b;
    if (mask != 0 && px == mask) {
      px = 0;
      out.has_alpha = true;
    }
  }
  return true;
}

}  // namespace DuiLib
