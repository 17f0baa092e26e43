#include "ui/core/SkinMarkup.h"

#include <cstring>
#include <cwchar>

#include "ui/core/SkinSource.h"
#include "ui/core/Utf8.h"

namespace DuiLib {

namespace {

// Code 0 is the end of the document (and of every terminated text), never a blank.
// One comparison: code 0 wraps round to the largest value.
inline bool IsBlank(wchar_t c) { return static_cast<uint32_t>(c) - 1u < 32u; }

struct NameCharTable {
  bool ascii[128] = {};
  constexpr NameCharTable() {
    for (int c = 'a'; c <= 'z'; ++c) ascii[c] = true;
    for (int c = 'A'; c <= 'Z'; ++c) ascii[c] = true;
    for (int c = '0'; c <= '9'; ++c) ascii[c] = true;
    ascii[static_cast<int>('_')] = true;
    ascii[static_cast<int>(':')] = true;
  }
};
constexpr NameCharTable kNameChars;

// Letters, digits, '_' and ':' (ASCII).
inline bool IsNameChar(wchar_t c) {
  return static_cast<uint32_t>(c) < 128 && kNameChars.ascii[static_cast<uint32_t>(c)];
}

struct EntityRef {
  const wchar_t* text;
  size_t length;
  wchar_t ch;
};
constexpr EntityRef kEntities[] = {
    {L"&amp;", 5, L'&'}, {L"&lt;", 4, L'<'}, {L"&gt;", 4, L'>'}, {L"&quot;", 6, L'"'}, {L"&apos;", 6, L'\''},
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// CSkinMarkup

wchar_t* CSkinMarkup::AllocText(size_t length) {
  text_.reset(new wchar_t[length + 1]);
  text_capacity_ = length;
  return text_.get();
}

bool CSkinMarkup::Load(const wchar_t* text) {
  Release();
  if (text == nullptr) text = L"";
  const size_t length = std::wcslen(text);
  std::wmemcpy(AllocText(length), text, length + 1);
  return Parse();
}

bool CSkinMarkup::LoadFromMem(const uint8_t* bytes, size_t size) {
  Release();
  wchar_t* text = AllocText(size);
  text[Utf8ToUtf16(bytes, size, text)] = 0;
  return Parse();
}

bool CSkinMarkup::LoadFromFile(const wchar_t* name) {
  Release();
  std::vector<uint8_t> bytes;
  std::wstring error;
  if (!ReadSkinFile(name ? name : L"", bytes, error)) {
    error_ = error;
    return false;
  }
  return LoadFromMem(bytes.data(), bytes.size());
}

void CSkinMarkup::Release() {
  text_.reset();
  text_capacity_ = 0;
  elements_.clear();
  error_.clear();
}

CMarkupNode CSkinMarkup::GetRoot() const { return elements_.empty() ? CMarkupNode() : CMarkupNode(this, 0); }

bool CSkinMarkup::Fail(const wchar_t* text) {
  error_ = text;
  elements_.clear();
  return false;
}

size_t CSkinMarkup::SkipComment(size_t pos) const {
  const wchar_t* s = text_.get();
  const wchar_t first = s[pos] == L'!' ? L'-' : L'?';
  // The end mark may begin right after the '!' or '?'. Unterminated: the comment runs to the
  // end of the text (which may be an embedded NUL).
  size_t p = pos + 1;
  for (; s[p] != 0; ++p) {
    if (s[p] == first && s[p + 1] == L'>') return p + 2;
  }
  return p;
}

size_t CSkinMarkup::DecodeInPlace(size_t begin, size_t end) {
  wchar_t* s = text_.get();
  const wchar_t* amp = std::wmemchr(s + begin, L'&', end - begin);
  if (amp == nullptr) return end;  // the common case: nothing to replace
  size_t w = static_cast<size_t>(amp - s);
  for (size_t r = w; r < end;) {
    if (s[r] == L'&') {
      bool replaced = false;
      for (const EntityRef& e : kEntities) {
        if (end - r >= e.length && std::wmemcmp(s + r, e.text, e.length) == 0) {
          s[w++] = e.ch;
          r += e.length;
          replaced = true;
          break;
        }
      }
      if (replaced) continue;
    }
    s[w++] = s[r++];
  }
  return w;
}

bool CSkinMarkup::ParseStartTag(size_t& pos_ref, uint32_t parent, bool& open) {
  wchar_t* s = text_.get();
  size_t pos = pos_ref;  // kept in a register; written back once at the end
  const size_t name_begin = pos;
  while (IsNameChar(s[pos])) ++pos;
  if (pos == name_begin) return Fail(L"Error parsing element name");
  const size_t name_end = pos;

  Element el{static_cast<uint32_t>(name_begin), parent, kNone, kNone, kNone, static_cast<uint32_t>(name_end), 0};
  for (;;) {
    while (IsBlank(s[pos])) ++pos;
    const wchar_t c = s[pos];
    if (c == L'/' || c == L'>' || c == 0) break;
    const size_t attr_name = pos;
    while (IsNameChar(s[pos])) ++pos;
    if (pos == attr_name) return Fail(L"Error while parsing attributes");
    const size_t attr_name_end = pos;
    while (IsBlank(s[pos])) ++pos;
    if (s[pos] != L'=') return Fail(L"Error while parsing attributes");
    ++pos;
    while (IsBlank(s[pos])) ++pos;
    if (s[pos] != L'"') return Fail(L"Expected attribute value");
    const size_t value = ++pos;
    // One pass finds the closing quote and notes whether any reference needs replacing. Of the
    // characters that matter here ('"', NUL and '&') none is above '&', and most value text is
    // (letters, digits, commas), so the inner loop makes one comparison per character.
    bool has_reference = false;
    for (;; ++pos) {
      while (static_cast<uint32_t>(s[pos]) > static_cast<uint32_t>(L'&')) ++pos;
      const wchar_t v = s[pos];
      if (v == L'"') break;
      if (v == 0) return Fail(L"Error while parsing attribute string");
      has_reference |= v == L'&';
    }
    // Terminate the value and blank out what entity replacement freed, up to and including the
    // closing quote, so a rescan sees only NULs between this value and the next name.
    if (has_reference) {
      for (size_t i = DecodeInPlace(value, pos); i <= pos; ++i) s[i] = 0;
    } else {
      s[pos] = 0;
    }
    s[attr_name_end] = 0;  // it held a blank or '=', both already read
    ++pos;
  }
  el.attr_end = static_cast<uint32_t>(pos);
  if (s[pos] == L'/') {
    if (s[pos + 1] != L'>') return Fail(L"Expected start-tag closing");
    s[pos] = 0;
    pos += 2;
    open = false;
  } else if (s[pos] == L'>') {
    s[pos] = 0;
    ++pos;
    el.data = static_cast<uint32_t>(pos);
    open = true;
  } else {
    return Fail(L"Expected start-tag closing");
  }
  s[name_end] = 0;

  elements_.push_back(el);
  pos_ref = pos;
  return true;
}

bool CSkinMarkup::Parse() {
  error_.clear();
  elements_.clear();
  // An element's first content text is cut at the '<' that ends it; the parser has read that
  // '<' before it overwrites it. `open` holds the elements whose content is being read, `last`
  // the last child created at each open level (and at the top level, last[0]).
  std::vector<uint32_t> open;
  std::vector<uint32_t> last;
  open.reserve(16);  // skins nest a handful of levels deep
  last.reserve(17);
  last.push_back(kNone);
  size_t pos = 0;
  wchar_t* s = text_.get();
  // Skins have an element every few dozen characters.
  elements_.reserve(text_capacity_ / 32 + 4);

  auto add_element = [&](size_t& p) -> bool {
    const uint32_t parent = open.empty() ? kNone : open.back();
    bool has_content = false;
    const size_t before = elements_.size();
    if (!ParseStartTag(p, parent, has_content)) return false;
    const uint32_t index = static_cast<uint32_t>(before);
    uint32_t& prev = last.back();
    if (prev != kNone)
      elements_[prev].next = index;
    else if (parent != kNone)
      elements_[parent].child = index;
    prev = index;
    if (has_content) {
      open.push_back(index);
      last.push_back(kNone);
    }
    return true;
  };

  for (;;) {
    if (open.empty()) {
      while (IsBlank(s[pos])) ++pos;
      if (s[pos] == 0) break;
      if (s[pos] != L'<') return Fail(L"Expected start tag");
      ++pos;
      if (s[pos] == L'!' || s[pos] == L'?') {
        pos = SkipComment(pos);
        continue;
      }
      if (!add_element(pos)) return false;
      continue;
    }

    // Inside the content of open.back().
    Element& current = elements_[open.back()];
    const size_t text_begin = pos;
    while (IsBlank(s[pos])) ++pos;  // usually nothing but the indentation
    while (s[pos] != L'<' && s[pos] != 0) ++pos;
    if (s[pos] == 0) return Fail(L"Expected end-tag start");
    if (current.data == text_begin) s[DecodeInPlace(text_begin, pos)] = 0;
    ++pos;  // past the '<' (which may now be the NUL ending the content text)
    if (s[pos] == L'/') {
      ++pos;
      // The name ends where the attribute text begins (its first character became the NUL).
      const wchar_t* name = s + current.name;
      const size_t length = current.attr_begin - current.name;
      size_t k = 0;
      while (k < length && s[pos + k] == name[k]) ++k;  // stops at a NUL too: no name holds one
      if (k != length || s[pos + length] != L'>') return Fail(L"Unmatched closing tag");
      pos += length + 1;
      open.pop_back();
      last.pop_back();
      continue;
    }
    if (s[pos] == L'!' || s[pos] == L'?') {
      pos = SkipComment(pos);
      continue;
    }
    if (!add_element(pos)) return false;
  }
  if (elements_.empty()) return Fail(L"Expected start tag");
  return true;
}

// ---------------------------------------------------------------------------------------------
// CMarkupNode

CMarkupNode CMarkupNode::GetParent() const {
  if (!owner_) return {};
  uint32_t i = owner_->elements_[element_].parent;
  return i == CSkinMarkup::kNone ? CMarkupNode() : CMarkupNode(owner_, i);
}

CMarkupNode CMarkupNode::GetSibling() const {
  if (!owner_) return {};
  uint32_t i = owner_->elements_[element_].next;
  return i == CSkinMarkup::kNone ? CMarkupNode() : CMarkupNode(owner_, i);
}

CMarkupNode CMarkupNode::GetChild() const {
  if (!owner_) return {};
  uint32_t i = owner_->elements_[element_].child;
  return i == CSkinMarkup::kNone ? CMarkupNode() : CMarkupNode(owner_, i);
}

CMarkupNode CMarkupNode::GetChild(const wchar_t* name) const {
  for (CMarkupNode n = GetChild(); n.IsValid(); n = n.GetSibling()) {
    if (std::wcscmp(n.GetName(), name) == 0) return n;
  }
  return {};
}

bool CMarkupNode::HasSiblings() const { return owner_ && owner_->elements_[element_].next != CSkinMarkup::kNone; }

bool CMarkupNode::HasChildren() const { return owner_ && owner_->elements_[element_].child != CSkinMarkup::kNone; }

const wchar_t* CMarkupNode::GetName() const {
  return owner_ ? owner_->text_.get() + owner_->elements_[element_].name : L"";
}

const wchar_t* CMarkupNode::GetValue() const {
  if (!owner_) return L"";
  uint32_t data = owner_->elements_[element_].data;
  return data == CSkinMarkup::kNone ? L"" : owner_->text_.get() + data;
}

void CMarkupNode::ScanAttributes() const {
  if (attr_count_ >= 0) return;
  attr_count_ = 0;
  if (!owner_) return;
  const CSkinMarkup::Element& el = owner_->elements_[element_];
  const wchar_t* s = owner_->text_.get();
  // The parser left each name and value NUL-terminated, with only NULs, blanks, '=' and the
  // opening quote between them.
  uint32_t p = el.attr_begin;
  while (attr_count_ < kMaxAttributes) {
    while (p < el.attr_end && s[p] <= 32) ++p;
    if (p >= el.attr_end) break;
    const uint32_t name = p;
    while (s[p] != 0) ++p;
    while (s[p] != L'"') ++p;
    const uint32_t value = ++p;
    while (s[p] != 0) ++p;
    attrs_[attr_count_++] = AttrPos{name, value};
  }
}

bool CMarkupNode::HasAttributes() const { return GetAttributeCount() > 0; }

int CMarkupNode::GetAttributeCount() const {
  ScanAttributes();
  return attr_count_;
}

const wchar_t* CMarkupNode::GetAttributeName(int index) const {
  ScanAttributes();
  if (index < 0 || index >= attr_count_) return L"";
  return owner_->text_.get() + attrs_[index].name;
}

const wchar_t* CMarkupNode::GetAttributeValue(int index) const {
  ScanAttributes();
  if (index < 0 || index >= attr_count_) return L"";
  return owner_->text_.get() + attrs_[index].value;
}

const wchar_t* CMarkupNode::GetAttributeValue(const wchar_t* name) const {
  ScanAttributes();
  for (int i = 0; i < attr_count_; ++i) {
    if (std::wcscmp(owner_->text_.get() + attrs_[i].name, name) == 0) return owner_->text_.get() + attrs_[i].value;
  }
  return nullptr;
}

}  // namespace DuiLib
