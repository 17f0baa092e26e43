// Decoding skin images into the pixel layout the drawing layer wants: 32-bit pixels, blue,
// green, red, alpha in memory (0xAARRGGBB as a little-endian uint32), rows top to bottom,
// colour premultiplied by alpha. PNG, JPEG, BMP, GIF (first frame), PSD, PIC, PNM and TGA.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace DuiLib {

struct DecodedImage {
  int width = 0;
  int height = 0;
  bool has_alpha = false;
  std::vector<uint32_t> pixels;  // width * height, 0xAARRGGBB premultiplied
};

// Every pixel whose alpha is below 255 has its colour multiplied by alpha/255 and marks the
// image as having alpha; then every pixel whose 32-bit value equals `mask` (when not 0) becomes
// 0 and marks it too. False when the bytes are no image we read.
bool DecodeImage(const uint8_t* bytes, size_t size, uint32_t mask, DecodedImage& out);

}  // namespace DuiLib
