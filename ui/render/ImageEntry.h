// A decoded skin image held as a 32-bit top-down DIB section with premultiplied alpha: what the
// skin manager caches per image name and what the drawing functions take.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "ui/core/ImageDecode.h"

namespace DuiLib {

class ImageEntry {
 public:
  ~ImageEntry();
  ImageEntry(const ImageEntry&) = delete;
  ImageEntry& operator=(const ImageEntry&) = delete;

  // A DIB section holding the pixels; nullptr when the section cannot be made.
  static std::unique_ptr<ImageEntry> Create(const DecodedImage& image, const std::wstring& res_type);

  HBITMAP bitmap() const { return bitmap_; }
  int width() const { return width_; }
  int height() const { return height_; }
  bool has_alpha() const { return has_alpha_; }
  const std::wstring& res_type() const { return res_type_; }
  const uint32_t* pixels() const { return pixels_; }  // the DIB's bits, top-down

 private:
  ImageEntry() = default;
  HBITMAP bitmap_ = nullptr;
  uint32_t* pixels_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  bool has_alpha_ = false;
  std::wstring res_type_;
};

// Loads an image by name: with `res_type` (not null, not empty) the module resource of that
// type named `name`; otherwise through the skin source (package, root folder, the name as a
// path). Decodes, premultiplies, applies `mask`. nullptr on any failure (nothing is cached
// here: the caller caches successes only).
std::unique_ptr<ImageEntry> LoadSkinImage(const std::wstring& name, const wchar_t* res_type,
                                          uint32_t mask);

}  // namespace DuiLib
