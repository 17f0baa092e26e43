// Image decoding: any bytes decode or fail without a fault, and a decoded image equals the
// plain reference conversion of a four-channel decode of the same bytes (premultiplied
// 0xAARRGGBB, mask applied, has-alpha set when any pixel ends up less than opaque). The first
// four input bytes are the mask colour, the rest the image file.
//
// Some malformed files make the decoder hand out memory it never wrote: palette entries beyond
// a short palette (stack) or rows a truncated file does not reach (heap). Every allocation is
// filled with one byte, so unwritten heap memory reads alike in both decodes; for the stack,
// the reference is decoded twice over differently scribbled stack, and when the two differ only
// success and size are compared.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "ui/core/ImageDecode.h"
#include "ui/core/StbImageImpl.h"

using namespace DuiLib;

namespace {

bool ReferenceDecode(const uint8_t* bytes, size_t size, uint32_t mask, DecodedImage& out) {
  int w = 0, h = 0, n = 0;
  stbi_uc* rgba = stbi_load_from_memory(bytes, static_cast<int>(size), &w, &h, &n, 4);
  if (rgba == nullptr) return false;
  if (w <= 0 || h <= 0) {  // a header may claim no rows at all
    stbi_image_free(rgba);
    return false;
  }
  out.width = w;
  out.height = h;
  out.has_alpha = false;
  out.pixels.resize(static_cast<size_t>(w) * h);
  for (size_t i = 0; i < out.pixels.size(); ++i) {
    uint32_t r = rgba[i * 4], g = rgba[i * 4 + 1], b = rgba[i * 4 + 2], a = rgba[i * 4 + 3];
    if (a < 255) {
      r = r * a / 255;
      g = g * a / 255;
      b = b * a / 255;
      out.has_alpha = true;
    }
    uint32_t px = (a << 24) | (r << 16) | (g << 8) | b;
    if (mask != 0 && px == mask) {
      px = 0;
      out.has_alpha = true;
    }
    out.pixels[i] = px;
  }
  stbi_image_free(rgba);
  return true;
}

// The PNG reader grows its data buffer to what a chunk claims before it reads it: skip inputs
// with a chunk longer than the input, which would only measure the allocator.
bool HasOversizedPngChunk(const uint8_t* bytes, size_t size) {
  if (size < 8 || std::memcmp(bytes, "\x89PNG", 4) != 0) return false;
  for (size_t p = 8; size - p >= 8;) {
    const size_t length =
        (size_t{bytes[p]} << 24) | (size_t{bytes[p + 1]} << 16) | (size_t{bytes[p + 2]} << 8) | bytes[p + 3];
    if (length > size) return true;
    if (length + 12 > size - p) return false;
    p += length + 12;
  }
  return false;
}

}  // namespace

extern "C" const char* __asan_default_options() { return "max_malloc_fill_size=268435456"; }

namespace {

// Fills the stack below the caller, where the decoder's frames will lie next.
__attribute__((noinline)) void ScribbleStack(uint64_t value) {
  volatile uint64_t area[4096];
  for (size_t i = 0; i < 4096; ++i) area[i] = value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 5) return 0;
  uint32_t mask;
  std::memcpy(&mask, data, 4);
  const uint8_t* image = data + 4;
  const size_t image_size = size - 4;
  // Keep each run small: a header may promise any size.
  if (HasOversizedPngChunk(image, image_size)) return 0;
  int w = 0, h = 0, n = 0;
  if (stbi_info_from_memory(image, static_cast<int>(image_size), &w, &h, &n) && static_cast<int64_t>(w) * h > (1 << 16))
    return 0;

  DecodedImage ours, reference, again;
  const bool ok = DecodeImage(image, image_size, mask, ours);
  ScribbleStack(0x5A5A5A5A5A5A5A5Aull);
  if (ok != ReferenceDecode(image, image_size, mask, reference)) __builtin_trap();
  if (!ok) return 0;
  if (ours.width != reference.width || ours.height != reference.height) __builtin_trap();
  ScribbleStack(0xA5A5A5A5A5A5A5A5ull);
  ReferenceDecode(image, image_size, mask, again);
  if (again.pixels != reference.pixels || again.has_alpha != reference.has_alpha) return 0;  // not comparable
  if (ours.has_alpha != reference.has_alpha || ours.pixels != reference.pixels) __builtin_trap();
  return 0;
}
