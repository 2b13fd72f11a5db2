// A memory device context with a bitmap of known pixels, for drawing tests.
#pragma once

#include <string>
#include <vector>

#include "platform/gdi_objects.h"

// Pixels are 0x00RRGGBB, rows top first.
inline HBITMAP MakeBitmap(int width, int height, const std::vector<uint32_t>& pixels) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  return CreateDIBitmap(nullptr, &info.bmiHeader, CBM_INIT, pixels.data(), &info, DIB_RGB_COLORS);
}

struct Canvas {
  Canvas(int width, int height, uint32_t fill = 0)
      : Canvas(width, height, std::vector<uint32_t>(size_t(width) * height, fill)) {}
  Canvas(int width, int height, const std::vector<uint32_t>& pixels)
      : dc(CreateCompatibleDC(nullptr)), bitmap(MakeBitmap(width, height, pixels)) {
    original = SelectObject(dc, bitmap);
  }
  ~Canvas() {
    SelectObject(dc, original);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  uint32_t At(int x, int y) const {
    std::lock_guard lock(GdiMutex());
    return LockedTargetOf(dc)->Row(y)[x];
  }
  std::vector<uint32_t> Pixels() const {
    std::lock_guard lock(GdiMutex());
    return LockedTargetOf(dc)->pixels;
  }

  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ original;
};
