// Small owners for the GDI objects the drawing functions make for one call. Kept here rather
// than borrowed from core/: the framework depends on nothing else of ours.
#pragma once

#include <windows.h>

namespace DuiLib {

class GdiSelect {
 public:
  GdiSelect(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? ::SelectObject(dc, obj) : nullptr) {}
  ~GdiSelect() {
    if (old_) ::SelectObject(dc_, old_);
  }
  GdiSelect(const GdiSelect&) = delete;
  GdiSelect& operator=(const GdiSelect&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

class GdiObject {
 public:
  explicit GdiObject(HGDIOBJ obj = nullptr) : obj_(obj) {}
  ~GdiObject() {
    if (obj_) ::DeleteObject(obj_);
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  HGDIOBJ get() const { return obj_; }

 private:
  HGDIOBJ obj_;
};

class MemoryDC {
 public:
  explicit MemoryDC(HDC like) : dc_(::CreateCompatibleDC(like)) {}
  ~MemoryDC() {
    if (dc_) ::DeleteDC(dc_);
  }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// Saves the DC state (clip region included) and restores it when it ends.
class SavedDC {
 public:
  explicit SavedDC(HDC dc) : dc_(dc), id_(::SaveDC(dc)) {}
  ~SavedDC() {
    if (id_) ::RestoreDC(dc_, id_);
  }
  SavedDC(const SavedDC&) = delete;
  SavedDC& operator=(const SavedDC&) = delete;

 private:
  HDC dc_;
  int id_;
};

inline COLORREF ToColorRef(uint32_t argb) {
  return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

}  // namespace DuiLib
