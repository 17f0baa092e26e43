#include "ui/render/ImageEntry.h"

#include <cstring>
#include <vector>

#include "ui/core/SkinSource.h"
#include "ui/render/SkinModule.h"

namespace DuiLib {

ImageEntry::~ImageEntry() {
  if (bitmap_) ::DeleteObject(bitmap_);
}

std::unique_ptr<ImageEntry> ImageEntry::Create(const DecodedImage& image, const std::wstring& res_type) {
  if (image.width <= 0 || image.height <= 0) return nullptr;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = image.width;
  bi.bmiHeader.biHeight = -image.height;  // top-down rows
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) {
    if (bitmap) ::DeleteObject(bitmap);
    return nullptr;
  }
  std::memcpy(bits, image.pixels.data(), image.pixels.size() * sizeof(uint32_t));
  std::unique_ptr<ImageEntry> entry(new ImageEntry());
  entry->bitmap_ = bitmap;
  entry->pixels_ = static_cast<uint32_t*>(bits);
  entry->width_ = image.width;
  entry->height_ = image.height;
  entry->has_alpha_ = image.has_alpha;
  entry->res_type_ = res_type;
  return entry;
}

std::unique_ptr<ImageEntry> LoadSkinImage(const std::wstring& name, const wchar_t* res_type,
                                          uint32_t mask) {
  if (name.empty()) return nullptr;
  std::vector<uint8_t> bytes;
  const bool from_resource = res_type != nullptr && *res_type != L'\0';
  bool read = from_resource ? ReadModuleResource(name.c_str(), res_type, bytes)
                            : ReadSkinImageFile(name, bytes);
  if (!read) return nullptr;
  DecodedImage decoded;
  if (!DecodeImage(bytes.data(), bytes.size(), mask, decoded)) return nullptr;
  return ImageEntry::Create(decoded, from_resource ? res_type : L"");
}

}  // namespace DuiLib
