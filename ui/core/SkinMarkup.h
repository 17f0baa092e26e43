// CSkinMarkup: the parser of skin layout markup, an XML subset read in place.
//
// The markup text (UTF-8, optional BOM) is converted to UTF-16 once and parsed in that buffer:
// names and values are terminated and entity references replaced where they stand, so every
// text the nodes hand out is a pointer into the document, valid while the document lives and
// is not reloaded. Each element records only its name, parent, first child, next sibling and
// where its content starts; attributes are rescanned from the element's text when first asked
// for, and at most kMaxAttributes of one element are seen.
//
// Accepted subset: blanks (code <= 32) between elements; "<!" comments ending at the first
// "->"; "<?" declarations ending at "?>"; names of letters, digits, '_' and ':' (case
// sensitive); attribute values in double quotes only (no blank needed after a closing quote);
// &amp; &lt; &gt; &quot; &apos; (any other '&' stays); "/>" closes an empty element; a closing
// tag must repeat the opening name and be followed directly by '>'.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace DuiLib {

class CSkinMarkup;

// A light handle to one element of a document. Cheap to copy before attributes are asked for;
// the first attribute query scans the element's text once and keeps the result in the handle.
class CMarkupNode {
 public:
  static constexpr int kMaxAttributes = 64;

  // Copies carry only the attributes already scanned: a node is copied at every step of a walk,
  // and copying the whole table (or clearing it in the default constructor) would cost more
  // than the walk itself.
  CMarkupNode() {}
  CMarkupNode(const CMarkupNode& other) { *this = other; }
  CMarkupNode& operator=(const CMarkupNode& other) {
    if (this != &other) {
      owner_ = other.owner_;
      element_ = other.element_;
      attr_count_ = other.attr_count_;
      for (int i = 0; i < attr_count_; ++i) attrs_[i] = other.attrs_[i];
    }
    return *this;
  }

  bool IsValid() const { return owner_ != nullptr; }
  CMarkupNode GetParent() const;
  CMarkupNode GetSibling() const;                   // next sibling in document order
  CMarkupNode GetChild() const;                     // first child
  CMarkupNode GetChild(const wchar_t* name) const;  // first child with that element name
  bool HasSiblings() const;
  bool HasChildren() const;

  const wchar_t* GetName() const;   // element name; "" for an invalid node
  const wchar_t* GetValue() const;  // first run of content text, entities replaced; may be ""

  bool HasAttributes() const;
  int GetAttributeCount() const;                      // at most kMaxAttributes
  const wchar_t* GetAttributeName(int index) const;   // "" when out of range
  const wchar_t* GetAttributeValue(int index) const;  // "" when out of range
  // The value of the first attribute of that name among the ones seen, or nullptr.
  const wchar_t* GetAttributeValue(const wchar_t* name) const;
  bool HasAttribute(const wchar_t* name) const { return GetAttributeValue(name) != nullptr; }

 private:
  friend class CSkinMarkup;
  CMarkupNode(const CSkinMarkup* owner, uint32_t element) : owner_(owner), element_(element) {}
  void ScanAttributes() const;

  struct AttrPos {
    uint32_t name;
    uint32_t value;
  };
  const CSkinMarkup* owner_ = nullptr;
  uint32_t element_ = 0;
  mutable int attr_count_ = -1;            // -1: not scanned yet
  mutable AttrPos attrs_[kMaxAttributes];  // the first attr_count_ entries are set
};

class CSkinMarkup {
 public:
  // The limit of a markup file or package entry (0x400000 bytes).
  static constexpr size_t kMaxMarkupBytes = 0x400000;

  CSkinMarkup() = default;
  CSkinMarkup(const CSkinMarkup&) = delete;
  CSkinMarkup& operator=(const CSkinMarkup&) = delete;

  // Parses markup text given as UTF-16 (for markup written directly in code). False on a parse
  // error, whose text GetLastErrorText() then holds.
  bool Load(const wchar_t* text);
  // Parses UTF-8 markup bytes (a leading BOM is skipped). No size limit is applied here.
  bool LoadFromMem(const uint8_t* bytes, size_t size);
  // Reads the named markup through the skin source (open package, else the skin root folder;
  // see SkinSource.h) and parses it. Read errors are reported like parse errors.
  bool LoadFromFile(const wchar_t* name);
  void Release();

  bool IsValid() const { return !elements_.empty(); }
  CMarkupNode GetRoot() const;  // the first top-level element; invalid when not loaded

  // The reason of the last failure, one of: "Expected start tag", "Error parsing element
  // name", "Expected start-tag closing", "Expected end-tag start", "Unmatched closing tag",
  // "Error while parsing attributes", "Expected attribute value", "Error while parsing
  // attribute string", or a read error of the skin source. Empty after a success.
  const std::wstring& GetLastErrorText() const { return error_; }

 private:
  friend class CMarkupNode;
  struct Element {
    uint32_t name;        // offset of the NUL-terminated name
    uint32_t parent;      // kNone for top-level elements
    uint32_t child;       // first child or kNone
    uint32_t next;        // next sibling or kNone
    uint32_t data;        // offset of the NUL-terminated first content text
    uint32_t attr_begin;  // attribute text lies in [attr_begin, attr_end)
    uint32_t attr_end;
  };
  static constexpr uint32_t kNone = 0xFFFFFFFFu;

  bool Parse();
  bool Fail(const wchar_t* text);
  // Parses the start tag whose name begins at `pos`; leaves `pos` after the tag. Sets `open`
  // when the element has content.
  bool ParseStartTag(size_t& pos, uint32_t parent, bool& open);
  // Replaces entity references in [begin, end) in place, returns the new end.
  size_t DecodeInPlace(size_t begin, size_t end);
  // `pos` is at the '!' or '?' after '<'; returns the position after the comment's end.
  size_t SkipComment(size_t pos) const;
  // Makes room for a document of `length` code units plus its terminating NUL; the units are
  // left for the caller to write (no clearing: the conversion overwrites them all anyway).
  wchar_t* AllocText(size_t length);

  std::unique_ptr<wchar_t[]> text_;  // the document, NUL-terminated, rewritten in place
  size_t text_capacity_ = 0;         // code units allocated for it, besides the NUL
  std::vector<Element> elements_;
  std::wstring error_;
};

}  // namespace DuiLib
