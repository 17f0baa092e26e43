// Writes small ZIP archives for tests: stored or deflated entries, local headers and central
// directory as a packer makes them.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ui_test {

struct ZipItem {
  std::string name;
  std::string data;
  bool deflate = false;
};

inline void Put16(std::string& out, uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
inline void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

inline std::string RawDeflate(const std::string& data) {
  z_stream z{};
  deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&z, data.size()) + 16, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(&out[0]);
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

inline std::string BuildZip(const std::vector<ZipItem>& items) {
  std::string out, dir;
  for (const ZipItem& it : items) {
    const uint32_t crc = crc32(0L, reinterpret_cast<const Bytef*>(it.data.data()),
                               static_cast<uInt>(it.data.size()));
    const std::string packed = it.deflate ? RawDeflate(it.data) : it.data;
    const uint32_t offset = static_cast<uint32_t>(out.size());
    const uint16_t method = it.deflate ? 8 : 0;
    Put32(out, 0x04034b50);
    Put16(out, 20); Put16(out, 0); Put16(out, method); Put16(out, 0); Put16(out, 0);
    Put32(out, crc); Put32(out, static_cast<uint32_t>(packed.size()));
    Put32(out, static_cast<uint32_t>(it.data.size()));
    Put16(out, static_cast<uint16_t>(it.name.size())); Put16(out, 0);
    out += it.name;
    out += packed;
    Put32(dir, 0x02014b50);
    Put16(dir, 20); Put16(dir, 20); Put16(dir, 0); Put16(dir, method); Put16(dir, 0); Put16(dir, 0);
    Put32(dir, crc); Put32(dir, static_cast<uint32_t>(packed.size()));
    Put32(dir, static_cast<uint32_t>(it.data.size()));
    Put16(dir, static_cast<uint16_t>(it.name.size())); Put16(dir, 0); Put16(dir, 0);
    Put16(dir, 0); Put16(dir, 0); Put32(dir, 0); Put32(dir, offset);
    dir += it.name;
  }
  const uint32_t dir_offset = static_cast<uint32_t>(out.size());
  out += dir;
  Put32(out, 0x06054b50);
  Put16(out, 0); Put16(out, 0);
  Put16(out, static_cast<uint16_t>(items.size())); Put16(out, static_cast<uint16_t>(items.size()));
  Put32(out, static_cast<uint32_t>(dir.size())); Put32(out, dir_offset);
  Put16(out, 0);
  return out;
}

}  // namespace ui_test
