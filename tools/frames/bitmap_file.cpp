#include "tools/frames/bitmap_file.h"

#include <cstdio>
#include <vector>

bool WriteBitmapFile(HDC dc, HBITMAP bitmap, int width, int height, const char* path) {
  const DWORD stride = DWORD(width * 3 + 3) / 4 * 4;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom row first, as the file keeps them
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = stride * DWORD(height);
  std::vector<BYTE> rows(info.bmiHeader.biSizeImage);
  if (GetDIBits(dc, bitmap, 0, UINT(height), rows.data(), &info, DIB_RGB_COLORS) != height) return false;

  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info.bmiHeader;
  file.bfSize = file.bfOffBits + info.bmiHeader.biSizeImage;
  FILE* out = fopen(path, "wb");
  if (!out) return false;
  bool written = fwrite(&file, sizeof file, 1, out) == 1 &&
                 fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
                 fwrite(rows.data(), 1, rows.size(), out) == rows.size();
  return fclose(out) == 0 && written;
}
