#include <gtest/gtest.h>

#include <climits>

#include "platform/font.h"
#include "tests/platform/canvas.h"

namespace {

constexpr uint32_t kGrey = 0x808080, kWhite = 0xFFFFFF, kBlack = 0;

// The box around every pixel that is no longer grey.
struct Ink {
  int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
  bool Any() const { return left <= right; }
};

Ink InkOf(const Canvas& canvas, int width, int height) {
  Ink ink;
  for (int y = 0; y < height; y++) {
    for (int x = 0; x < width; x++) {
      if (canvas.At(x, y) == kGrey) continue;
      ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x), std::max(ink.bottom, y)};
    }
  }
  return ink;
}

TEST(Text, TheDefaultFontIsLoaded) {
  EXPECT_GE(FontLineHeight(), 10);
  EXPECT_LE(FontLineHeight(), 20);
  EXPECT_GT(TextWidth("IT!", 3), 10);
}

TEST(Text, LeftAlignedAtTheTopOfItsRectangle) {
  Canvas canvas(200, 40, kGrey);
  RECT rect = {20, 10, 200, 40};
  EXPECT_EQ(DrawTextA(canvas.dc, "Hello", -1, &rect, DT_LEFT), FontLineHeight());
  Ink ink = InkOf(canvas, 200, 40);
  EXPECT_GE(ink.left, 20);
  EXPECT_LE(ink.left, 22);
  EXPECT_GE(ink.top, 10);
  EXPECT_LT(ink.bottom, 10 + FontLineHeight());
}

TEST(Text, CentredOnItsRectangle) {
  Canvas canvas(300, 30, kGrey);
  SetBkMode(canvas.dc, TRANSPARENT);
  RECT rect = {100, 0, 222, 25};
  DrawTextA(canvas.dc, "Mirra", -1, &rect, DT_CENTER);
  Ink ink = InkOf(canvas, 300, 30);
  ASSERT_TRUE(ink.Any());
  EXPECT_NEAR((ink.left + ink.right) / 2.0, 161, 2.0);
}

TEST(Text, OpaqueFillsTheTextCellTransparentLeavesTheBackground) {
  for (int mode : {OPAQUE, TRANSPARENT}) {
    Canvas canvas(100, 30, kGrey);
    SetBkMode(canvas.dc, mode);
    RECT rect = {0, 0, 100, 30};
    DrawTextA(canvas.dc, "Ann", 3, &rect, DT_LEFT);
    int white = 0, black = 0, grey = 0;
    for (uint32_t p : canvas.Pixels()) (p == kWhite ? white : p == kBlack ? black : grey)++;
    EXPECT_GT(black, 0);
    EXPECT_EQ(white > 0, mode == OPAQUE);
    if (mode == OPAQUE) {
      // The cell is the text's width by one line.
      EXPECT_EQ(white + black, TextWidth("Ann", 3) * FontLineHeight());
    }
  }
}

TEST(Text, TakesTheTextColour) {
  Canvas canvas(60, 20, kGrey);
  SetBkMode(canvas.dc, TRANSPARENT);
  SetTextColor(canvas.dc, RGB(175, 150, 0));
  RECT rect = {0, 0, 60, 20};
  DrawTextA(canvas.dc, "IT!", 3, &rect, DT_CENTER);
  int gold = 0;
  for (uint32_t p : canvas.Pixels()) {
    EXPECT_TRUE(p == kGrey || p == 0xAF9600) << std::hex << p;
    gold += p == 0xAF9600;
  }
  EXPECT_GT(gold, 0);
}

TEST(Text, WrapsBetweenWordsAtTheRectanglesWidth) {
  const char* text = "tag you are it now run";
  int wordWidth = TextWidth("tag you", 7);
  Canvas canvas(300, 200, kGrey);
  RECT rect = {0, 0, wordWidth + 2, 200};
  int height = DrawTextA(canvas.dc, text, -1, &rect, DT_WORDBREAK);
  EXPECT_GT(height, 2 * FontLineHeight());
  Ink ink = InkOf(canvas, 300, 200);
  EXPECT_LE(ink.right, wordWidth + 1);
  EXPECT_EQ(ink.bottom / FontLineHeight() + 1, height / FontLineHeight());
  // Without DT_WORDBREAK the same text stays on one line.
  Canvas oneLine(300, 200, kGrey);
  EXPECT_EQ(DrawTextA(oneLine.dc, text, -1, &rect, DT_LEFT), FontLineHeight());
}

TEST(Text, AWordWiderThanTheRectangleKeepsItsLineAndIsClipped) {
  Canvas canvas(300, 100, kGrey);
  RECT rect = {0, 0, 30, 100};
  EXPECT_EQ(DrawTextA(canvas.dc, "Brambleduck", -1, &rect, DT_WORDBREAK), FontLineHeight());
  EXPECT_LE(InkOf(canvas, 300, 100).right, 29);
}

TEST(Text, LineBreaksStartNewLines) {
  Canvas canvas(100, 100, kGrey);
  RECT rect = {0, 0, 100, 100};
  EXPECT_EQ(DrawTextA(canvas.dc, "a\nb\r\nc", -1, &rect, DT_LEFT), 3 * FontLineHeight());
}

TEST(Text, NothingIsDrawnOutsideTheRectangleOrTheBitmap) {
  Canvas canvas(80, 40, kGrey);
  RECT rect = {-30, 5, 50, 20};  // starts left of the bitmap and ends mid-line
  DrawTextA(canvas.dc, "Wide words wrap and get cut", -1, &rect, DT_WORDBREAK | DT_CENTER);
  Ink ink = InkOf(canvas, 80, 40);
  ASSERT_TRUE(ink.Any());
  EXPECT_GE(ink.top, 5);
  EXPECT_LE(ink.bottom, 19);
  EXPECT_LE(ink.right, 49);
  RECT far = {INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  DrawTextA(canvas.dc, "far", -1, &far, DT_CENTER | DT_WORDBREAK);
}

}  // namespace
