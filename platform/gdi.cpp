#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/gdi_objects.h"

namespace {

// Live objects by handle value. Stale handles find nothing instead of freed memory.
std::unordered_map<const void*, std::unique_ptr<GdiObject>>& Objects() {
  static auto* objects = new std::unordered_map<const void*, std::unique_ptr<GdiObject>>;
  return *objects;
}

template <typename T>
T* Register(std::unique_ptr<T> object) {
  T* raw = object.get();
  Objects().emplace(static_cast<const void*>(static_cast<GdiObject*>(raw)), std::move(object));
  return raw;
}

template <typename T>
T* Lookup(const void* handle, GdiKind kind) {
  auto it = Objects().find(handle);
  if (it == Objects().end() || it->second->kind != kind) return nullptr;
  return static_cast<T*>(it->second.get());
}

template <typename H>
H HandleOf(GdiObject* object) {
  return reinterpret_cast<H>(static_cast<void*>(object));
}

// The defaults every fresh device context holds, as Windows' stock objects.
Pen* DefaultPen() {
  static Pen* pen = [] {
    auto p = std::make_unique<Pen>(1, PixelFromColor(RGB(0, 0, 0)));
    p->stock = true;
    return Register(std::move(p));
  }();
  return pen;
}

Bitmap* DefaultBitmap() {
  static Bitmap* bitmap = [] {
    auto b = std::make_unique<Bitmap>(Pixmap(1, 1));
    b->stock = true;
    return Register(std::move(b));
  }();
  return bitmap;
}

// Puts `object` in a context's slot and returns what was there.
template <typename T>
T* Swap(T*& slot, T* object) {
  T* previous = slot;
  if (previous) previous->selections--;
  slot = object;
  object->selections++;
  return previous;
}

HDC NewDc(Pixmap* surface) {
  auto dc = std::make_unique<DeviceContext>();
  dc->surface = surface;
  if (!surface) Swap(dc->bitmap, DefaultBitmap());
  Swap(dc->pen, DefaultPen());
  return HandleOf<HDC>(Register(std::move(dc)));
}

// The pixel memory of bitmaps deleted lately, one buffer for each of the last few
// sizes, for the next bitmaps of the same size: the frame's back buffer, made and
// deleted every tick, then costs no fresh allocation of its size each time, however
// many smaller bitmaps come and go between two frames. Only memory of exactly the size
// asked for is handed out, so the sanitizers still see where every bitmap ends.
constexpr size_t kKeptPixelSizes = 4;

std::vector<std::vector<uint32_t>>& KeptPixels() {
  static auto* kept = new std::vector<std::vector<uint32_t>>;
  return *kept;
}

// Under GdiMutex: the kept memory for exactly `count` pixels, if any.
std::vector<std::vector<uint32_t>>::iterator KeptFor(size_t count) {
  std::vector<std::vector<uint32_t>>& kept = KeptPixels();
  return std::find_if(kept.begin(), kept.end(), [count](const std::vector<uint32_t>& pixels) {
    return pixels.size() == count && pixels.capacity() == count;
  });
}

// Under GdiMutex: keeps a deleted bitmap's pixels in place of those of its size, or
// else of the size kept longest.
void KeepPixels(std::vector<uint32_t> pixels) {
  std::vector<std::vector<uint32_t>>& kept = KeptPixels();
  auto same = KeptFor(pixels.size());
  if (same != kept.end()) {
    kept.erase(same);
  } else if (kept.size() == kKeptPixelSizes) {
    kept.erase(kept.begin());
  }
  kept.push_back(std::move(pixels));
}

// Under GdiMutex: kept memory for exactly `count` pixels, or none.
std::vector<uint32_t> TakePixels(size_t count) {
  auto it = KeptFor(count);
  if (it == KeptPixels().end()) return {};
  std::vector<uint32_t> pixels = std::move(*it);
  KeptPixels().erase(it);
  return pixels;
}

// A pixmap of black pixels, in kept memory when there is some of its size.
Pixmap BlackPixmap(int width, int height) {
  const size_t count = size_t(width) * size_t(height);
  std::vector<uint32_t> pixels;
  {
    std::lock_guard lock(GdiMutex());
    pixels = TakePixels(count);
  }
  if (pixels.empty()) return Pixmap(width, height);
  // Black again, whatever the deleted bitmap left there. One memset: in the checked
  // builds a loop over the pixels would pay a check for each.
  std::memset(pixels.data(), 0, count * sizeof(uint32_t));
  return Pixmap(width, height, std::move(pixels));
}

bool KnownRop(DWORD rop) { return rop == SRCCOPY || rop == SRCAND || rop == SRCPAINT; }

// One row of a blit; the operation is spelled out per case so that each loop is a
// plain copy or a tight vector loop.
void BlitRow(uint32_t* out, const uint32_t* in, int64_t count, DWORD rop) {
  switch (rop) {
    case SRCCOPY:
      std::copy(in, in + count, out);
      break;
    case SRCAND:
      for (int64_t i = 0; i < count; i++) out[i] &= in[i];
      break;
    case SRCPAINT:
      for (int64_t i = 0; i < count; i++) out[i] |= in[i];
      break;
  }
}

// One axis of a blit: moves the start of both runs and shortens them so that
// every position lies inside both extents.
struct Span {
  int64_t dest, src, length;
};

Span ClipSpan(int64_t dest, int64_t src, int64_t length, int64_t destExtent, int64_t srcExtent) {
  int64_t skip = std::max({int64_t(0), -dest, -src});
  dest += skip;
  src += skip;
  length -= skip;
  length = std::min({length, destExtent - dest, srcExtent - src});
  return {dest, src, std::max<int64_t>(length, 0)};
}

// One axis of a stretch in the default stretch mode (BLACKONWHITE), as Windows maps it:
// shrinking, a destination pixel takes the run of source pixels whose centres fall in
// it, and they are ANDed together; stretching, it takes the source pixel under its
// centre. A centre on the edge between two pixels counts for the earlier one.
struct Run {
  int64_t first, last;  // source pixels, last exclusive; clipped to the source
};
struct Axis {
  int64_t start;          // the first destination pixel that lies on the destination
  std::vector<Run> runs;  // for it and each one after it that does
};

// The source pixel, counted from the source rectangle's start, where destination pixel j
// (counted from the destination rectangle's start, j < destLength) takes its run. Products
// are wide: the rectangles may be as long as an int allows.
int64_t RunStart(int64_t j, int64_t destLength, int64_t srcLength) {
  if (srcLength <= destLength) return int64_t(((2 * __int128(j) + 1) * srcLength - 1) / (2 * destLength));
  const __int128 above = 2 * __int128(srcLength) * j + 1 - destLength, by = 2 * __int128(destLength);
  return above <= 0 ? 0 : int64_t((above + by - 1) / by);
}

Axis StretchAxis(int64_t dest, int64_t destLength, int64_t destExtent, int64_t src, int64_t srcLength,
                 int64_t srcExtent) {
  Axis axis{std::max<int64_t>(dest, 0), {}};
  const int64_t end = std::min(dest + destLength, destExtent);
  for (int64_t at = axis.start; at < end; at++) {
    const int64_t j = at - dest;
    const int64_t first = src + RunStart(j, destLength, srcLength);
    const int64_t last = srcLength > destLength ? src + RunStart(j + 1, destLength, srcLength) : first + 1;
    const int64_t clipped = std::clamp<int64_t>(first, 0, srcExtent);
    axis.runs.push_back({clipped, std::clamp<int64_t>(last, clipped, srcExtent)});
  }
  return axis;
}

}  // namespace

bool BitmapSizeAllowed(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxBitmapSide && height <= kMaxBitmapSide &&
         width * height <= kMaxBitmapPixels;
}

std::mutex& GdiMutex() {
  static std::mutex* mutex = new std::mutex;
  return *mutex;
}

DeviceContext* LookupDc(HDC hdc) {
  return Lookup<DeviceContext>(hdc, GdiKind::DeviceContext);
}

Bitmap* LookupBitmap(HBITMAP bitmap) { return Lookup<Bitmap>(bitmap, GdiKind::Bitmap); }

HDC CreateSurfaceDC(Pixmap* surface) {
  std::lock_guard lock(GdiMutex());
  return NewDc(surface);
}

Pixmap* LockedTargetOf(HDC hdc) {
  DeviceContext* dc = LookupDc(hdc);
  return dc ? &dc->Target() : nullptr;
}

HDC CreateCompatibleDC(HDC) {
  std::lock_guard lock(GdiMutex());
  return NewDc(nullptr);
}

BOOL DeleteDC(HDC hdc) {
  std::lock_guard lock(GdiMutex());
  DeviceContext* dc = LookupDc(hdc);
  if (!dc) return FALSE;
  if (dc->bitmap) dc->bitmap->selections--;
  dc->pen->selections--;
  Objects().erase(hdc);
  return TRUE;
}

HBITMAP CreateCompatibleBitmap(HDC, int cx, int cy) {
  if (!BitmapSizeAllowed(cx, cy)) return nullptr;
  auto bitmap = std::make_unique<Bitmap>(BlackPixmap(cx, cy));
  std::lock_guard lock(GdiMutex());
  return HandleOf<HBITMAP>(Register(std::move(bitmap)));
}

HBITMAP CreateDIBitmap(HDC, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* bmi, UINT usage) {
  if (!header || usage != DIB_RGB_COLORS) return nullptr;
  Pixmap pixmap;
  if (init & CBM_INIT) {
    if (!bits || !bmi || !DecodeDib(bmi->bmiHeader, bits, bmi, &pixmap)) return nullptr;
    // The size comes from `header`; the rows are read as `bmi` describes them.
    if (pixmap.width != header->biWidth || pixmap.height != std::abs(int64_t(header->biHeight))) {
      return nullptr;
    }
  } else {
    if (header->biSize != sizeof(BITMAPINFOHEADER) ||
        !BitmapSizeAllowed(header->biWidth, std::abs(int64_t(header->biHeight)))) {
      return nullptr;
    }
    pixmap = Pixmap(header->biWidth, std::abs(header->biHeight));
  }
  auto bitmap = std::make_unique<Bitmap>(std::move(pixmap));
  std::lock_guard lock(GdiMutex());
  return HandleOf<HBITMAP>(Register(std::move(bitmap)));
}

HPALETTE CreatePalette(const LOGPALETTE* palette) {
  if (!palette || palette->palVersion != 0x300) return nullptr;
  std::vector<PALETTEENTRY> entries(palette->palPalEntry, palette->palPalEntry + palette->palNumEntries);
  auto object = std::make_unique<Palette>(std::move(entries));
  std::lock_guard lock(GdiMutex());
  return HandleOf<HPALETTE>(Register(std::move(object)));
}

HPEN CreatePen(int style, int width, COLORREF color) {
  if (style != PS_SOLID) return nullptr;
  auto pen = std::make_unique<Pen>(std::max(width, 1), PixelFromColor(color));
  std::lock_guard lock(GdiMutex());
  return HandleOf<HPEN>(Register(std::move(pen)));
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object) {
  std::lock_guard lock(GdiMutex());
  DeviceContext* dc = LookupDc(hdc);
  if (!dc) return nullptr;
  if (Bitmap* bitmap = Lookup<Bitmap>(object, GdiKind::Bitmap)) {
    // A window's context draws into the window, and a bitmap lives in one context at a
    // time (but the shared default may be put back anywhere).
    bool elsewhere = !bitmap->stock && bitmap->selections > 0 && bitmap != dc->bitmap;
    if (dc->surface || elsewhere) return nullptr;
    return Swap(dc->bitmap, bitmap);
  }
  if (Pen* pen = Lookup<Pen>(object, GdiKind::Pen)) return Swap(dc->pen, pen);
  return nullptr;
}

BOOL DeleteObject(HGDIOBJ object) {
  std::lock_guard lock(GdiMutex());
  auto it = Objects().find(object);
  if (it == Objects().end() || it->second->kind == GdiKind::DeviceContext) return FALSE;
  if (it->second->stock) return TRUE;
  if (it->second->selections > 0) return FALSE;
  if (it->second->kind == GdiKind::Bitmap) KeepPixels(std::move(static_cast<Bitmap&>(*it->second).pixmap.pixels));
  Objects().erase(it);
  return TRUE;
}

BOOL BitBlt(HDC dest, int x, int y, int cx, int cy, HDC src, int x1, int y1, DWORD rop) {
  std::lock_guard lock(GdiMutex());
  DeviceContext* d = LookupDc(dest);
  DeviceContext* s = LookupDc(src);
  if (!KnownRop(rop) || !d || !s) return FALSE;
  Pixmap& to = d->Target();
  const Pixmap& from = s->Target();
  Span h = ClipSpan(x, x1, cx, to.width, from.width);
  Span v = ClipSpan(y, y1, cy, to.height, from.height);
  if (h.length == 0 || v.length == 0) return TRUE;

  // A blit within one bitmap reads the source as it was before the blit.
  const Pixmap* source = &from;
  Pixmap snapshot;
  if (&to == &from) {
    snapshot = from;
    source = &snapshot;
  }
  to.version++;
  for (int64_t row = 0; row < v.length; row++) {
    uint32_t* out = to.Row(int(v.dest + row)) + h.dest;
    const uint32_t* in = source->Row(int(v.src + row)) + h.src;
    BlitRow(out, in, h.length, rop);
  }
  return TRUE;
}

BOOL StretchBlt(HDC dest, int xDest, int yDest, int wDest, int hDest, HDC src, int xSrc, int ySrc,
                int wSrc, int hSrc, DWORD rop) {
  if (rop != SRCCOPY || wDest <= 0 || hDest <= 0 || wSrc <= 0 || hSrc <= 0) return FALSE;
  std::lock_guard lock(GdiMutex());
  DeviceContext* d = LookupDc(dest);
  DeviceContext* s = LookupDc(src);
  if (!d || !s) return FALSE;
  Pixmap& to = d->Target();
  Pixmap snapshot;
  const Pixmap* from = &s->Target();
  if (from == &to) {
    snapshot = to;
    from = &snapshot;
  }
  to.version++;
  const Axis across = StretchAxis(xDest, wDest, to.width, xSrc, wSrc, from->width);
  const Axis down = StretchAxis(yDest, hDest, to.height, ySrc, hSrc, from->height);
  for (size_t row = 0; row < down.runs.size(); row++) {
    const Run rows = down.runs[row];
    if (rows.first == rows.last) continue;
    uint32_t* out = to.Row(int(down.start + int64_t(row)));
    for (size_t col = 0; col < across.runs.size(); col++) {
      const Run cols = across.runs[col];
      if (cols.first == cols.last) continue;
      uint32_t pixel = ~0u;
      for (int64_t sy = rows.first; sy < rows.last; sy++) {
        const uint32_t* in = from->Row(int(sy));
        for (int64_t sx = cols.first; sx < cols.last; sx++) pixel &= in[sx];
      }
      out[across.start + int64_t(col)] = pixel;
    }
  }
  return TRUE;
}

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT previous) {
  std::lock_guard lock(GdiMutex());
  DeviceContext* dc = LookupDc(hdc);
  if (!dc) return FALSE;
  if (previous) *previous = dc->position;
  dc->position = {x, y};
  return TRUE;
}

namespace {

__int128 FloorDiv(__int128 a, int64_t b) {
  __int128 q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// The tip of a pen at one point of a line, as Windows paints a wide pen: width x width
// pixels from width / 2 above and left of the point, the corners left out from width 3
// on (the tip is round).
void Stamp(Pixmap& to, int64_t x, int64_t y, int width, uint32_t pixel) {
  const int64_t left = x - width / 2, top = y - width / 2;
  const int64_t right = left + width - 1, bottom = top + width - 1;
  const bool round = width >= 3;
  for (int64_t py = std::max<int64_t>(top, 0); py <= std::min<int64_t>(bottom, to.height - 1); py++) {
    for (int64_t px = std::max<int64_t>(left, 0); px <= std::min<int64_t>(right, to.width - 1); px++) {
      bool corner = (py == top || py == bottom) && (px == left || px == right);
      if (!(round && corner)) to.Row(int(py))[px] = pixel;
    }
  }
}

// The points of a line from (x0, y0) to (x1, y1), stepping along the major axis: a
// line of width 1 ends before its end point, a wider one covers both ends (so a wide
// pen paints its tip even for a line of no length). Only the steps that can reach the
// pixmap are visited. Horizontal and vertical lines come out exactly as on Windows.
void DrawLine(Pixmap& to, int64_t x0, int64_t y0, int64_t x1, int64_t y1, const Pen& pen) {
  int64_t dx = x1 - x0, dy = y1 - y0;
  bool xMajor = std::abs(dx) >= std::abs(dy);
  int64_t steps = xMajor ? std::abs(dx) : std::abs(dy);
  int64_t last = pen.width > 1 ? steps : steps - 1;
  if (last < 0) return;
  int64_t start = xMajor ? x0 : y0;
  int64_t dir = (xMajor ? dx : dy) >= 0 ? 1 : -1;
  int64_t extent = xMajor ? to.width : to.height;
  int64_t margin = pen.width;
  // i is visible on the major axis when start + dir * i lies in [-margin, extent + margin).
  int64_t lo = dir > 0 ? -margin - start : start - (extent + margin) + 1;
  int64_t hi = dir > 0 ? extent + margin - start - 1 : start + margin;
  lo = std::max<int64_t>(lo, 0);
  hi = std::min<int64_t>(hi, last);
  int64_t minor = xMajor ? dy : dx;
  for (int64_t i = lo; i <= hi; i++) {
    int64_t along = start + dir * i;
    int64_t across = xMajor ? y0 : x0;
    if (steps > 0) across += int64_t(FloorDiv(__int128(2) * i * minor + steps, 2 * steps));
    if (xMajor) {
      Stamp(to, along, across, pen.width, pen.pixel);
    } else {
      Stamp(to, across, along, pen.width, pen.pixel);
    }
  }
}

}  // namespace

BOOL LineTo(HDC hdc, int x, int y) {
  std::lock_guard lock(GdiMutex());
  DeviceContext* dc = LookupDc(hdc);
  if (!dc) return FALSE;
  dc->Target().version++;
  DrawLine(dc->Target(), dc->position.x, dc->position.y, x, y, *dc->pen);
  dc->position = {x, y};
  return TRUE;
}
