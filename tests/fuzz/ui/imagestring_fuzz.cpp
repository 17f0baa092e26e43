// Image strings, attribute lists, formatted text and the value syntaxes over any text. The
// input is split at its first NUL byte into an image string and a modifying string.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "ui/core/AttributeList.h"
#include "ui/core/ImageString.h"
#include "ui/core/TextStyle.h"
#include "ui/core/Utf8.h"
#include "ui/core/ValueSyntax.h"

using namespace DuiLib;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint8_t* nul = static_cast<const uint8_t*>(std::memchr(data, 0, size));
  const size_t first_len = nul ? static_cast<size_t>(nul - data) : size;
  const std::wstring image = Utf8ToUtf16(data, first_len);
  const std::wstring modify = nul ? Utf8ToUtf16(nul + 1, size - first_len - 1) : std::wstring();

  size_t sum = 0;
  for (const ImageDrawSpec& spec : ParseImageString(image.c_str(), nul ? modify.c_str() : nullptr)) {
    if (spec.name.empty()) __builtin_trap();
    sum += spec.name.size() + spec.res_type.size() + spec.fade;
  }
  for (const AttributePair& p : ParseAttributeList(image.c_str())) sum += p.first.size() + p.second.size();
  for (const TextRun& run : ParseFormattedText(image.c_str())) sum += run.text.size();
  sum += ApplyAlignAttribute(0, image.c_str()) + ApplyVAlignAttribute(0, image.c_str());
  int numbers[4];
  ParseIntList(image.c_str(), numbers, 4);
  sum += static_cast<size_t>(numbers[3]) + ParseColor(image.c_str()) + ParseSize(modify.c_str()).cx;
  sum += Utf16ToUtf8(image).size();
  volatile size_t sink = sum;
  (void)sink;
  return 0;
}
