#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

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

// Text whose rectangle lies partly or wholly off a 120 x 40 bitmap, in both background
// modes. "Ann" fits in 40 pixels and "Ann Ann" does not, so every case's first line is
// "Ann".
constexpr int kWidth = 120, kHeight = 40;

struct OffBitmapCase {
  const char* name;
  RECT rect;
  UINT format;
  const char* text;
  bool partlyVisible;
};
void PrintTo(const OffBitmapCase& c, std::ostream* out) { *out << c.name; }

const OffBitmapCase kOffBitmapCases[] = {
    {"WhollyLeft", {-60, 5, -10, 30}, DT_LEFT, "Ann", false},
    {"WhollyRight", {kWidth + 10, 5, kWidth + 60, 30}, DT_LEFT, "Ann", false},
    {"WhollyAbove", {10, -40, 100, -10}, DT_LEFT, "Ann", false},
    {"WhollyBelow", {10, kHeight + 5, 100, kHeight + 40}, DT_LEFT, "Ann", false},
    {"CentredWhollyLeft", {-200, 5, -100, 30}, DT_CENTER, "Ann", false},
    {"WrappedWhollyRight", {kWidth + 1, 0, kWidth + 41, kHeight}, DT_WORDBREAK, "Ann Ann Ann", false},
    {"InvertedLeftAndRight", {80, 5, 20, 30}, DT_LEFT, "Ann", false},
    {"InvertedTopAndBottom", {10, 30, 100, 5}, DT_LEFT, "Ann", false},
    {"InvertedCentredWrapped", {100, 30, 10, 5}, DT_CENTER | DT_WORDBREAK, "Ann Ann", false},
    {"NearIntMinLeft", {INT_MIN, 0, INT_MIN + 10, kHeight}, DT_LEFT, "Ann", false},
    {"NearIntMaxRight", {INT_MAX - 10, 0, INT_MAX, kHeight}, DT_CENTER, "Ann", false},
    {"WholeRangeCentredFarAbove", {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, DT_CENTER | DT_WORDBREAK, "Ann Ann",
     false},
    {"OverTheLeftEdge", {-10, 5, 60, 30}, DT_LEFT, "Ann", true},
    {"OverTheRightEdge", {kWidth - 10, 5, kWidth + 60, 30}, DT_LEFT, "Ann", true},
    {"OverTheTopEdge", {10, -5, 100, 20}, DT_LEFT, "Ann", true},
    {"OverTheBottomEdge", {10, kHeight - 8, 100, kHeight + 30}, DT_LEFT, "Ann", true},
    {"CentredOverTheRightEdge", {kWidth - 40, 5, kWidth + 20, 30}, DT_CENTER, "Ann", true},
    {"WrappedOverTheBottomEdge", {10, kHeight - 8, 50, kHeight + 60}, DT_WORDBREAK, "Ann Ann Ann Ann", true},
    {"WrappedCentredOverTheTopLeftCorner", {-10, -5, 30, 20}, DT_CENTER | DT_WORDBREAK, "Ann Ann", true},
    {"WholeRangeCentredOnTheLeftEdge", {INT_MIN, 0, INT_MAX, kHeight}, DT_CENTER, "Ann", true},
};

struct Area {
  int64_t left, top, right, bottom;
  bool Holds(int64_t x, int64_t y) const { return x >= left && y >= top && x < right && y < bottom; }
  Area Intersect(const Area& other) const {
    return {std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
            std::min(bottom, other.bottom)};
  }
};

// The part of the rectangle that lies on the bitmap.
Area VisibleArea(const RECT& rect) {
  return Area{rect.left, rect.top, rect.right, rect.bottom}.Intersect({0, 0, kWidth, kHeight});
}

// The visible part of the first line's text cell.
Area FirstCell(const OffBitmapCase& c) {
  const int64_t width = int64_t(c.rect.right) - c.rect.left, textWidth = TextWidth("Ann", 3);
  const int64_t left = c.rect.left + ((c.format & DT_CENTER) ? (width - textWidth) / 2 : 0);
  const Area cell = {left, c.rect.top, left + textWidth, int64_t(c.rect.top) + FontLineHeight()};
  return cell.Intersect(VisibleArea(c.rect));
}

class OffBitmapTest : public testing::TestWithParam<std::tuple<OffBitmapCase, int>> {};

TEST_P(OffBitmapTest, DrawsOnlyTheVisiblePart) {
  ASSERT_LE(TextWidth("Ann", 3), 40);
  ASSERT_GT(TextWidth("Ann Ann", 7), 40);
  const auto& [c, mode] = GetParam();
  Canvas canvas(kWidth, kHeight, kGrey);
  SetBkMode(canvas.dc, mode);
  RECT rect = c.rect;
  DrawTextA(canvas.dc, c.text, -1, &rect, c.format);
  const std::vector<uint32_t> pixels = canvas.Pixels();
  const Area visible = VisibleArea(c.rect), cell = FirstCell(c);
  int outside = 0, ink = 0, blankInCell = 0;
  for (int y = 0; y < kHeight; y++) {
    for (int x = 0; x < kWidth; x++) {
      const uint32_t p = pixels[size_t(y) * kWidth + x];
      outside += !visible.Holds(x, y) && p != kGrey;
      if (!cell.Holds(x, y)) continue;
      ink += p == kBlack;
      blankInCell += p == kGrey;
    }
  }
  EXPECT_EQ(outside, 0) << "pixels changed outside the visible part";
  if (!c.partlyVisible) return;
  ASSERT_TRUE(cell.left < cell.right && cell.top < cell.bottom) << "the case's first line should be on the bitmap";
  EXPECT_GT(ink, 0) << "no text in the visible part of the first line";
  if (mode == OPAQUE) {
    EXPECT_EQ(blankInCell, 0) << "the visible part of the first line's cell is not all filled";
  }
}

INSTANTIATE_TEST_SUITE_P(Text, OffBitmapTest,
                         testing::Combine(testing::ValuesIn(kOffBitmapCases), testing::Values(OPAQUE, TRANSPARENT)),
                         [](const testing::TestParamInfo<OffBitmapTest::ParamType>& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  (std::get<1>(info.param) == OPAQUE ? "_Opaque" : "_Transparent");
                         });

}  // namespace
