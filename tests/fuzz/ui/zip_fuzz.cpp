// ZIP reader: any bytes open or fail; every entry of an archive that opens reads or fails with
// an error, and a read entry has exactly its recorded size.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ui/core/ZipArchive.h"

using namespace DuiLib;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CZipArchive zip;
  if (!zip.OpenMemory(data, size)) return 0;
  std::vector<uint8_t> out;
  for (size_t i = 0; i < zip.GetEntryCount(); ++i) {
    const ZipError rc = zip.ReadEntry(i, out, 0x100000);
    if (rc == ZipError::kOk && out.size() != zip.GetEntry(i).size) __builtin_trap();
    if (rc != ZipError::kOk && !out.empty()) __builtin_trap();
  }
  zip.ReadEntry(L"MainWnd.xml", out, 0x400000);
  return 0;
}
