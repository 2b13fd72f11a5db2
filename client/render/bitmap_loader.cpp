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
// Limits on what a header alone makes the loader allocate, since a file may end before
// its colour table or its pixel rows: no palette holds more colours, and no picture of
// the game comes near 4096 x 4096 pixels (its largest has 1000 x 800), nor so many
// bytes of rows as those pixels take at 32 bits.
constexpr DWORD kMostColours = 0xFFFF;
constexpr long long kMostPixels = 4096 * 4096;
constexpr long long kMostPixelBytes = 4 * kMostPixels;

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

// The bytes of the pixel rows the header describes, or -1 when it describes none or
// more than the limits allow.
long long PixelArrayBytes(const BITMAPINFOHEADER& header) {
  long long width = header.biWidth, height = header.biHeight < 0 ? -(long long)header.biHeight : header.biHeight;
  if (width <= 0 || height == 0 || width * height > kMostPixels) return -1;
  long long bytes = (width * header.biBitCount + 31) / 32 * 4 * height;
  return bytes > kMostPixelBytes ? -1 : bytes;
}

// Reads up to `count` bytes into `to` in pieces; what the file does not hold stays as it was.
void ReadPieces(FILE* file, BYTE* to, size_t count) {
  for (size_t done = 0; done < count;) {
    size_t piece = std::min<size_t>(count - done, kPiece);
    if (fread(to + done, 1, piece, file) != piece) return;
    done += piece;
  }
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
  // The pixel rows are copied into a buffer of the file's stated size less its header,
  // which must hold every row the header describes.
  long long bufferBytes = (long long)fileHeader.bfSize - kFileHeader;
  if (header.biSize != kInfoHeader || header.biCompression == BI_BITFIELDS || colours > kMostColours ||
      pixelBytes < 0 || bufferBytes < pixelBytes) {
    return nullptr;
  }

  // A file that ends early leaves the rest of the colour table and of the rows zero.
  std::vector<BYTE> info(kInfoHeader + 4 * size_t(colours), 0);
  fseek(file.handle, kColourTableAt, SEEK_SET);
  ReadPieces(file.handle, info.data() + kInfoHeader, 4 * size_t(colours));
  memcpy(info.data(), &header, kInfoHeader);
  auto* table = reinterpret_cast<RGBQUAD*>(info.data() + kInfoHeader);
  for (DWORD i = 0; i < colours; i++) table[i].rgbReserved = 0;
  *outPalette = MakePalette(table, colours);

  std::vector<BYTE> pixels(size_t(pixelBytes), 0);
  if ((long long)fileHeader.bfOffBits < length && fseek(file.handle, long(fileHeader.bfOffBits), SEEK_SET) == 0) {
    ReadPieces(file.handle, pixels.data(), pixels.size());
  }
  *outSize = {header.biWidth, header.biHeight};
  return CreateDIBitmap(dc, &header, CBM_INIT, pixels.data(), reinterpret_cast<BITMAPINFO*>(info.data()),
                        DIB_RGB_COLORS);
}
