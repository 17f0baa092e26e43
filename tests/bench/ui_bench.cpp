// Parsing the main window's layout from memory: our markup parser against pugixml on the same
// bytes, and loading the whole skin package (inflate every entry, decode every image).
#include <benchmark/benchmark.h>

#include <cstring>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "ui/core/ImageDecode.h"
#include "ui/core/SkinMarkup.h"
#include "ui/core/Utf8.h"
#include "ui/core/ZipArchive.h"

using namespace DuiLib;
namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

const std::string& MainWnd() {
  static const std::string bytes = ReadFile(fs::path(QV_SKIN_DIR) / "layouts" / "MainWnd.xml");
  return bytes;
}

// The skin package as the build packs it (the 37 entries the program embeds).
const std::string& Package() {
  static const std::string zip = ReadFile(QV_SKIN_ZIP_PATH);
  return zip;
}

size_t WalkOurs(const CMarkupNode& first) {
  size_t n = 0;
  for (CMarkupNode node = first; node.IsValid(); node = node.GetSibling()) {
    for (int i = 0; i < node.GetAttributeCount(); ++i)
      n += std::wcslen(node.GetAttributeName(i)) + std::wcslen(node.GetAttributeValue(i));
    n += WalkOurs(node.GetChild());
  }
  return n;
}

size_t WalkPugi(const pugi::xml_node& parent) {
  size_t n = 0;
  for (pugi::xml_node node : parent.children()) {
    if (node.type() != pugi::node_element) continue;
    for (pugi::xml_attribute a : node.attributes()) n += std::strlen(a.name()) + std::strlen(a.value());
    n += WalkPugi(node);
  }
  return n;
}

void BM_OursParse(benchmark::State& state) {
  const std::string& xml = MainWnd();
  for (auto _ : state) {
    CSkinMarkup doc;
    benchmark::DoNotOptimize(doc.LoadFromMem(reinterpret_cast<const uint8_t*>(xml.data()), xml.size()));
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(xml.size()));
}

// The part of our parse that pugixml does not do: widening UTF-8 to the parser's UTF-16.
void BM_OursWidenOnly(benchmark::State& state) {
  const std::string& xml = MainWnd();
  for (auto _ : state) benchmark::DoNotOptimize(Utf8ToUtf16(reinterpret_cast<const uint8_t*>(xml.data()), xml.size()));
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(xml.size()));
}

void BM_PugiParse(benchmark::State& state) {
  const std::string& xml = MainWnd();
  for (auto _ : state) {
    pugi::xml_document doc;
    benchmark::DoNotOptimize(doc.load_buffer(xml.data(), xml.size()));
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(xml.size()));
}

void BM_OursParseAndReadAttributes(benchmark::State& state) {
  const std::string& xml = MainWnd();
  for (auto _ : state) {
    CSkinMarkup doc;
    doc.LoadFromMem(reinterpret_cast<const uint8_t*>(xml.data()), xml.size());
    benchmark::DoNotOptimize(WalkOurs(doc.GetRoot()));
  }
}

void BM_PugiParseAndReadAttributes(benchmark::State& state) {
  const std::string& xml = MainWnd();
  for (auto _ : state) {
    pugi::xml_document doc;
    doc.load_buffer(xml.data(), xml.size());
    benchmark::DoNotOptimize(WalkPugi(doc));
  }
}

void BM_LoadWholePackage(benchmark::State& state) {
  const std::string& zip = Package();
  size_t images = 0, entries = 0;
  for (auto _ : state) {
    CZipArchive archive;
    archive.OpenMemory(reinterpret_cast<const uint8_t*>(zip.data()), zip.size());
    std::vector<uint8_t> bytes;
    entries = archive.GetEntryCount();
    images = 0;
    for (size_t i = 0; i < archive.GetEntryCount(); ++i) {
      if (archive.ReadEntry(i, bytes, 0x4000000) != ZipError::kOk) continue;
      DecodedImage image;
      if (DecodeImage(bytes.data(), bytes.size(), 0, image)) ++images;
    }
  }
  state.counters["entries"] = double(entries);
  state.counters["images"] = double(images);
}

}  // namespace

BENCHMARK(BM_OursParse);
BENCHMARK(BM_OursWidenOnly);
BENCHMARK(BM_PugiParse);
BENCHMARK(BM_OursParseAndReadAttributes);
BENCHMARK(BM_PugiParseAndReadAttributes);
BENCHMARK(BM_LoadWholePackage)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
