#include <gtest/gtest.h>

#include <cstring>

#include "tests/platform/canvas.h"

namespace {

// A BITMAPINFO with room for a colour table.
struct Info {
  BITMAPINFOHEADER header;
  RGBQUAD colors[256];
  const BITMAPINFO* bmi() const { return reinterpret_cast<const BITMAPINFO*>(this); }
};

Info MakeInfo(int width, int height, int bits, std::vector<RGBQUAD> colors = {}) {
  Info info = {};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width;
  info.header.biHeight = height;
  info.header.biPlanes = 1;
  info.header.biBitCount = WORD(bits);
  info.header.biClrUsed = DWORD(colors.size());
  std::copy(colors.begin(), colors.end(), info.colors);
  return info;
}

// The pixels of the bitmap made from `rows`, top row first.
std::vector<uint32_t> Decode(const Info& info, const std::vector<uint8_t>& rows) {
  HBITMAP bitmap = CreateDIBitmap(nullptr, &info.header, CBM_INIT, rows.data(), info.bmi(), DIB_RGB_COLORS);
  if (!bitmap) return {};
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ original = SelectObject(dc, bitmap);
  std::vector<uint32_t> pixels;
  {
    std::lock_guard lock(GdiMutex());
    pixels = LockedTargetOf(dc)->pixels;
  }
  SelectObject(dc, original);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return pixels;
}

const RGBQUAD kBlack = {0, 0, 0, 0}, kRed = {0, 0, 255, 0}, kGreen = {0, 255, 0, 0}, kBlue = {255, 0, 0, 0};
constexpr uint32_t R = 0xFF0000, G = 0x00FF00, B = 0x0000FF, K = 0;

// Each case is a 3 x 2 picture stored bottom row first, rows padded to 4 bytes; all
// but the 1-bit one have red, green, blue on top and blue, black, red below.
struct FormatCase {
  const char* name;
  int bits;
  std::vector<RGBQUAD> colors;
  std::vector<uint8_t> rows;
  std::vector<uint32_t> expected = {R, G, B, B, K, R};
};

TEST(Dib, DecodesEveryBitCount) {
  const FormatCase cases[] = {
      {"1 bit", 1, {kBlack, kRed}, {0b01000000, 0, 0, 0, 0b10100000, 0, 0, 0}, {R, K, R, K, R, K}},
      {"4 bit", 4, {kBlack, kRed, kGreen, kBlue}, {0x30, 0x10, 0, 0, 0x12, 0x30, 0, 0}},
      {"8 bit", 8, {kBlack, kRed, kGreen, kBlue}, {3, 0, 1, 0, 1, 2, 3, 0}},
      {"16 bit 5-5-5", 16, {}, {0x1F, 0x00, 0x00, 0x00, 0x00, 0x7C, 0, 0,
                                0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0, 0}},
      {"24 bit", 24, {}, {255, 0, 0, 0, 0, 0, 0, 0, 255, 0, 0,  0,
                          0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0}},
      {"32 bit", 32, {}, {255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0,
                          0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0}},
  };
  for (const FormatCase& c : cases) {
    std::vector<RGBQUAD> colors = c.colors;
    Info info = MakeInfo(3, 2, c.bits, colors);
    EXPECT_EQ(Decode(info, c.rows), c.expected) << c.name;
  }
}

TEST(Dib, NegativeHeightMeansTopRowFirst) {
  Info info = MakeInfo(1, -2, 24);
  std::vector<uint8_t> rows = {0, 0, 255, 0, 255, 0, 0, 0};
  EXPECT_EQ(Decode(info, rows), (std::vector<uint32_t>{R, B}));
  info.header.biHeight = 2;
  EXPECT_EQ(Decode(info, rows), (std::vector<uint32_t>{B, R}));
}

TEST(Dib, DefaultColourTableAndIndicesPastIt) {
  // Colour count 0 means the whole table for the bit count; an index past a shorter
  // table gives black.
  Info full = MakeInfo(2, 1, 8);
  full.colors[200] = kGreen;
  EXPECT_EQ(Decode(full, {200, 0, 0, 0}), (std::vector<uint32_t>{G, K}));
  Info shorter = MakeInfo(2, 1, 8, {kRed, kBlue});
  EXPECT_EQ(Decode(shorter, {1, 2, 0, 0}), (std::vector<uint32_t>{B, K}));
}

TEST(Dib, RefusesFormsItDoesNotRead) {
  const std::vector<uint8_t> rows(64, 0);
  struct Refused {
    const char* name;
    void (*change)(BITMAPINFOHEADER&);
  } cases[] = {
      {"larger header", [](BITMAPINFOHEADER& h) { h.biSize = 108; }},
      {"run-length compression", [](BITMAPINFOHEADER& h) { h.biCompression = 1; }},
      {"bit-field masks", [](BITMAPINFOHEADER& h) { h.biCompression = BI_BITFIELDS; }},
      {"2 bits", [](BITMAPINFOHEADER& h) { h.biBitCount = 2; }},
      {"0 bits", [](BITMAPINFOHEADER& h) { h.biBitCount = 0; }},
      {"zero width", [](BITMAPINFOHEADER& h) { h.biWidth = 0; }},
      {"negative width", [](BITMAPINFOHEADER& h) { h.biWidth = -2; }},
      {"zero height", [](BITMAPINFOHEADER& h) { h.biHeight = 0; }},
      {"absurd size", [](BITMAPINFOHEADER& h) { h.biWidth = h.biHeight = 1 << 30; }},
      {"most negative height", [](BITMAPINFOHEADER& h) { h.biHeight = INT32_MIN; }},
  };
  for (const Refused& c : cases) {
    Info info = MakeInfo(2, 2, 8);
    c.change(info.header);
    EXPECT_EQ(CreateDIBitmap(nullptr, &info.header, CBM_INIT, rows.data(), info.bmi(), DIB_RGB_COLORS),
              nullptr)
        << c.name;
  }
}

TEST(Dib, WithoutInitialisationTheBitmapIsBlack) {
  Info info = MakeInfo(3, 2, 24);
  HBITMAP bitmap = CreateDIBitmap(nullptr, &info.header, 0, nullptr, nullptr, DIB_RGB_COLORS);
  ASSERT_NE(bitmap, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ original = SelectObject(dc, bitmap);
  {
    std::lock_guard lock(GdiMutex());
    EXPECT_EQ(LockedTargetOf(dc)->pixels, std::vector<uint32_t>(6, 0));
  }
  SelectObject(dc, original);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

// The 3 x 2 bitmap of red, green, blue over blue, black, red, read back with a header
// of the given height and bit count: a buffer of 0xAA bytes, each row padded to 4 bytes.
struct ReadBack {
  int copied;
  std::vector<uint8_t> bytes;
};

ReadBack Read(Info info, UINT start, UINT lines) {
  HBITMAP bitmap = MakeBitmap(3, 2, {R, G, B, B, K, R});
  std::vector<uint8_t> bytes(2 * 12, 0xAA);
  BITMAPINFO* bmi = reinterpret_cast<BITMAPINFO*>(&info);
  int copied = GetDIBits(nullptr, bitmap, start, lines, bytes.data(), bmi, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  return {copied, bytes};
}

constexpr uint8_t P = 0xAA;  // left as it was

TEST(Dib, ReadsPixelsBackInEitherRowOrder) {
  struct ReadCase {
    const char* name;
    int height;
    int bits;
    std::vector<uint8_t> expected;
  } cases[] = {
      {"24 bit, bottom row first", 2, 24, {255, 0, 0, 0, 0, 0, 0, 0, 255, P, P, P,
                                            0, 0, 255, 0, 255, 0, 255, 0, 0, P, P, P}},
      {"24 bit, top row first", -2, 24, {0, 0, 255, 0, 255, 0, 255, 0, 0, P, P, P,
                                          255, 0, 0, 0, 0, 0, 0, 0, 255, P, P, P}},
      {"32 bit, bottom row first", 2, 32, {255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0,
                                            0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0}},
  };
  for (const ReadCase& c : cases) {
    ReadBack back = Read(MakeInfo(3, c.height, c.bits), 0, 2);
    EXPECT_EQ(back.copied, 2) << c.name;
    EXPECT_EQ(back.bytes, c.expected) << c.name;
  }
}

TEST(Dib, ReadsFromTheStartRowAndNoRowPastTheLast) {
  // Row 1 of a bottom-up read is the top row; it lands at the buffer's start.
  ReadBack back = Read(MakeInfo(3, 2, 32), 1, 5);
  EXPECT_EQ(back.copied, 1);
  const std::vector<uint8_t> top = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0};
  EXPECT_EQ(std::vector<uint8_t>(back.bytes.begin(), back.bytes.begin() + 12), top);
  EXPECT_EQ(std::vector<uint8_t>(back.bytes.begin() + 12, back.bytes.end()), std::vector<uint8_t>(12, P));
  EXPECT_EQ(Read(MakeInfo(3, 2, 32), 2, 1).copied, 0);
}

TEST(Dib, RefusesReadsItCannotServe) {
  struct Refused {
    const char* name;
    void (*change)(BITMAPINFOHEADER&);
  } cases[] = {
      {"8 bits", [](BITMAPINFOHEADER& h) { h.biBitCount = 8; }},
      {"bit-field masks", [](BITMAPINFOHEADER& h) { h.biCompression = BI_BITFIELDS; }},
      {"larger header", [](BITMAPINFOHEADER& h) { h.biSize = 108; }},
      {"another width", [](BITMAPINFOHEADER& h) { h.biWidth = 2; }},
      {"another height", [](BITMAPINFOHEADER& h) { h.biHeight = 3; }},
  };
  for (const Refused& c : cases) {
    Info info = MakeInfo(3, 2, 32);
    c.change(info.header);
    EXPECT_EQ(Read(info, 0, 2).copied, 0) << c.name;
  }
  std::vector<uint8_t> bytes(24);
  Info info = MakeInfo(3, 2, 32);
  BITMAPINFO* bmi = reinterpret_cast<BITMAPINFO*>(&info);
  EXPECT_EQ(GetDIBits(nullptr, nullptr, 0, 2, bytes.data(), bmi, DIB_RGB_COLORS), 0) << "no bitmap";
}

}  // namespace
