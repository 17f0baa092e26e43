// Text helpers shared by every module: conversion through the ANSI code page, printf-style
// formatting, trimming, replacing, hex and version comparison.
//
// Everything except WideToAnsi/AnsiToWide is platform-free and also builds on the Linux host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>


// Conversion through the system's ANSI code page (CP_ACP, 936 on the target machines).
// Windows only. The result ends before the first NUL of the converted text.
std::string WideToAnsi(const std::wstring& wide);
std::wstring AnsiToWide(const std::string& narrow);

// printf-style formatting into a string of exactly the formatted length; never cut.
// Wide formats follow the Windows convention: %s is a wide string in FormatStringW.
std::wstring FormatStringW(const wchar_t* format, ...);
std::string FormatStringA(const char* format, ...);

// Only U+0020 and U+0009 count as blanks; line breaks are kept.
std::wstring TrimLeftW(const std::wstring& text);
std::wstring TrimRightW(const std::wstring& text);
std::wstring TrimW(const std::wstring& text);
// Byte-wise: blank and tab are never the trail byte of a double-byte character in any
// Windows ANSI code page (trail bytes start at 0x40), so this equals trimming the wide form.
std::string TrimA(const std::string& text);

// Replaces every occurrence of `find` (non-empty) by `replacement`. The search continues after
// the inserted replacement, so a replacement that contains `find` cannot loop forever.
void ReplaceAllA(std::string& text, const std::string& find, const std::string& replacement);

// Two upper-case hex digits per byte, high half first; `out` holds 2*count+1 bytes and ends
// with a NUL.
void BytesToHex(const unsigned char* bytes, size_t count, char* out);
std::string BytesToHex(const unsigned char* bytes, size_t count);

// Seconds since 1970-01-01 UTC as decimal text, from the full 64-bit time.
std::wstring GetUnixTimeString();
std::wstring UnixTimeText(int64_t seconds);

// Compares dotted versions component by component (wide atoi rules, unsigned 32-bit compare).
// Returns false, leaving `result` untouched, when either text is empty. Otherwise `result` is
// 1 when `first` is lower, -1 when it is higher, 0 when the compared components are equal; the
// comparison ends when either side runs out, so 1.2 equals 1.2.5.
bool CompareVersion(std::wstring first, std::wstring second, wchar_t separator, int& result);

// The run-time library's wide atoi: leading blanks, optional sign, digits up to the first
// non-digit; no digits gives 0. Overflow wraps like the 32-bit C library value.
int32_t WideAtoi(const std::wstring& text);
// Narrow counterpart, used for settings values such as "HelperRepaired".
int32_t NarrowAtoi(const std::string& text);

