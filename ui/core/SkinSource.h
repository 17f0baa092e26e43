// Where skins come from: the process-wide skin root folder and the open skin package, shared by
// every window of a process (CSkinManager's skin-root operations forward here). Reading a
// module resource is Win32 and lives in ui/render/SkinModule.h.
//
// Package state: a name, the archive and a "cached" flag. Opening a package file does nothing
// when the same name is already open and cached; otherwise the old archive is closed and
// root + name is opened and kept. Opening from memory names the package "membuffer"; while a
// memory package is open and cached, later memory opens do nothing (the first one stays in
// use). A package that fails to open leaves the package state in place with no archive: every
// markup read then fails with "Error opening zip file" until another package is opened or
// CloseSkinPackage() returns to folder reading. All functions are safe to call from any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace DuiLib {

enum class SkinSourceType { File = 1, ZipFile = 2, XmlResource = 3, ZipResource = 4 };

inline constexpr const wchar_t* kMemoryPackageName = L"membuffer";
// Markup files and markup entries must not be larger than this.
inline constexpr size_t kMaxMarkupFileBytes = 0x400000;
// Images have no size rule of their own; this bound only keeps a damaged size field from
// asking for gigabytes.
inline constexpr size_t kMaxImageFileBytes = 0x4000000;

// Stores the text; a non-empty text not ending in '\' or '/' gets a '\' appended.
void SetSkinRootPath(const std::wstring& path);
std::wstring GetSkinRootPath();

// Returns whether the package is open afterwards.
bool OpenSkinPackageFile(const std::wstring& name);
bool OpenSkinPackageMemory(const uint8_t* data, size_t size);
// Closes any package and returns to reading from the skin root folder.
void CloseSkinPackage();
std::wstring GetSkinPackageName();  // "" when no package was asked for
bool IsSkinPackageOpen();           // a package was asked for and its archive is open

// Reads a markup file: from the package when one was asked for (errors "Error opening zip
// file", "Could not find ziped file", "File is empty", "File too large", "Could not unzip
// file"), otherwise root + name (errors "Error opening file", "File is empty", "File too
// large", "Could not read file"). On failure `error` holds the text.
bool ReadSkinFile(const std::wstring& name, std::vector<uint8_t>& out, std::wstring& error,
                  size_t limit = kMaxMarkupFileBytes);
// Reads an image or GIF file: the package, then root + name, then the name itself as a path
// (absolute or relative to the current directory).
bool ReadSkinImageFile(const std::wstring& name, std::vector<uint8_t>& out);

// Reads a whole file; errors as for the folder case of ReadSkinFile.
bool ReadWholeFile(const std::wstring& path, std::vector<uint8_t>& out, std::wstring& error,
                   size_t limit);

}  // namespace DuiLib
