// The one loader of every picture the client shows: a BMP file read into a bitmap
// compatible with a device context, a palette from its colour table, and its size.
#pragma once

#include "platform/windows.h"

struct BitmapSize {
  LONG width;
  LONG height;  // as stored: negative for a picture stored top row first
};

// Returns none when the file cannot be opened, is not a BMP (the bytes "BM"), is
// shorter than its headers or than the pixel rows its header describes, has an info
// header other than the 40-byte form, or asks for bit-field masks; the palette and
// size are not written then. When only the platform refuses the pixels, the palette
// and size are written and none is returned.
HBITMAP LoadBitmapFile(const char* path, HDC dc, HPALETTE* outPalette, BitmapSize* outSize);
