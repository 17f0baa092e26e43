// A RunView that writes every request down as one line, for tests of the runs' order:
//   text checkTip=...   attr checkTip.textcolor=#FF666666   show cancelRepairbtn=0
//   progress check_progress=33   rows installing   check cancelled   repair cancelled
//   post 1325
// Texts are kept as UTF-8 so a failing assertion prints readable Chinese.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "engine/RunView.h"

class RecordingRunView : public RunView {
 public:
  void SetText(const std::wstring& control, const std::wstring& text) override {
    Add("text " + Utf8(control) + "=" + Utf8(text));
  }
  void SetAttribute(const std::wstring& control, const std::wstring& name, const std::wstring& value) override {
    Add("attr " + Utf8(control) + "." + Utf8(name) + "=" + Utf8(value));
  }
  void SetVisible(const std::wstring& control, bool visible) override {
    Add("show " + Utf8(control) + (visible ? "=1" : "=0"));
  }
  void SetProgress(const std::wstring& control, int value) override {
    Add("progress " + Utf8(control) + "=" + std::to_string(value));
  }
  void ShowInstallingRows() override { Add("rows installing"); }
  void ShowCheckCancelled() override { Add("check cancelled"); }
  void ShowRepairCancelled() override { Add("repair cancelled"); }
  void Post(unsigned message) override { Add("post " + std::to_string(message)); }

  std::vector<std::string> Lines() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
  }
  void Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.clear();
  }

  static std::string Utf8(const std::wstring& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
      unsigned long c = static_cast<unsigned long>(text[i]);
      // wchar_t is UTF-16 on Windows: join surrogate pairs.
      if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
        c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<unsigned long>(text[++i]) - 0xDC00);
      }
      if (c < 0x80) {
        out += static_cast<char>(c);
      } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
      } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
      } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
      }
    }
    return out;
  }

 private:
  void Add(std::string line) {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.push_back(std::move(line));
  }

  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
};
