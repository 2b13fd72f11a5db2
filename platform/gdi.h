// Drawing: device contexts, bitmaps, palettes, pens, blits, lines and text, under the
// Windows names and with the Windows meaning.
//
// What the game may rely on:
// - Every bitmap is 32 bits per pixel, whatever it was made from.
// - A fresh device context has black text, a white background colour, the opaque
//   background mode, a black solid pen of width 1, the default font, and a 1 x 1
//   bitmap selected until the game selects its own.
// - BitBlt, StretchBlt, LineTo and DrawTextA clip to every bitmap they touch: whatever
//   coordinates the game passes, only the part that exists is read or written.
// - Creating and deleting bitmaps and palettes is safe from any thread; a device
//   context is used by one thread at a time.
#pragma once

#include "platform/wintypes.h"

// Raster operations.
#define SRCCOPY 0x00CC0020
#define SRCAND 0x008800C6
#define SRCPAINT 0x00EE0086

// CreateDIBitmap.
#define CBM_INIT 4
#define DIB_RGB_COLORS 0
#define BI_RGB 0
#define BI_BITFIELDS 3

// Pens, background modes, text formats.
#define PS_SOLID 0
#define TRANSPARENT 1
#define OPAQUE 2
#define DT_LEFT 0x0000
#define DT_CENTER 0x0001
#define DT_WORDBREAK 0x0010
#define DT_NOPREFIX 0x0800

// Palettes.
#define PC_NOCOLLAPSE 4

#pragma pack(push, 2)
struct BITMAPFILEHEADER {
  WORD bfType;
  DWORD bfSize;
  WORD bfReserved1;
  WORD bfReserved2;
  DWORD bfOffBits;
};
#pragma pack(pop)
static_assert(sizeof(BITMAPFILEHEADER) == 14);

struct BITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct RGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
};

// The colour table follows the header; callers allocate room for all its entries.
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};

struct PALETTEENTRY {
  BYTE peRed;
  BYTE peGreen;
  BYTE peBlue;
  BYTE peFlags;
};

struct LOGPALETTE {
  WORD palVersion;
  WORD palNumEntries;
  PALETTEENTRY palPalEntry[1];
};

HDC CreateCompatibleDC(HDC hdc);
BOOL DeleteDC(HDC hdc);

// A 32-bit bitmap of cx x cy black pixels; none for a size that is not positive or
// too large to hold.
HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy);

// A 32-bit bitmap from pixel rows as a BMP file stores them: 1, 4 and 8 bits with the
// colour table of `bmi`, 16 bits (5-5-5), 24 and 32 bits; bottom-up, or top-down for a
// negative height; rows padded to 4 bytes. With CBM_INIT it reads exactly the rows the
// header describes from `bits`, so the caller makes sure `bits` holds them. A header
// that is not the 40-byte form, compression other than BI_RGB, another bit count, and
// a width or height of zero or too large to hold are refused (no bitmap).
HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* bmi, UINT usage);

// Copies `lines` pixel rows of the bitmap, from row `start` in the order the header
// gives (bottom-up, or top-down for a negative height), into `bits` as 24- or 32-bit
// BI_RGB rows padded to 4 bytes (the fourth byte of a 32-bit pixel is 0). The header
// must have the bitmap's width and height; rows past the last are not copied. Returns
// the number of rows copied, 0 for a request it cannot serve.
int GetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* bmi, UINT usage);

// Kept for the caller; the game never selects or realises one.
HPALETTE CreatePalette(const LOGPALETTE* palette);

// Solid pens of any width. A pen wider than 1 paints its tip, width x width pixels
// about the point (round from width 3 on), at every point of a line, both ends
// included, as Windows paints a wide pen's horizontal and vertical lines.
HPEN CreatePen(int style, int width, COLORREF color);

// Selects a bitmap or a pen and returns the one it replaced (none for anything else).
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object);

// Fails for an object that is selected into a device context; a no-op for the
// defaults a fresh device context holds.
BOOL DeleteObject(HGDIOBJ object);

BOOL BitBlt(HDC dest, int x, int y, int cx, int cy, HDC src, int x1, int y1, DWORD rop);

// SRCCOPY only, with positive extents, in the default stretch mode a fresh device
// context has (BLACKONWHITE): shrinking, each destination pixel is the AND of the
// source pixels whose centres fall in it; stretching, each repeats the source pixel
// under its centre.
BOOL StretchBlt(HDC dest, int xDest, int yDest, int wDest, int hDest, HDC src, int xSrc,
                int ySrc, int wSrc, int hSrc, DWORD rop);

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT previous);
// Draws from the current position to (x, y), not including (x, y) with a pen of
// width 1, and moves there.
BOOL LineTo(HDC hdc, int x, int y);

int SetBkMode(HDC hdc, int mode);
COLORREF SetTextColor(HDC hdc, COLORREF color);

// Draws `text` (`count` bytes, or up to its terminator when count is -1) in the
// rectangle, clipped to it, one line per line break (CR, LF, or a CR LF or LF CR pair;
// a break at the very end starts no line). Unless DT_NOPREFIX is given, "&" is the
// prefix character, as on Windows: it is not shown and marks the next character, "&&"
// shows one "&", and a lone "&" at the very end shows as itself; the last marked
// character of each line is underlined in the text colour, one pixel below the
// baseline. Lines are measured as they show, without the prefix characters. DT_CENTER
// centres each line; DT_WORDBREAK breaks a line after the last word that fits, keeping
// the spaces after it that fit unless the text is centred, and drops one space at the
// break. In opaque mode each line's cell gets the background colour. The line that
// reaches past the rectangle's bottom is the last one; returns the height of the lines
// laid out.
int DrawTextA(HDC hdc, LPCSTR text, int count, LPRECT rect, UINT format);
