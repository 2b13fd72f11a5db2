#include <gtest/gtest.h>

#include "client/world/collision.h"

namespace {

Actor At(int x, int y, int direction) {
  Actor a = {};
  a.x = WORD(x);
  a.y = WORD(y);
  a.speed = 7;
  a.width = 32;
  a.height = 48;
  a.direction = short(direction);
  return a;
}

Obstacle Block(int x, int y, int w, int h, int shape = ShapeRectangle) {
  return {WORD(x), WORD(y), WORD(w), WORD(h), BYTE(shape)};
}

Door DoorOver(const Obstacle& o) { return {o.x, o.y, o.width, o.height, o.shape, 1, 100, 100}; }

std::string Flags(MayMove m) {
  return std::string(m.up ? "" : "U") + (m.down ? "" : "D") + (m.left ? "" : "L") + (m.right ? "" : "R");
}

TEST(Collision, TheWorkedExample) {
  // Feet at 148, one step down reaches 155 inside the rectangle's rows 150..170.
  Obstacle o = Block(90, 150, 50, 20);
  EXPECT_EQ(Flags(CollideObstacle(o, At(100, 100, DirDown))), "D");
  EXPECT_TRUE(TouchesDoor(DoorOver(o), At(100, 100, DirDown)));
  // Snapped to feet 149 it is still blocked, and a door of the same place is not touched.
  EXPECT_EQ(Flags(CollideObstacle(o, At(100, 101 - 7, DirDown))), "D");
  EXPECT_FALSE(TouchesDoor(DoorOver(o), At(100, 101 - 7, DirDown)));
}

struct Case {
  const char* name;
  Obstacle obstacle;
  int x, y, direction;
  const char* blocked;  // the groups CollideObstacle blocks
  bool door;            // whether a door of the same place is touched
};

TEST(Collision, ShapesAgainstDirections) {
  const Case cases[] = {
      {"up into a rectangle's bottom row + 1", Block(0, 100, 100, 10), 10, 70, DirUp, "U", false},
      {"up into its bottom row", Block(0, 100, 100, 10), 10, 69, DirUp, "U", true},
      {"left into a rectangle", Block(0, 100, 50, 20), 55, 60, DirLeft, "L", true},
      {"right into a rectangle", Block(100, 100, 50, 20), 62, 60, DirRight, "R", true},
      {"right, feet below it", Block(100, 100, 50, 20), 62, 80, DirRight, "", false},
      {"diagonal narrowing lets it pass", Block(0, 150, 105, 20), 100, 100, DirDownRight, "", true},
      {"straight down is blocked", Block(0, 150, 105, 20), 100, 100, DirDown, "D", true},
      {"diagonal both halves", Block(100, 100, 50, 20), 62, 60, DirUpRight, "R", true},
      {"leaning right, down", Block(100, 150, 20, 30, ShapeLeansRight), 110, 100, DirDown, "D", true},
      {"leaning left row at the moved feet", Block(100, 150, 20, 30, ShapeLeansLeft), 60, 120, DirDown, "D", true},
      {"leaning band widened sideways", Block(100, 100, 20, 50, ShapeLeansRight), 80, 72, DirRight, "R", true},
      {"leaning right, up at the moved feet", Block(100, 150, 20, 30, ShapeLeansRight), 90, 122, DirUp, "U", true},
      {"leaning left, up at the moved feet", Block(100, 150, 20, 30, ShapeLeansLeft), 60, 122, DirUp, "U", true},
      {"leaning right, left, reached only by the widening", Block(100, 150, 20, 30, ShapeLeansRight), 144, 112,
       DirLeft, "L", true},
      {"leaning left, left, one beyond the widening", Block(100, 150, 20, 30, ShapeLeansLeft), 125, 112, DirLeft,
       "", false},
      {"leaning left, left, at the widening", Block(100, 150, 20, 30, ShapeLeansLeft), 124, 112, DirLeft, "L", true},
      {"leaning left, right", Block(100, 150, 20, 30, ShapeLeansLeft), 45, 112, DirRight, "R", true},
      {"down onto a rectangle's top row - 1", Block(0, 156, 200, 20), 10, 100, DirDown, "D", false},
      {"down onto its top row", Block(0, 156, 200, 20), 10, 101, DirDown, "D", true},
      {"narrowing at the left end too", Block(126, 150, 50, 20), 100, 100, DirDownLeft, "", true},
      {"straight down at that end", Block(126, 150, 50, 20), 100, 100, DirDown, "D", true},
      {"narrowing is only against rectangles", Block(0, 150, 105, 20, ShapeLeansRight), 100, 100, DirDownRight,
       "D", true},
      {"up-left both halves", Block(0, 130, 80, 30), 70, 100, DirUpLeft, "UL", true},
      {"up-left, the narrowed up half passes", Block(0, 130, 80, 30), 82, 100, DirUpLeft, "L", true},
      {"shape 0", Block(90, 150, 50, 20, 0), 100, 100, DirDown, "", false},
      {"unknown shape", Block(90, 150, 50, 20, 4), 100, 100, DirDown, "", false},
      {"unknown direction", Block(90, 150, 50, 20), 100, 100, 5, "", false},
  };
  for (const Case& c : cases) {
    Actor a = At(c.x, c.y, c.direction);
    EXPECT_EQ(Flags(CollideObstacle(c.obstacle, a)), c.blocked) << c.name;
    EXPECT_EQ(TouchesDoor(DoorOver(c.obstacle), a), c.door) << c.name;
  }
}

}  // namespace
