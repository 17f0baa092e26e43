// Text style flags of the text-drawing controls and the rules of their attributes. The flag
// values are those of GDI's DrawText, so the drawing layer passes them on unchanged.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace DuiLib {

enum TextStyleFlag : uint32_t {
  kTextLeft = 0x0,
  kTextCenter = 0x1,
  kTextRight = 0x2,
  kTextTop = 0x0,
  kTextVCenter = 0x4,
  kTextBottom = 0x8,
  kTextWordBreak = 0x10,
  kTextSingleLine = 0x20,
  kTextEndEllipsis = 0x8000,
};

enum class TextControlKind { kLabel, kButton, kCheckBox, kProgress, kEdit };

// The style a control starts with: labels (and edits) vertically centred; buttons and check
// boxes single-line, vertically centred and centred; progress bars single-line and centred.
uint32_t InitialTextStyle(TextControlKind kind);

// `align`: the value is searched for "left", "center", "right", each applied when present, in
// that order. left clears centred, right and single-line; center clears right, sets centred;
// right clears centred and single-line, sets right.
uint32_t ApplyAlignAttribute(uint32_t style, const wchar_t* value);
// `valign`: "top", "vcenter", "bottom" the same way. top clears vcenter and bottom and sets
// single-line; vcenter clears bottom, sets vcenter and single-line; bottom clears vcenter, sets
// bottom and single-line.
uint32_t ApplyVAlignAttribute(uint32_t style, const wchar_t* value);
uint32_t ApplyEndEllipsis(uint32_t style, bool on);
// A button's `multiline` "true" clears single-line and turns on word wrapping.
uint32_t ApplyMultiline(uint32_t style, bool on);

// The flags text is drawn with: labels, edits and progress bars always draw one line whatever
// their flags say; buttons and check boxes follow their flags.
uint32_t DrawTextStyle(TextControlKind kind, uint32_t style);

// Formatted text: tags are a lower-case letter in braces or angle brackets ("{u}", "<u>"),
// closed by the same with a slash ("{/u}"). Only underline is drawn; other tags are dropped
// from the text. A brace or bracket that does not form a tag stays as text.
struct TextRun {
  std::wstring text;
  bool underline = false;
};
std::vector<TextRun> ParseFormattedText(const wchar_t* text);

}  // namespace DuiLib
