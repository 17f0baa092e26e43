#include "ui/core/SkinSource.h"

#include <cstdio>
#include <memory>
#include <mutex>

#include "ui/core/Utf8.h"
#include "ui/core/ZipArchive.h"

namespace DuiLib {

namespace {

struct SkinSourceState {
  std::mutex lock;
  std::wstring root;
  std::wstring package_name;
  bool package_requested = false;  // reads go to the package, open or not
  bool cached = false;             // the package of package_name is open
  CZipArchive zip;
};

SkinSourceState& State() {
  static SkinSourceState state;
  return state;
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using ScopedFile = std::unique_ptr<std::FILE, FileCloser>;

ScopedFile OpenForReading(const std::wstring& path) {
#ifdef _WIN32
  return ScopedFile(_wfopen(path.c_str(), L"rb"));
#else
  // The host build reads test fixtures: skin paths use '\' as Windows does.
  std::string narrow = Utf16ToUtf8(path);
  for (char& c : narrow) {
    if (c == '\\') c = '/';
  }
  return ScopedFile(std::fopen(narrow.c_str(), "rb"));
#endif
}

}  // namespace

void SetSkinRootPath(const std::wstring& path) {
  SkinSourceState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  s.root = path;
  if (!s.root.empty() && s.root.back() != L'\\' && s.root.back() != L'/') s.root += L'\\';
}

std::wstring GetSkinRootPath() {
  SkinSourceState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  return s.root;
}

bool OpenSkinPackageFile(const std::wstring& name) {
  SkinSourceState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  if (s.package_requested && s.cached && s.package_name == name) return true;
  s.zip.Close();
  s.package_requested = true;
  s.package_name = name;
  s.cached = s.zip.OpenFile(s.root + name);
  return s.cached;
}

bool OpenSkinPackageMemory(const uint8_t* data, size_t size) {
  SkinSourceState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  // The first memory package stays in use: module resources never change under us.
  if (s.package_requested && s.cached && s.package_name == kMemoryPackageName) return true;
  s.zip.Close();
  s.package_requested = true;
  s.package_name = kMemoryPackageName;
  s.cached = s.zip.OpenMemory(data, size);
  return s.cached;
}

void CloseSkinPackage() {
  SkinSourceState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  s.zip.Close();
  s.package_requested = false;
  s.cached = false;
  s.package_name.clear();
}

std::wstring GetSkinPackageName() {
  SkinSourceState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  return s.package_name;
}

bool IsSkinPackageOpen() {
  SkinSourceState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  return s.package_requested && s.zip.IsOpen();
}

bool ReadWholeFile(const std::wstring& path, std::vector<uint8_t>& out, std::wstring& error,
                   size_t limit) {
  out.clear();
  ScopedFile file = OpenForReading(path);
  if (!file) {
    error = L"Error opening file";
    return false;
  }
  // Read at most limit + 1 bytes: one more than allowed is enough to know it is too large.
  std::vector<uint8_t> bytes;
  uint8_t chunk[65536];
  for (;;) {
    size_t want = sizeof(chunk);
    if (bytes.size() + want > limit + 1) want = limit + 1 - bytes.size();
    size_t got = std::fread(chunk, 1, want, file.get());
    bytes.insert(bytes.end(), chunk, chunk + got);
    if (got < want || bytes.size() > limit) break;
  }
  if (std::ferror(file.get())) {
    error = L"Could not read file";
    return false;
  }
  if (bytes.empty()) {
    error = L"File is empty";
    return false;
  }
  if (bytes.size() > limit) {
    error = L"File too large";
    return false;
  }
  out = std::move(bytes);
  return true;
}

bool ReadSkinFile(const std::wstring& name, std::vector<uint8_t>& out, std::wstring& error,
                  size_t limit) {
  SkinSourceState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  if (s.package_requested) {
    ZipError rc = s.zip.ReadEntry(name, out, limit);
    if (rc == ZipError::kOk) return true;
    error = ZipErrorText(rc);
    return false;
  }
  return ReadWholeFile(s.root + name, out, error, limit);
}

bool ReadSkinImageFile(const std::wstring& name, std::vector<uint8_t>& out) {
  SkinSourceState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  std::wstring error;
  if (s.package_requested && s.zip.ReadEntry(name, out, kMaxImageFileBytes) == ZipError::kOk)
    return true;
  if (ReadWholeFile(s.root + name, out, error, kMaxImageFileBytes)) return true;
  return ReadWholeFile(name, out, error, kMaxImageFileBytes);
}

}  // namespace DuiLib
