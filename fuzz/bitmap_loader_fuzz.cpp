// The bitmap loader: the input is a picture file, loaded for a memory device context.
#include <cstring>

#include "client/render/bitmap_loader.h"
#include "fuzz/require.h"
#include "tests/client/render/picture_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TempFolder folder;
  static HDC dc = CreateCompatibleDC(nullptr);
  WriteFile("picture.bmp", Bytes(data, data + size));
  HPALETTE palette = nullptr;
  BitmapSize loaded = {0, 0};
  HBITMAP bitmap = LoadBitmapFile("picture.bmp", dc, &palette, &loaded);
  if (bitmap) {
    // The size comes back as the info header stores it, and the bitmap has it.
    LONG width, height;
    memcpy(&width, data + 18, sizeof width);
    memcpy(&height, data + 22, sizeof height);
    Require(loaded.width == width && loaded.height == height, "the stored size is returned");
    const Pixmap pixels = PixmapOf(bitmap);
    Require(pixels.width == width && pixels.height == (height < 0 ? -height : height), "the bitmap has the size");
    Require(palette != nullptr, "a loaded picture comes with a palette");
    DeleteObject(bitmap);
  }
  if (palette) DeleteObject(palette);
  return 0;
}
