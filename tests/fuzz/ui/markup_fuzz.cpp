// Markup parser: any bytes give a document or an error text; walking the tree and reading
// every attribute (and the attribute-list, image-string and value syntaxes of every value)
// stays inside the document.
#include <cstddef>
#include <cstdint>
#include <cwchar>

#include "ui/core/AttributeList.h"
#include "ui/core/ImageString.h"
#include "ui/core/SkinMarkup.h"
#include "ui/core/ValueSyntax.h"

using namespace DuiLib;

namespace {

size_t Walk(const CMarkupNode& first, int depth) {
  size_t sum = 0;
  for (CMarkupNode n = first; n.IsValid(); n = n.GetSibling()) {
    sum += std::wcslen(n.GetName()) + std::wcslen(n.GetValue());
    const int count = n.GetAttributeCount();
    if (count > CMarkupNode::kMaxAttributes) __builtin_trap();
    for (int i = 0; i < count; ++i) {
      const wchar_t* value = n.GetAttributeValue(i);
      sum += std::wcslen(n.GetAttributeName(i)) + std::wcslen(value);
      if (n.GetAttributeValue(n.GetAttributeName(i)) == nullptr) __builtin_trap();
      sum += ParseAttributeList(value).size() + ParseImageString(value).size();
      sum += static_cast<size_t>(ParseRect(value).left) + ParseColor(value) + ParseBool(value);
    }
    // Recursion only for the shallow part: the parser itself never recurses.
    if (depth < 64) sum += Walk(n.GetChild(), depth + 1);
  }
  return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CSkinMarkup doc;
  if (doc.LoadFromMem(data, size)) {
    volatile size_t sink = Walk(doc.GetRoot(), 0);
    (void)sink;
  } else if (doc.GetLastErrorText().empty()) {
    __builtin_trap();  // every failure has its text
  }
  return 0;
}
