// A reader of the skin package: a standard ZIP archive (local headers plus central directory)
// whose entries are stored (method 0) or deflated (method 8, through zlib). Every offset and
// size read from the archive is checked against the archive's bytes, and inflated data is
// checked against the recorded size and CRC, so a damaged package gives an error, never a read
// outside the buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace DuiLib {

enum class ZipError {
  kOk,
  kOpenFailed,  // "Error opening zip file"
  kNotFound,    // "Could not find ziped file"
  kEmpty,       // "File is empty"
  kTooLarge,    // "File too large"
  kUnzipFailed  // "Could not unzip file"
};
const wchar_t* ZipErrorText(ZipError error);

class CZipArchive {
 public:
  struct Entry {
    std::string folded_name;  // '\' -> '/', ASCII upper-cased
    uint16_t method = 0;
    uint32_t crc = 0;
    uint32_t compressed_size = 0;
    uint32_t size = 0;
    uint32_t local_offset = 0;
  };

  CZipArchive() = default;
  CZipArchive(const CZipArchive&) = delete;
  CZipArchive& operator=(const CZipArchive&) = delete;

  // Opens an archive held in memory; the block must outlive the archive (module resources do).
  bool OpenMemory(const uint8_t* data, size_t size);
  // Reads the archive file whole into memory and opens it from there.
  bool OpenFile(const std::wstring& path);
  void Close();
  bool IsOpen() const { return data_ != nullptr; }

  // Index of the entry of that name (linear scan of the central directory, names folded), or
  // -1. Names of 256 characters or more are never found.
  int FindEntry(const std::wstring& name) const;
  size_t GetEntryCount() const { return entries_.size(); }
  const Entry& GetEntry(size_t index) const { return entries_[index]; }

  // Reads the named entry whole. `limit` is the largest size accepted ("File too large").
  ZipError ReadEntry(const std::wstring& name, std::vector<uint8_t>& out, size_t limit) const;
  ZipError ReadEntry(size_t index, std::vector<uint8_t>& out, size_t limit) const;

  // Name folding used for lookups: '\' becomes '/', ASCII letters are upper-cased.
  static std::string FoldName(const std::string& utf8_name);

 private:
  bool Attach(const uint8_t* data, size_t size);
  bool ParseDirectory();

  std::vector<uint8_t> owned_;  // the file's bytes when opened from a file
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  std::vector<Entry> entries_;
};

}  // namespace DuiLib
