// A bitmap's pixels, read back through GetDIBits, written as a 24-bit BMP file.
#pragma once

#include "platform/windows.h"

// False when the pixels cannot be read or the file cannot be written.
bool WriteBitmapFile(HDC dc, HBITMAP bitmap, int width, int height, const char* path);
