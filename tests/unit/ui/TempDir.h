// A fresh folder under the temporary directory for one test, removed when the test ends.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

namespace ui_test {

class TempDir {
 public:
  explicit TempDir(const char* tag) {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = std::filesystem::temp_directory_path() / (std::string(tag) + "_" + std::to_string(stamp));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  void Write(const char* name, const std::string& bytes) const {
    std::ofstream(path_ / name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

 private:
  std::filesystem::path path_;
};

}  // namespace ui_test
