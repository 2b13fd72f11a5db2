#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/font.h"
#include "tests/platform/canvas.h"

namespace {

constexpr uint32_t kGrey = 0x808080, kWhite = 0xFFFFFF, kBlack = 0;
constexpr int kCanvasWidth = 700, kCanvasHeight = 80;

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
  EXPECT_GT(TextWidth("IT!", 3), 10);
}

// Lines are as tall as those of Windows' default font, and capitals stand where its do:
// from the third row of the line down to its baseline, the thirteenth.
TEST(Text, LinesAreAsTallAsWindowsDefaultFontsWithItsBaseline) {
  Canvas canvas(200, 40, kGrey);
  RECT rect = {0, 0, 200, 40};
  EXPECT_EQ(DrawTextA(canvas.dc, "H\nH", -1, &rect, DT_LEFT), 32);
  RECT first = {0, 0, 200, 16};
  Canvas one(200, 40, kGrey);
  SetBkMode(one.dc, TRANSPARENT);
  DrawTextA(one.dc, "H", -1, &first, DT_LEFT);
  Ink ink = InkOf(one, 200, 40);
  EXPECT_GE(ink.top, 2);
  EXPECT_LE(ink.top, 4);
  EXPECT_EQ(ink.bottom, 12);
}

// Widths that Windows gives these texts in its default font (measured under Wine):
// within 2 pixels and 2%, lines break and names centre as there.
TEST(Text, TextsAreAboutAsWideAsInTheWindowsDefaultFont) {
  struct WidthCase {
    const char* text;
    int windows;
  } cases[] = {
      {"Hello", 39},
      {"Mirra", 40},
      {"Rightmost", 77},
      {"WWWWWW MMMMMM", 167},
      {"fish & chips", 85},
      {"Quel:> a long line of chat that goes on past the right edge of the view and so", 578},
  };
  for (const WidthCase& c : cases) {
    EXPECT_NEAR(TextWidth(c.text, strlen(c.text)), c.windows, 2 + c.windows / 50) << c.text;
  }
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

// ---- As Windows lays text out ----

constexpr uint32_t kRed = 0xC80000;

int WidthOf(const std::string& text) { return TextWidth(text.data(), text.size()); }

// A line as Windows shows it, and which of its characters is underlined.
struct Shown {
  std::string text;
  int underlined = -1;
};

// What DrawTextA should draw, in red on grey: each line drawn by itself where it belongs
// with every "&" shown, and the underlined character's line, one pixel below the
// baseline from the character's left edge to a pixel short of its right edge.
std::vector<uint32_t> Expected(const std::vector<Shown>& lines, UINT format, RECT rect, int mode) {
  Canvas canvas(kCanvasWidth, kCanvasHeight, kGrey);
  SetBkMode(canvas.dc, mode);
  SetTextColor(canvas.dc, RGB(200, 0, 0));
  std::vector<uint32_t> underlines(size_t(kCanvasWidth) * kCanvasHeight, kGrey);
  for (size_t n = 0; n < lines.size(); n++) {
    const Shown& line = lines[n];
    const int top = rect.top + int(n) * FontLineHeight();
    RECT cell = {rect.left, top, rect.right, rect.bottom};
    DrawTextA(canvas.dc, line.text.c_str(), -1, &cell, (format & DT_CENTER) | DT_NOPREFIX);
    if (line.underlined < 0) continue;
    const int x = (format & DT_CENTER) ? (rect.left + rect.right - WidthOf(line.text)) / 2 : rect.left;
    const int from = x + WidthOf(line.text.substr(0, size_t(line.underlined)));
    const int end = x + WidthOf(line.text.substr(0, size_t(line.underlined) + 1)) - 1;
    const int row = top + FontAscent() + 1;
    for (int px = std::max<int>({from, rect.left, 0}); px < std::min<int>({end, rect.right, kCanvasWidth}); px++) {
      if (row >= rect.top && row < rect.bottom) underlines[size_t(row) * kCanvasWidth + px] = kRed;
    }
  }
  std::vector<uint32_t> pixels = canvas.Pixels();
  for (size_t i = 0; i < pixels.size(); i++) {
    if (underlines[i] == kRed) pixels[i] = kRed;
  }
  return pixels;
}

std::vector<uint32_t> Drawn(const std::string& text, UINT format, RECT rect, int mode, int* height = nullptr) {
  Canvas canvas(kCanvasWidth, kCanvasHeight, kGrey);
  SetBkMode(canvas.dc, mode);
  SetTextColor(canvas.dc, RGB(200, 0, 0));
  const int drawn = DrawTextA(canvas.dc, text.c_str(), int(text.size()), &rect, format);
  if (height) *height = drawn;
  return canvas.Pixels();
}

struct LayoutCase {
  const char* name;
  std::string text;
  UINT format;
  int width;  // of the rectangle
  std::vector<Shown> lines;
};

// "&" is the prefix character: it is not shown, "&&" shows one "&", and of a line's
// prefixed characters the last one is underlined. Lines are measured as they show.
TEST(Text, PrefixCharactersHideAndUnderlineAsOnWindows) {
  const int wide = 200;
  const LayoutCase cases[] = {
      {"the client's chat line", "Ceo:&> hi & bye", DT_WORDBREAK, 630, {{"Ceo:> hi  bye", 9}}},
      {"a double prefix", "a&&b", DT_LEFT, wide, {{"a&b"}}},
      {"a lone one at the end", "ab&", DT_LEFT, wide, {{"ab&"}}},
      {"a double and a single", "&&&x", DT_LEFT, wide, {{"&x", 1}}},
      {"the last of three", "&a&b&c", DT_LEFT, wide, {{"abc", 2}}},
      {"one per line", "a&b\nc&d", DT_LEFT, wide, {{"ab", 1}, {"cd", 1}}},
      {"one before a line break", "a&\nb", DT_LEFT, wide, {{"a"}, {"b"}}},
      {"centred on what shows", "a&bc", DT_CENTER, wide, {{"abc", 1}}},
      {"wrapped on what shows", "aaa &aaa", DT_WORDBREAK, WidthOf("aaa aaa"), {{"aaa aaa", 4}}},
      {"none with DT_NOPREFIX", "a&bc", DT_NOPREFIX, wide, {{"a&bc"}}},
  };
  for (const LayoutCase& c : cases) {
    const RECT rect = {10, 5, 10 + c.width, kCanvasHeight};
    EXPECT_EQ(Drawn(c.text, c.format, rect, TRANSPARENT), Expected(c.lines, c.format, rect, TRANSPARENT)) << c.name;
  }
}

// The underline is clipped to the rectangle like the text.
TEST(Text, TheUnderlineStopsAtTheRectanglesEdge) {
  const RECT rect = {0, 0, WidthOf("a") + 2, 30};
  const std::vector<uint32_t> pixels = Drawn("a&W", DT_LEFT, rect, TRANSPARENT);
  EXPECT_EQ(pixels, Expected({{"aW", 1}}, DT_LEFT, rect, TRANSPARENT));
  const int row = FontAscent() + 1;
  EXPECT_EQ(pixels[size_t(row) * kCanvasWidth + rect.right - 1], kRed);
  EXPECT_EQ(pixels[size_t(row) * kCanvasWidth + rect.right], kGrey);
}

// DT_WORDBREAK breaks as Windows does; opaque cells show the spaces a line keeps.
TEST(Text, LinesBreakAsOnWindows) {
  const LayoutCase cases[] = {
      {"keeps the spaces that fit", "aaa aaa aaa", DT_WORDBREAK, WidthOf("aaa a") - 1,
       {{"aaa "}, {"aaa "}, {"aaa"}}},
      {"keeps two spaces", "aaa  aaa", DT_WORDBREAK, WidthOf("aaa  a") - 1, {{"aaa  "}, {"aaa"}}},
      {"centred breaks before them", "aaa aaa aaa", DT_WORDBREAK | DT_CENTER, WidthOf("aaa a") - 1,
       {{"aaa"}, {"aaa"}, {"aaa"}}},
      {"drops the space at the break", "aaaa aaa", DT_WORDBREAK, WidthOf("aaaa"), {{"aaaa"}, {"aaa"}}},
      {"a word wider than the line", "aaaaaaaa aa", DT_WORDBREAK, WidthOf("aaa"), {{"aaaaaaaa"}, {"aa"}}},
      {"a first letter wider than the line", "aaa", DT_WORDBREAK, 1, {{"aaa"}}},
      {"LF CR is one break", "a\n\rb", DT_LEFT, 100, {{"a"}, {"b"}}},
      {"CR CR is two", "a\r\rb", DT_LEFT, 100, {{"a"}, {""}, {"b"}}},
      {"a break at the end starts no line", "a\n", DT_LEFT, 100, {{"a"}}},
  };
  for (const LayoutCase& c : cases) {
    const RECT rect = {10, 5, 10 + c.width, kCanvasHeight};
    int height = 0;
    EXPECT_EQ(Drawn(c.text, c.format, rect, OPAQUE, &height), Expected(c.lines, c.format, rect, OPAQUE)) << c.name;
    EXPECT_EQ(height, int(c.lines.size()) * FontLineHeight()) << c.name;
  }
}

// DT_CENTER starts a line at (left + right - width) / 2, rounded towards zero.
TEST(Text, CentringRoundsTowardsZero) {
  // A line of odd width that starts left of the bitmap and ends on it.
  std::string text = "a";
  while (WidthOf(text) < 40 || WidthOf(text) % 2 == 0) text += "a";
  ASSERT_LT(WidthOf(text), 100);
  const RECT rect = {-2 * WidthOf(text), 0, 100, 30};
  const int start = (rect.left + rect.right - WidthOf(text)) / 2;
  ASSERT_NE(start, rect.left + (rect.right - rect.left - WidthOf(text)) / 2);
  ASSERT_GT(start + WidthOf(text), 0);
  EXPECT_EQ(Drawn(text, DT_CENTER, rect, OPAQUE), Drawn(text, DT_LEFT, {start, 0, 100, 30}, OPAQUE));
}

// The line that reaches past the bottom is the last one drawn and counted: a line that
// ends on the bottom does not, so the one after it is laid out too, as on Windows.
TEST(Text, StopsAfterTheLineThatReachesPastTheBottom) {
  const int line = FontLineHeight();
  for (auto [bottom, lines] : {std::pair{line - 1, 1}, std::pair{line, 2}, std::pair{2 * line, 3}}) {
    Canvas canvas(kCanvasWidth, kCanvasHeight, kGrey);
    RECT rect = {0, 0, 100, bottom};
    EXPECT_EQ(DrawTextA(canvas.dc, "a\nb\nc\nd\ne", -1, &rect, DT_LEFT), lines * line) << "bottom " << bottom;
  }
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
  const int64_t textWidth = TextWidth("Ann", 3);
  const int64_t left = (c.format & DT_CENTER) ? (int64_t(c.rect.left) + c.rect.right - textWidth) / 2 : c.rect.left;
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
