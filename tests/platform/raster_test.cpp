#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>
#include <thread>
#include <utility>

#include "tests/platform/canvas.h"

namespace {

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;

struct RopCase {
  const char* name;
  uint32_t dest, src;
  DWORD rop;
  uint32_t expected;
};

TEST(Raster, OperationsCombinePixels) {
  const RopCase cases[] = {
      {"copy", kRed, kGreen, SRCCOPY, kGreen},
      {"and keeps what a white mask keeps", 0x123456, kWhite, SRCAND, 0x123456},
      {"and clears where the mask is black", 0x123456, 0, SRCAND, 0},
      {"or paints a colour cell", 0x100000, 0x000FF0, SRCPAINT, 0x100FF0},
  };
  for (const RopCase& c : cases) {
    Canvas dest(1, 1, c.dest), src(1, 1, c.src);
    EXPECT_TRUE(BitBlt(dest.dc, 0, 0, 1, 1, src.dc, 0, 0, c.rop)) << c.name;
    EXPECT_EQ(dest.At(0, 0), c.expected) << c.name;
  }
}

TEST(Raster, MaskThenColourDrawsATransparentSprite) {
  // A 2 x 1 sprite: the left pixel transparent, the right one blue.
  Canvas background(2, 1, {kRed, kGreen});
  Canvas mask(2, 1, {kWhite, 0});
  Canvas colour(2, 1, {0, kBlue});
  Canvas scratch(2, 1);
  BitBlt(scratch.dc, 0, 0, 2, 1, background.dc, 0, 0, SRCCOPY);
  BitBlt(scratch.dc, 0, 0, 2, 1, mask.dc, 0, 0, SRCAND);
  BitBlt(scratch.dc, 0, 0, 2, 1, colour.dc, 0, 0, SRCPAINT);
  EXPECT_EQ(scratch.At(0, 0), kRed);
  EXPECT_EQ(scratch.At(1, 0), kBlue);
}

TEST(Raster, UnknownOperationIsRefused) {
  Canvas dest(1, 1, kRed), src(1, 1, kGreen);
  EXPECT_FALSE(BitBlt(dest.dc, 0, 0, 1, 1, src.dc, 0, 0, 0x00660046));
  EXPECT_EQ(dest.At(0, 0), kRed);
}

// Blits of a 3 x 2 source holding 1..6 into a 4 x 3 destination of zeros; the result
// is written row by row, '.' for an untouched pixel.
struct ClipCase {
  const char* name;
  int x, y, cx, cy, x1, y1;
  const char* expected;
};

std::string Render(const Canvas& canvas, int width) {
  std::string out;
  std::vector<uint32_t> pixels = canvas.Pixels();
  for (size_t i = 0; i < pixels.size(); i++) {
    if (i > 0 && i % width == 0) out += '/';
    out += pixels[i] ? char('0' + pixels[i]) : '.';
  }
  return out;
}

TEST(Raster, BlitsClipToBothBitmaps) {
  const ClipCase cases[] = {
      {"whole", 0, 0, 3, 2, 0, 0, "123./456./...."},
      {"left and top edge", -1, -1, 3, 2, 0, 0, "56../..../...."},
      {"right edge", 2, 0, 3, 2, 0, 0, "..12/..45/...."},
      {"bottom edge", 0, 2, 3, 2, 0, 0, "..../..../123."},
      {"source smaller than asked", 0, 0, 4, 3, 0, 0, "123./456./...."},
      {"source before its origin", 0, 0, 3, 2, -1, -1, "..../.12./...."},
      {"source past its end", 0, 0, 2, 2, 2, 1, "6.../..../...."},
      {"outside the destination", 4, 0, 3, 2, 0, 0, "..../..../...."},
      {"outside the source", 0, 0, 3, 2, 3, 0, "..../..../...."},
      {"empty", 0, 0, 0, 2, 0, 0, "..../..../...."},
      {"negative size", 2, 2, -2, -2, 0, 0, "..../..../...."},
      {"extreme", INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MAX, INT_MIN, "..../..../...."},
      {"extreme size", 0, 0, INT_MAX, INT_MAX, 0, 0, "123./456./...."},
  };
  for (const ClipCase& c : cases) {
    Canvas source(3, 2, {1, 2, 3, 4, 5, 6});
    Canvas dest(4, 3);
    BitBlt(dest.dc, c.x, c.y, c.cx, c.cy, source.dc, c.x1, c.y1, SRCCOPY);
    EXPECT_EQ(Render(dest, 4), c.expected) << c.name;
  }
}

TEST(Raster, BlitWithinOneBitmapReadsTheOriginal) {
  Canvas canvas(4, 1, {1, 2, 3, 4});
  BitBlt(canvas.dc, 1, 0, 3, 1, canvas.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(Render(canvas, 4), "1123");
}

TEST(Raster, StretchDoublesEveryPixelIntoABlock) {
  Canvas source(2, 2, {1, 2, 3, 4});
  Canvas dest(4, 4);
  EXPECT_TRUE(StretchBlt(dest.dc, 0, 0, 4, 4, source.dc, 0, 0, 2, 2, SRCCOPY));
  EXPECT_EQ(Render(dest, 4), "1122/1122/3344/3344");
}

// A fresh device context stretches in the default mode, BLACKONWHITE; under Wine a
// shrink ANDs together the source pixels that fall in each destination pixel, and a
// stretch repeats the one under its centre. Source pixel n has every colour bit set but
// bit n, so each destination pixel names the source pixels it was made of: "a" for
// pixel 0, "b" for pixel 1, and so on. The expected runs are the ones Wine made.
std::vector<uint32_t> OneBitOff(int count) {
  std::vector<uint32_t> pixels;
  for (int n = 0; n < count; n++) pixels.push_back(0xFFFFFF & ~(1u << n));
  return pixels;
}

std::string Named(uint32_t pixel, int count) {
  std::string names;
  for (int n = 0; n < count; n++) {
    if (!(pixel & (1u << n))) names += char('a' + n);
  }
  return names;
}

TEST(Raster, StretchAndsWhatItDropsAndRepeatsWhatItWidens) {
  const struct {
    int from, to;
    const char* runs;
  } cases[] = {
      {24, 23, "a b c d e f g h i j k lm n o p q r s t u v w x"},
      {24, 20, "a b cd e f g h ij k l m n op q r s t uv w x"},
      {24, 16, "ab c de f gh i jk l mn o pq r st u vw x"},
      {24, 15, "ab c de f gh ij k lm n op qr s tu v wx"},
      {24, 11, "ab cd efg hi jk lm no pq rst uv wx"},
      {24, 10, "ab cde fg hij kl mn opq rs tuv wx"},
      {24, 7, "abc defg hij klmn opq rstu vwx"},
      {24, 5, "abcde fghij klmn opqrs tuvwx"},
      {24, 2, "abcdefghijkl mnopqrstuvwx"},
      {5, 2, "abc de"},
      {5, 3, "ab c de"},
      {5, 5, "a b c d e"},
      {5, 7, "a b b c d d e"},
      {5, 8, "a a b c c d e e"},
      {5, 13, "a a a b b c c c d d e e e"},
  };
  for (const auto& c : cases) {
    for (bool across : {true, false}) {
      Canvas source(across ? c.from : 1, across ? 1 : c.from, OneBitOff(c.from));
      Canvas dest(across ? c.to : 1, across ? 1 : c.to);
      ASSERT_TRUE(StretchBlt(dest.dc, 0, 0, across ? c.to : 1, across ? 1 : c.to, source.dc, 0, 0,
                             across ? c.from : 1, across ? 1 : c.from, SRCCOPY));
      std::string runs;
      for (uint32_t pixel : dest.Pixels()) runs += (runs.empty() ? "" : " ") + Named(pixel, c.from);
      EXPECT_EQ(runs, c.runs) << c.from << " to " << c.to << (across ? " across" : " down");
    }
  }
}

// Shrinking both ways ANDs the source rectangle that falls in each destination pixel;
// pixel n of the 4 x 6 source is at x = n % 4, y = n / 4.
TEST(Raster, StretchShrinksRowsAndColumnsTogether) {
  Canvas source(4, 6, OneBitOff(24));
  Canvas dest(3, 4);
  ASSERT_TRUE(StretchBlt(dest.dc, 0, 0, 3, 4, source.dc, 0, 0, 4, 6, SRCCOPY));
  std::string runs;
  for (uint32_t pixel : dest.Pixels()) runs += (runs.empty() ? "" : " ") + Named(pixel, 24);
  EXPECT_EQ(runs, "ae bcfg dh i jk l mq nors pt u vw x");
}

TEST(Raster, StretchClipsToBothBitmaps) {
  Canvas source(2, 2, {1, 2, 3, 4});
  Canvas dest(3, 3);
  // Half of the doubled picture lies left of and above the destination...
  StretchBlt(dest.dc, -1, -1, 4, 4, source.dc, 0, 0, 2, 2, SRCCOPY);
  EXPECT_EQ(Render(dest, 3), "122/344/344");
  // ...and a source rectangle past the source's edge draws only what exists.
  Canvas other(3, 3);
  StretchBlt(other.dc, 0, 0, 3, 3, source.dc, 1, 1, 3, 3, SRCCOPY);
  EXPECT_EQ(Render(other, 3), "4../.../...");
  EXPECT_FALSE(StretchBlt(other.dc, 0, 0, 3, 3, source.dc, 0, 0, 2, 2, SRCAND));
  EXPECT_TRUE(StretchBlt(other.dc, INT_MIN, INT_MIN, INT_MAX, INT_MAX, source.dc, 0, 0, 2, 2, SRCCOPY));
}

TEST(DeviceContext, StartsWithTheWindowsDefaults) {
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
  EXPECT_EQ(SetTextColor(dc, RGB(1, 2, 3)), RGB(0, 0, 0));
  // The default bitmap is 1 x 1 and the default pen black: a line paints its pixel.
  Canvas white(2, 2, kWhite);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, 2, 2);
  HGDIOBJ defaultBitmap = SelectObject(dc, bitmap);
  ASSERT_NE(defaultBitmap, nullptr);
  BitBlt(dc, 0, 0, 2, 2, white.dc, 0, 0, SRCCOPY);
  MoveToEx(dc, 0, 0, nullptr);
  LineTo(dc, 2, 0);
  {
    std::lock_guard lock(GdiMutex());
    EXPECT_EQ(LockedTargetOf(dc)->Row(0)[0], 0u);
    EXPECT_EQ(LockedTargetOf(dc)->Row(0)[1], 0u);
    EXPECT_EQ(LockedTargetOf(dc)->Row(1)[0], kWhite);
  }
  EXPECT_EQ(SelectObject(dc, defaultBitmap), bitmap);
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_TRUE(DeleteDC(dc));
}

TEST(DeviceContext, ObjectsInUseAreKeptAndStaleHandlesRefused) {
  HDC first = CreateCompatibleDC(nullptr);
  HDC second = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(first, 4, 4);
  HGDIOBJ original = SelectObject(first, bitmap);
  EXPECT_EQ(SelectObject(second, bitmap), nullptr) << "a bitmap lives in one context at a time";
  EXPECT_FALSE(DeleteObject(bitmap)) << "selected bitmaps are not deleted";
  SelectObject(first, original);
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_FALSE(DeleteObject(bitmap));
  EXPECT_EQ(SelectObject(first, bitmap), nullptr);
  EXPECT_TRUE(DeleteDC(first));
  EXPECT_FALSE(DeleteDC(first));
  EXPECT_FALSE(BitBlt(first, 0, 0, 1, 1, second, 0, 0, SRCCOPY));
  EXPECT_EQ(SelectObject(second, CreatePalette(nullptr)), nullptr);
  DeleteDC(second);
}

TEST(DeviceContext, RefusesBitmapsItCannotHold) {
  EXPECT_EQ(CreateCompatibleBitmap(nullptr, 0, 5), nullptr);
  EXPECT_EQ(CreateCompatibleBitmap(nullptr, 5, -1), nullptr);
  EXPECT_EQ(CreateCompatibleBitmap(nullptr, INT_MAX, INT_MAX), nullptr);
}

// Paints every pixel of `bitmap` white.
void PaintWhite(HBITMAP bitmap, int width, int height) {
  Canvas white(width, height, kWhite);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ original = SelectObject(dc, bitmap);
  BitBlt(dc, 0, 0, width, height, white.dc, 0, 0, SRCCOPY);
  SelectObject(dc, original);
  DeleteDC(dc);
}

// Whether every pixel of `bitmap` is black and its memory holds its pixels and no more
// (so that the address sanitizer sees a write past its end).
testing::AssertionResult BlackAndExact(HBITMAP bitmap) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ original = SelectObject(dc, bitmap);
  testing::AssertionResult result = testing::AssertionSuccess();
  {
    std::lock_guard lock(GdiMutex());
    const Pixmap& pixmap = *LockedTargetOf(dc);
    const std::vector<uint32_t> black(size_t(pixmap.width) * size_t(pixmap.height), 0);
    if (pixmap.pixels != black) result = testing::AssertionFailure() << "a pixel is not black";
    if (pixmap.pixels.capacity() != black.size()) result = testing::AssertionFailure() << "its memory is larger";
  }
  SelectObject(dc, original);
  DeleteDC(dc);
  return result;
}

// A bitmap drawn on and deleted, bitmaps of the sizes listed after it made and deleted,
// then a new one.
struct AfterDeletedCase {
  const char* name;
  int drawnWidth, drawnHeight;
  std::vector<std::pair<int, int>> between;
  int width, height;
};

TEST(DeviceContext, NewBitmapsAreBlackWhateverDeletedOnesHeld) {
  const AfterDeletedCase cases[] = {
      {"a frame's back buffer after the last", 640, 380, {}, 640, 380},
      {"as many pixels in another shape", 8, 2, {}, 4, 4},
      {"after smaller bitmaps came and went", 64, 48, {{32, 48}, {34, 34}, {1, 1}, {32, 48}}, 64, 48},
      {"another size", 8, 8, {}, 9, 9},
  };
  for (const AfterDeletedCase& c : cases) {
    HBITMAP drawn = CreateCompatibleBitmap(nullptr, c.drawnWidth, c.drawnHeight);
    PaintWhite(drawn, c.drawnWidth, c.drawnHeight);
    ASSERT_TRUE(DeleteObject(drawn)) << c.name;
    for (auto [width, height] : c.between) DeleteObject(CreateCompatibleBitmap(nullptr, width, height));
    HBITMAP bitmap = CreateCompatibleBitmap(nullptr, c.width, c.height);
    EXPECT_TRUE(BlackAndExact(bitmap)) << c.name;
    DeleteObject(bitmap);
  }
}

TEST(DeviceContext, BitmapsMadeAndDeletedOnTwoThreadsComeBlack) {
  auto drawAndDelete = [] {
    for (int i = 0; i < 200; i++) {
      HBITMAP bitmap = CreateCompatibleBitmap(nullptr, 16, 16);
      EXPECT_TRUE(BlackAndExact(bitmap));
      PaintWhite(bitmap, 16, 16);
      DeleteObject(bitmap);
    }
  };
  std::thread other(drawAndDelete);
  drawAndDelete();
  other.join();
}

TEST(DeviceContext, BitmapsAndPalettesCanBeMadeWhileAnotherThreadDraws) {
  Canvas dest(64, 64), src(64, 64, kRed);
  std::thread maker([] {
    for (int i = 0; i < 200; i++) {
      HBITMAP bitmap = MakeBitmap(8, 8, std::vector<uint32_t>(64, kBlue));
      LOGPALETTE palette = {0x300, 1, {{1, 2, 3, PC_NOCOLLAPSE}}};
      HPALETTE handle = CreatePalette(&palette);
      EXPECT_NE(bitmap, nullptr);
      EXPECT_NE(handle, nullptr);
      DeleteObject(bitmap);
      DeleteObject(handle);
    }
  });
  for (int i = 0; i < 200; i++) BitBlt(dest.dc, 0, 0, 64, 64, src.dc, 0, 0, SRCCOPY);
  maker.join();
  EXPECT_EQ(dest.At(63, 63), kRed);
}

}  // namespace
