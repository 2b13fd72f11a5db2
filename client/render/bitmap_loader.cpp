#include "client/render/bitmap_loader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr long kFileHeader = 14;
constexpr long kInfoHeader = 40;
constexpr long kColourTableAt = kFileHeader + kInfoHeader;
constexpr DWORD kPiece = 46080;

struct File {
  explicit File(const char* path) : handle(OpenGameFile(path, "rb")) {}
  ~File() {
    if (handle) fclose(handle);
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  FILE* handle;
};

long LengthOf(FILE* file) {
  long here = ftell(file);
  fseek(file, 0, SEEK_END);
  long length = ftell(file);
  fseek(file, here, SEEK_SET);
  return length;
}

DWORD ColourCount(const BITMAPINFOHEADER& header) {
  if (header.biClrUsed != 0) return header.biClrUsed;
  switch (header.biBitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
  }
}

// The bytes of the pixel rows the header describes, or -1 when it describes none.
long long PixelArrayBytes(const BITMAPINFOHEADER& header) {
  long long width = header.biWidth, height = header.biHeight < 0 ? -(long long)header.biHeight : header.biHeight;
  if (width <= 0 || height == 0 || width > 0x7FFF || height > 0x7FFF) return -1;
  return (width * header.biBitCount + 31) / 32 * 4 * height;
}

HPALETTE MakePalette(const RGBQUAD* colours, DWORD count) {
  std::vector<BYTE> memory(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
  auto* palette = reinterpret_cast<LOGPALETTE*>(memory.data());
  palette->palVersion = 0x300;
  palette->palNumEntries = WORD(count);
  PALETTEENTRY* entries = palette->palPalEntry;
  for (DWORD i = 0; i < count; i++) {
    entries[i] = {colours[i].rgbRed, colours[i].rgbGreen, colours[i].rgbBlue, PC_NOCOLLAPSE};
  }
  return CreatePalette(palette);
}

}  // namespace

HBITMAP LoadBitmapFile(const char* path, HDC dc, HPALETTE* outPalette, BitmapSize* outSize) {
  File file(path);
  if (!file.handle) return nullptr;
  BITMAPFILEHEADER fileHeader;
  BITMAPINFOHEADER header;
  long length = LengthOf(file.handle);
  if (length < kColourTableAt || fread(&fileHeader, kFileHeader, 1, file.handle) != 1 ||
      fileHeader.bfType != 0x4D42 || fread(&header, kInfoHeader, 1, file.handle) != 1) {
    return nullptr;
  }
  header.biClrImportant = 0;
  DWORD colours = ColourCount(header);
  long long pixelBytes = PixelArrayBytes(header);
  // Pixel rows are copied into a buffer of the file's stated size less its header;
  // it must hold every row the header describes, and the file must hold them too.
  long long bufferBytes = (long long)fileHeader.bfSize - kFileHeader;
  if (header.biSize != kInfoHeader || header.biCompression == BI_BITFIELDS ||
      kColourTableAt + 4LL * colours > length || pixelBytes < 0 || bufferBytes < pixelBytes ||
      (long long)fileHeader.bfOffBits + pixelBytes > length) {
    return nullptr;
  }
  bufferBytes = std::min<long long>(bufferBytes, length);

  std::vector<BYTE> info(kInfoHeader + 4 * size_t(colours));
  fseek(file.handle, kColourTableAt, SEEK_SET);
  if (colours && fread(info.data() + kInfoHeader, 4 * size_t(colours), 1, file.handle) != 1) return nullptr;
  memcpy(info.data(), &header, kInfoHeader);
  auto* table = reinterpret_cast<RGBQUAD*>(info.data() + kInfoHeader);
  for (DWORD i = 0; i < colours; i++) table[i].rgbReserved = 0;
  *outPalette = MakePalette(table, colours);

  // Read in pieces; a short read leaves the rest of the buffer zero.
  std::vector<BYTE> pixels(size_t(bufferBytes), 0);
  fseek(file.handle, long(fileHeader.bfOffBits), SEEK_SET);
  for (DWORD done = 0, left = DWORD(bufferBytes); left > 0;) {
    DWORD piece = left < kPiece ? left : kPiece;
    fread(pixels.data() + done, 1, piece, file.handle);
    done += piece;
    left -= piece;
  }
  *outSize = {header.biWidth, header.biHeight};
  return CreateDIBitmap(dc, &header, CBM_INIT, pixels.data(), reinterpret_cast<BITMAPINFO*>(info.data()),
                        DIB_RGB_COLORS);
}
