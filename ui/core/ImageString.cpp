#include "ui/core/ImageString.h"

#include <cwchar>

#include "ui/core/ValueSyntax.h"

namespace DuiLib {

namespace {

class ImageStringReader {
 public:
  explicit ImageStringReader(const wchar_t* image) { spec_.name = image; }

  // Reads key='value' items until the text stops having that form.
  void ReadItems(const wchar_t* text) {
    if (text == nullptr) return;
    const wchar_t* p = text;
    for (;;) {
      while (*p == L' ') ++p;
      if (*p == L'\0') return;
      const wchar_t* key = p;
      while (*p != L'\0' && *p != L'=' && *p != L' ' && *p != L'\'') ++p;
      if (p == key || p[0] != L'=' || p[1] != L'\'') return;
      std::wstring name(key, p);
      p += 2;
      const wchar_t* value = p;
      while (*p != L'\0' && *p != L'\'') ++p;
      if (*p != L'\'') return;
      std::wstring text_value(value, p);
      ++p;
      if (!text_value.empty()) Apply(name, text_value);
    }
  }

  std::vector<ImageDrawSpec> Finish() {
    Emit();
    return std::move(out_);
  }

 private:
  void Emit() {
    if (!spec_.name.empty()) out_.push_back(spec_);
  }

  void Apply(const std::wstring& key, const std::wstring& value) {
    const wchar_t* v = value.c_str();
    if (key == L"file" || key == L"res") {
      // A second image in one string: the first is drawn with what was collected for it.
      if (named_) Emit();
      named_ = true;
      spec_.name = value;
      spec_.from_resource = key == L"res";
    } else if (key == L"restype") {
      spec_.res_type = value;
    } else if (key == L"dest") {
      spec_.has_dest = true;
      spec_.dest = ParseRect(v);
    } else if (key == L"source") {
      spec_.source = ParseRect(v);
    } else if (key == L"corner") {
      spec_.corner = ParseRect(v);
    } else if (key == L"mask") {
      spec_.mask = ParseColor(v);
    } else if (key == L"fade") {
      int fade = ParseInt(v);
      spec_.fade = static_cast<uint8_t>(fade < 0 ? 0 : fade > 255 ? 255 : fade);
    } else if (key == L"hole") {
      spec_.hole = ParseBool(v);
    } else if (key == L"xtiled") {
      spec_.xtiled = ParseBool(v);
    } else if (key == L"ytiled") {
      spec_.ytiled = ParseBool(v);
    }
  }

  ImageDrawSpec spec_;
  bool named_ = false;  // a file/res item has named the image
  std::vector<ImageDrawSpec> out_;
};

}  // namespace

std::vector<ImageDrawSpec> ParseImageString(const wchar_t* image, const wchar_t* modify) {
  if (image == nullptr || *image == L'\0') return {};
  ImageStringReader reader(image);
  reader.ReadItems(image);
  reader.ReadItems(modify);
  return reader.Finish();
}

}  // namespace DuiLib
