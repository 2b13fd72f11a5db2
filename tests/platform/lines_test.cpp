#include <gtest/gtest.h>

#include <climits>

#include "tests/platform/canvas.h"

namespace {

constexpr uint32_t kBlue = 0x0000FF;

// Draws one line with a pen and returns the painted pixels as a picture, '#' for the
// pen's colour, row by row.
std::string Draw(int width, POINT from, POINT to, int w = 6, int h = 4) {
  Canvas canvas(w, h);
  HPEN pen = CreatePen(PS_SOLID, width, RGB(0, 0, 255));
  HGDIOBJ original = SelectObject(canvas.dc, pen);
  MoveToEx(canvas.dc, from.x, from.y, nullptr);
  LineTo(canvas.dc, to.x, to.y);
  SelectObject(canvas.dc, original);
  DeleteObject(pen);
  std::string out;
  for (int y = 0; y < h; y++) {
    if (y) out += '/';
    for (int x = 0; x < w; x++) out += canvas.At(x, y) == kBlue ? '#' : '.';
  }
  return out;
}

TEST(Lines, EndBeforeTheirEndPoint) {
  EXPECT_EQ(Draw(1, {1, 1}, {4, 1}), "....../.###../....../......");
  EXPECT_EQ(Draw(1, {0, 0}, {3, 3}), "#...../.#..../..#.../......");
  EXPECT_EQ(Draw(1, {4, 3}, {1, 3}), "....../....../....../..###.");
  EXPECT_EQ(Draw(1, {2, 2}, {2, 2}), "....../....../....../......");
}

// Wide pens as Windows paints them (measured under Wine): the tip, width / 2 above and
// left of each point, covers both ends; from width 3 on its corners are left out.
TEST(Lines, AWidePenPaintsItsTipAtEveryPointBothEndsIncluded) {
  struct WideCase {
    const char* name;
    int width;
    POINT from, to;
    const char* expected;
  } cases[] = {
      {"the radar's dot", 2, {2, 2}, {3, 2}, "....../.###../.###../......"},
      {"no length", 2, {2, 2}, {2, 2}, "....../.##.../.##.../......"},
      {"leftwards", 2, {3, 2}, {2, 2}, "....../.###../.###../......"},
      {"down", 2, {1, 1}, {1, 3}, "##..../##..../##..../##...."},
      {"width 3", 3, {2, 1}, {4, 1}, "..###./.#####/..###./......"},
      {"width 4", 4, {2, 2}, {3, 2}, ".###../#####./#####./.###.."},
      {"clipped at the corner", 2, {5, 3}, {6, 3}, "....../....../....##/....##"},
  };
  for (const WideCase& c : cases) EXPECT_EQ(Draw(c.width, c.from, c.to), c.expected) << c.name;
}

TEST(Lines, ClipToTheBitmapWhateverTheCoordinates) {
  EXPECT_EQ(Draw(1, {INT_MIN, 2}, {INT_MAX, 2}), "....../....../######/......");
  EXPECT_EQ(Draw(1, {-10, -10}, {-1, -1}), "....../....../....../......");
  EXPECT_EQ(Draw(3, {INT_MAX, INT_MAX}, {INT_MIN, INT_MIN}).find('#') != std::string::npos, true);
}

TEST(Lines, MoveToReportsThePreviousPosition) {
  Canvas canvas(2, 2);
  POINT previous = {-1, -1};
  MoveToEx(canvas.dc, 1, 1, nullptr);
  LineTo(canvas.dc, 0, 1);
  MoveToEx(canvas.dc, 0, 0, &previous);
  EXPECT_EQ(previous.x, 0);
  EXPECT_EQ(previous.y, 1);
}

}  // namespace
