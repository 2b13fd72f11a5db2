// Inside the layer: the objects behind drawing handles. Game code never includes this.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/gdi.h"

// 32-bit pixels 0x00RRGGBB, rows top to bottom. A window's client area and every
// bitmap are one of these.
struct Pixmap {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  uint64_t version = 0;  // raised by every drawing call, so a screen knows what changed

  Pixmap() = default;
  Pixmap(int w, int h) : width(w), height(h), pixels(size_t(w) * size_t(h), 0) {}
  // `p` holds exactly w * h pixels.
  Pixmap(int w, int h, std::vector<uint32_t> p) : width(w), height(h), pixels(std::move(p)) {}
  uint32_t* Row(int y) { return pixels.data() + size_t(y) * size_t(width); }
  const uint32_t* Row(int y) const { return pixels.data() + size_t(y) * size_t(width); }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

// Bitmaps larger than this are refused rather than allocated.
constexpr int kMaxBitmapSide = 16384;
constexpr int64_t kMaxBitmapPixels = int64_t(1) << 26;
bool BitmapSizeAllowed(int64_t width, int64_t height);

constexpr uint32_t PixelFromColor(COLORREF c) {
  return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}
constexpr COLORREF ColorFromPixel(uint32_t p) {
  return RGB(BYTE(p >> 16), BYTE(p >> 8), BYTE(p));
}

enum class GdiKind { Bitmap, Pen, Palette, DeviceContext };

struct GdiObject {
  explicit GdiObject(GdiKind k) : kind(k) {}
  virtual ~GdiObject() = default;
  GdiKind kind;
  bool stock = false;   // a default of fresh device contexts: never deleted
  int selections = 0;   // device contexts that hold it now
};

struct Bitmap : GdiObject {
  explicit Bitmap(Pixmap p) : GdiObject(GdiKind::Bitmap), pixmap(std::move(p)) {}
  Pixmap pixmap;
};

struct Pen : GdiObject {
  Pen(int w, uint32_t p) : GdiObject(GdiKind::Pen), width(w), pixel(p) {}
  int width;
  uint32_t pixel;
};

struct Palette : GdiObject {
  explicit Palette(std::vector<PALETTEENTRY> e) : GdiObject(GdiKind::Palette), entries(std::move(e)) {}
  std::vector<PALETTEENTRY> entries;
};

struct DeviceContext : GdiObject {
  DeviceContext() : GdiObject(GdiKind::DeviceContext) {}
  Pixmap* surface = nullptr;  // a window's client area, for a window's context
  Bitmap* bitmap = nullptr;   // the selected bitmap, for a memory context
  Pen* pen = nullptr;
  COLORREF textColor = RGB(0, 0, 0);
  COLORREF bkColor = RGB(255, 255, 255);
  int bkMode = OPAQUE;
  POINT position = {0, 0};

  Pixmap& Target() { return surface ? *surface : bitmap->pixmap; }
};

// Every drawing call holds this lock while it touches objects and pixels.
std::mutex& GdiMutex();

// Under GdiMutex: the live object behind a handle, or null for a stale or foreign one.
DeviceContext* LookupDc(HDC hdc);

// Under GdiMutex: the live bitmap behind a handle, or null.
Bitmap* LookupBitmap(HBITMAP bitmap);

// A device context that draws into `surface` (a window's client area). The caller
// keeps the surface alive until it deletes the context with DeleteDC.
HDC CreateSurfaceDC(Pixmap* surface);

// The pixels a device context draws into, for tests and the presenter; null for an
// unknown handle. Hold GdiMutex while using the result.
Pixmap* LockedTargetOf(HDC hdc);

// Decodes BMP pixel rows into a pixmap as CreateDIBitmap describes; false if refused.
bool DecodeDib(const BITMAPINFOHEADER& header, const void* bits, const BITMAPINFO* bmi,
               Pixmap* out);
