// The one loader of every picture the client shows: a BMP file read into a bitmap
// compatible with a device context, a palette from its colour table, and its size.
#pragma once

#include "platform/windows.h"

struct BitmapSize {
  LONG width;
  LONG height;  // as stored: negative for a picture stored top row first
};

// Returns none when the file cannot be opened, is not a BMP (the bytes "BM"), is
// shorter than its headers, states a file size too small for the pixel rows its header
// describes, has an info header other than the 40-byte form, asks for bit-field masks,
// or describes more than 65,535 colours, 4096 x 4096 pixels or 64 MiB of pixel rows;
// the palette and size are not written then. A file that ends before its colour table
// or its pixel rows are complete still gives its bitmap, the part it lacks read as
// zero. When only the platform refuses the pixels, the palette and size are written
// and none is returned.
HBITMAP LoadBitmapFile(const char* path, HDC dc, HPALETTE* outPalette, BitmapSize* outSize);
