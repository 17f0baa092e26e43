// UTF-8 to UTF-16 for skin markup. Platform-free so that the parser reads the same code units
// on the host (where wchar_t is wider) as on Windows: characters outside the BMP become
// surrogate pairs in both builds; malformed sequences become U+FFFD.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace DuiLib {

// Skips a leading byte-order mark (EF BB BF) and converts the rest.
std::wstring Utf8ToUtf16(const uint8_t* bytes, size_t size);
// The same conversion into a caller's buffer, which must have room for `size` code units (never
// more units than bytes come out). Returns the number written; nothing is terminated. Lets the
// markup parser convert straight into its own buffer without clearing it first.
size_t Utf8ToUtf16(const uint8_t* bytes, size_t size, wchar_t* out);
// The reverse, for file names handed to the host's narrow file functions and for ZIP entry
// names.
std::string Utf16ToUtf8(const std::wstring& text);

}  // namespace DuiLib
