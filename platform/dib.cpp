// Pixel rows as a BMP file stores them, turned into a 32-bit pixmap, and a bitmap's pixels
// read back as such rows.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/gdi_objects.h"

namespace {

bool SupportedBitCount(int bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return (r << 16) | (g << 8) | b; }

uint32_t Expand5(uint32_t c) { return (c << 3) | (c >> 2); }

// One stored row, decoded into `out`.
struct RowDecoder {
  int bits;
  const RGBQUAD* colors;
  uint32_t colorCount;

  uint32_t Indexed(uint32_t index) const {
    if (index >= colorCount) return 0;
    const RGBQUAD& c = colors[index];
    return Rgb(c.rgbRed, c.rgbGreen, c.rgbBlue);
  }

  void Decode(const uint8_t* in, int width, uint32_t* out) const {
    for (int x = 0; x < width; x++) {
      switch (bits) {
        case 1: out[x] = Indexed((in[x / 8] >> (7 - x % 8)) & 1); break;
        case 4: out[x] = Indexed((in[x / 2] >> (x % 2 ? 0 : 4)) & 15); break;
        case 8: out[x] = Indexed(in[x]); break;
        case 16: {
          uint32_t v = in[2 * x] | (in[2 * x + 1] << 8);
          out[x] = Rgb(Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31));
          break;
        }
        case 24: out[x] = Rgb(in[3 * x + 2], in[3 * x + 1], in[3 * x]); break;
        case 32: out[x] = Rgb(in[4 * x + 2], in[4 * x + 1], in[4 * x]); break;
      }
    }
  }
};

}  // namespace

bool DecodeDib(const BITMAPINFOHEADER& header, const void* bits, const BITMAPINFO* bmi, Pixmap* out) {
  int64_t width = header.biWidth;
  int64_t height = std::abs(int64_t(header.biHeight));
  if (header.biSize != sizeof(BITMAPINFOHEADER) || header.biCompression != BI_RGB ||
      !SupportedBitCount(header.biBitCount) || !BitmapSizeAllowed(width, height)) {
    return false;
  }
  uint32_t colorCount = 0;
  if (header.biBitCount <= 8) {
    colorCount = header.biClrUsed ? header.biClrUsed : 1u << header.biBitCount;
  }
  RowDecoder decoder{header.biBitCount, bmi->bmiColors, colorCount};
  size_t stride = size_t((width * header.biBitCount + 31) / 32 * 4);
  bool bottomUp = header.biHeight > 0;

  Pixmap pixmap(static_cast<int>(width), static_cast<int>(height));
  const uint8_t* rows = static_cast<const uint8_t*>(bits);
  for (int r = 0; r < pixmap.height; r++) {
    int y = bottomUp ? pixmap.height - 1 - r : r;
    decoder.Decode(rows + size_t(r) * stride, pixmap.width, pixmap.Row(y));
  }
  *out = std::move(pixmap);
  return true;
}

namespace {

void EncodeRow(const uint32_t* in, int width, int bits, uint8_t* out) {
  const size_t bytes = size_t(bits / 8);
  for (int x = 0; x < width; x++) {
    uint8_t* pixel = out + size_t(x) * bytes;
    pixel[0] = uint8_t(in[x]);
    pixel[1] = uint8_t(in[x] >> 8);
    pixel[2] = uint8_t(in[x] >> 16);
    if (bytes == 4) pixel[3] = 0;
  }
}

}  // namespace

int GetDIBits(HDC, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* bmi, UINT usage) {
  if (!bits || !bmi || usage != DIB_RGB_COLORS) return 0;
  const BITMAPINFOHEADER& header = bmi->bmiHeader;
  if (header.biSize != sizeof(BITMAPINFOHEADER) || header.biCompression != BI_RGB ||
      (header.biBitCount != 24 && header.biBitCount != 32)) {
    return 0;
  }
  std::lock_guard lock(GdiMutex());
  const Bitmap* source = LookupBitmap(bitmap);
  if (!source) return 0;
  const Pixmap& pixmap = source->pixmap;
  if (header.biWidth != pixmap.width || std::abs(int64_t(header.biHeight)) != pixmap.height) return 0;
  if (start >= UINT(pixmap.height)) return 0;
  const UINT count = std::min(lines, UINT(pixmap.height) - start);
  const size_t stride = size_t((int64_t(pixmap.width) * header.biBitCount + 31) / 32 * 4);
  const bool bottomUp = header.biHeight > 0;
  uint8_t* out = static_cast<uint8_t*>(bits);
  for (UINT line = 0; line < count; line++) {
    const int index = int(start + line);
    const int y = bottomUp ? pixmap.height - 1 - index : index;
    EncodeRow(pixmap.Row(y), pixmap.width, header.biBitCount, out + size_t(line) * stride);
  }
  return int(count);
}
