// For client tests: a fresh working folder per test, small BMP files made on the spot,
// and the pixels of a bitmap.
#pragma once

#include <stdlib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/gdi_objects.h"

using Bytes = std::vector<uint8_t>;

// The game finds its files relative to the working folder; each test gets an empty
// one of its own and the previous one back at its end.
class TempFolder {
 public:
  TempFolder() : previous_(std::filesystem::current_path()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "quendle_test_XXXXXX").string();
    folder_ = mkdtemp(pattern.data());
    std::filesystem::current_path(folder_);
  }
  ~TempFolder() {
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(folder_);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

 private:
  std::filesystem::path previous_, folder_;
};

// Writes `bytes` to `path` (relative, '/' separated), making its folders.
inline void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline BITMAPINFOHEADER InfoHeader(int width, int height, int bits, DWORD colourCount = 0) {
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = WORD(bits);
  header.biClrUsed = colourCount;
  return header;
}

// A BMP file: the headers, the colour table from offset 54, `gap` bytes of 0xEE, then
// the pixel rows as stored. The file size field is the file's length.
inline Bytes BmpBytes(const BITMAPINFOHEADER& header, const std::vector<RGBQUAD>& colours, const Bytes& rows,
                      size_t gap = 0) {
  const size_t pixelsAt = 54 + 4 * colours.size() + gap;
  BITMAPFILEHEADER file = {0x4D42, DWORD(pixelsAt + rows.size()), 0, 0, DWORD(pixelsAt)};
  Bytes out(sizeof file + sizeof header);
  memcpy(out.data(), &file, sizeof file);
  memcpy(out.data() + sizeof file, &header, sizeof header);
  for (const RGBQUAD& c : colours) out.insert(out.end(), {c.rgbBlue, c.rgbGreen, c.rgbRed, c.rgbReserved});
  out.insert(out.end(), gap, 0xEE);
  out.insert(out.end(), rows.begin(), rows.end());
  return out;
}

// A 24-bit picture, `pixels` 0x00RRGGBB top row first.
inline Bytes Bmp24(int width, int height, const std::vector<uint32_t>& pixels) {
  const size_t stride = (size_t(width) * 3 + 3) / 4 * 4;
  Bytes rows(stride * height, 0);
  for (int y = 0; y < height; y++) {
    uint8_t* row = rows.data() + stride * (height - 1 - y);
    for (int x = 0; x < width; x++) {
      const uint32_t p = pixels[size_t(y) * width + x];
      row[3 * x] = uint8_t(p), row[3 * x + 1] = uint8_t(p >> 8), row[3 * x + 2] = uint8_t(p >> 16);
    }
  }
  return BmpBytes(InfoHeader(width, height, 24), {}, rows);
}

// Paints every pixel of the bitmap in one colour (0x00RRGGBB).
inline void FillBitmap(HBITMAP bitmap, uint32_t pixel) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  {
    std::lock_guard lock(GdiMutex());
    for (uint32_t& p : LockedTargetOf(dc)->pixels) p = pixel;
  }
  SelectObject(dc, previous);
  DeleteDC(dc);
}

// The bitmap's size and pixels (0x00RRGGBB, top row first).
inline Pixmap PixmapOf(HBITMAP bitmap) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ original = SelectObject(dc, bitmap);
  Pixmap copy;
  {
    std::lock_guard lock(GdiMutex());
    copy = *LockedTargetOf(dc);
  }
  SelectObject(dc, original);
  DeleteDC(dc);
  return copy;
}
