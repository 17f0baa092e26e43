#include "ui/core/ZipArchive.h"

#include <zlib.h>

#include <cstring>

#include "ui/core/SkinSource.h"
#include "ui/core/Utf8.h"

namespace DuiLib {

namespace {

constexpr uint32_t kLocalHeaderSig = 0x04034b50;
constexpr uint32_t kCentralHeaderSig = 0x02014b50;
constexpr uint32_t kEndOfDirSig = 0x06054b50;
constexpr size_t kLocalHeaderSize = 30;
constexpr size_t kCentralHeaderSize = 46;
constexpr size_t kEndOfDirSize = 22;
constexpr size_t kMaxNameChars = 256;

uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Read32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

struct ErrorText {
  ZipError error;
  const wchar_t* text;
};
constexpr ErrorText kErrorTexts[] = {
    {ZipError::kOk, L""},
    {ZipError::kOpenFailed, L"Error opening zip file"},
    {ZipError::kNotFound, L"Could not find ziped file"},
    {ZipError::kEmpty, L"File is empty"},
    {ZipError::kTooLarge, L"File too large"},
    {ZipError::kUnzipFailed, L"Could not unzip file"},
};

// Inflates raw deflate data into exactly `out.size()` bytes.
bool Inflate(const uint8_t* in, size_t in_size, std::vector<uint8_t>& out) {
  z_stream z{};
  if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return false;
  z.next_in = const_cast<Bytef*>(in);
  z.avail_in = static_cast<uInt>(in_size);
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  int rc = inflate(&z, Z_FINISH);
  bool ok = rc == Z_STREAM_END && z.total_out == out.size();
  inflateEnd(&z);
  return ok;
}

}  // namespace

const wchar_t* ZipErrorText(ZipError error) {
  for (const ErrorText& e : kErrorTexts) {
    if (e.error == error) return e.text;
  }
  return L"";
}

std::string CZipArchive::FoldName(const std::string& name) {
  std::string folded(name);
  for (char& c : folded) {
    if (c == '\\') c = '/';
    else if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return folded;
}

bool CZipArchive::OpenMemory(const uint8_t* data, size_t size) {
  Close();
  return Attach(data, size);
}

bool CZipArchive::OpenFile(const std::wstring& path) {
  Close();
  std::vector<uint8_t> bytes;
  std::wstring error;
  // A package larger than this is no skin package.
  constexpr size_t kMaxPackageBytes = 0x10000000;
  if (!ReadWholeFile(path, bytes, error, kMaxPackageBytes)) return false;
  owned_ = std::move(bytes);
  if (!Attach(owned_.data(), owned_.size())) {
    Close();
    return false;
  }
  return true;
}

bool CZipArchive::Attach(const uint8_t* data, size_t size) {
  if (data == nullptr || size < kEndOfDirSize) return false;
  data_ = data;
  size_ = size;
  if (!ParseDirectory()) {
    data_ = nullptr;
    size_ = 0;
    entries_.clear();
    return false;
  }
  return true;
}

void CZipArchive::Close() {
  data_ = nullptr;
  size_ = 0;
  entries_.clear();
  std::vector<uint8_t>().swap(owned_);
}

bool CZipArchive::ParseDirectory() {
  // The end-of-directory record is the last 22 bytes plus a comment of up to 65535 bytes.
  size_t eocd = size_ - kEndOfDirSize;
  const size_t lowest = size_ > kEndOfDirSize + 0xFFFF ? size_ - kEndOfDirSize - 0xFFFF : 0;
  for (;;) {
    if (Read32(data_ + eocd) == kEndOfDirSig) break;
    if (eocd == lowest) return false;
    --eocd;
  }
  const uint16_t count = Read16(data_ + eocd + 10);
  const uint32_t dir_size = Read32(data_ + eocd + 12);
  const uint32_t dir_offset = Read32(data_ + eocd + 16);
  if (dir_offset > eocd || dir_size > eocd - dir_offset) return false;

  size_t p = dir_offset;
  const size_t dir_end = static_cast<size_t>(dir_offset) + dir_size;
  entries_.reserve(count);
  for (uint16_t i = 0; i < count; ++i) {
    if (dir_end - p < kCentralHeaderSize || Read32(data_ + p) != kCentralHeaderSig) return false;
    const uint8_t* h = data_ + p;
    const size_t name_len = Read16(h + 28);
    const size_t extra_len = Read16(h + 30);
    const size_t comment_len = Read16(h + 32);
    const size_t record = kCentralHeaderSize + name_len + extra_len + comment_len;
    if (dir_end - p < record) return false;
    Entry e;
    e.method = Read16(h + 10);
    e.crc = Read32(h + 16);
    e.compressed_size = Read32(h + 20);
    e.size = Read32(h + 24);
    e.local_offset = Read32(h + 42);
    e.folded_name = FoldName(std::string(reinterpret_cast<const char*>(h + kCentralHeaderSize), name_len));
    entries_.push_back(std::move(e));
    p += record;
  }
  return true;
}

int CZipArchive::FindEntry(const std::wstring& name) const {
  if (name.size() >= kMaxNameChars) return -1;
  const std::string wanted = FoldName(Utf16ToUtf8(name));
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].folded_name == wanted) return static_cast<int>(i);
  }
  return -1;
}

ZipError CZipArchive::ReadEntry(const std::wstring& name, std::vector<uint8_t>& out,
                                size_t limit) const {
  if (!IsOpen()) return ZipError::kOpenFailed;
  int index = FindEntry(name);
  if (index < 0) return ZipError::kNotFound;
  return ReadEntry(static_cast<size_t>(index), out, limit);
}

ZipError CZipArchive::ReadEntry(size_t index, std::vector<uint8_t>& out, size_t limit) const {
  out.clear();
  if (!IsOpen()) return ZipError::kOpenFailed;
  if (index >= entries_.size()) return ZipError::kNotFound;
  const Entry& e = entries_[index];
  if (e.size == 0) return ZipError::kEmpty;
  if (e.size > limit) return ZipError::kTooLarge;

  // The data follows the local header, whose name and extra lengths may differ from the
  // central directory's.
  if (e.local_offset > size_ || size_ - e.local_offset < kLocalHeaderSize) return ZipError::kUnzipFailed;
  const uint8_t* local = data_ + e.local_offset;
  if (Read32(local) != kLocalHeaderSig) return ZipError::kUnzipFailed;
  const size_t data_offset = e.local_offset + kLocalHeaderSize + Read16(local + 26) + Read16(local + 28);
  if (data_offset > size_ || size_ - data_offset < e.compressed_size) return ZipError::kUnzipFailed;
  const uint8_t* packed = data_ + data_offset;

  std::vector<uint8_t> bytes(e.size);
  if (e.method == 0) {
    if (e.compressed_size != e.size) return ZipError::kUnzipFailed;
    std::memcpy(bytes.data(), packed, e.size);
  } else if (e.method == 8) {
    if (!Inflate(packed, e.compressed_size, bytes)) return ZipError::kUnzipFailed;
  } else {
    return ZipError::kUnzipFailed;
  }
  if (crc32(0L, bytes.data(), static_cast<uInt>(bytes.size())) != e.crc) return ZipError::kUnzipFailed;
  out = std::move(bytes);
  return ZipError::kOk;
}

}  // namespace DuiLib
