#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "client/shell/shell.h"
#include "client/world/game_tick.h"
#include "client/world/level.h"
#include "client/world/world.h"
#include "platform/testing.h"
#include "tests/client/render/picture_files.h"

namespace {

// A level of the given size and records, set into the level state as LoadLevel does:
// the arrays are the level's own.
void SetLevel(int width, int height, const std::vector<Obstacle>& obstacleList, const std::vector<Door>& doorList) {
  mapWidth = width;
  mapHeight = height;
  delete[] obstacles;
  delete[] doors;
  obstacleCount = WORD(obstacleList.size());
  doorCount = BYTE(doorList.size());
  obstacles = new Obstacle[obstacleCount];
  doors = new Door[doorCount];
  std::copy(obstacleList.begin(), obstacleList.end(), obstacles);
  std::copy(doorList.begin(), doorList.end(), doors);
}

class Tick : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    UseTestDesktop();
    mainWindow = MakeTestWindow(640, 480);
    windowDC = GetDC(mainWindow);
  }
  void SetUp() override {
    for (BYTE& k : keyDown) k = 0;
    localSlot = 0;
    Actor& p = players[0];
    p = {};
    p.speed = 7;
    p.width = 32;
    p.height = 48;
    p.animPeriod = 3;
    p.active = 1;
    p.x = 500;
    p.y = 500;
    scrollX = 190;
    scrollY = 300;
    SetLevel(2000, 1600, {}, {});
  }
  static Actor& Me() { return players[0]; }
  static void Hold(int vk, bool down) { keyDown[vk] = down ? 1 : 0; }
};

TEST_F(Tick, TheFirstTickOfAnArrowOnlyTurns) {
  Hold(VK_RIGHT, true);
  GameTick();
  EXPECT_EQ(Me().direction, DirRight);
  EXPECT_EQ(Me().x, 500);
  Hold(VK_RIGHT, false);
  GameTick();
  EXPECT_EQ(Me().x, 507) << "one last step after release";
  GameTick();
  EXPECT_EQ(Me().x, 507);

  Hold(VK_DOWN, true);
  GameTick();
  GameTick();
  Hold(VK_DOWN, false);
  GameTick();
  GameTick();
  EXPECT_EQ(Me().y, 514) << "two ticks held move 14 in all";
}

TEST_F(Tick, LaterArrowsOverrideEarlierOnes) {
  struct Case {
    std::vector<int> keys;
    int direction;
  } cases[] = {
      {{VK_LEFT, VK_RIGHT}, DirLeft},
      {{VK_UP, VK_DOWN}, DirUp},
      {{VK_UP, VK_DOWN, VK_LEFT}, DirUpLeft},
      {{VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT}, DirUpLeft},
      {{VK_DOWN, VK_RIGHT}, DirDownRight},
  };
  for (const Case& c : cases) {
    for (BYTE& k : keyDown) k = 0;
    for (int key : c.keys) Hold(key, true);
    GameTick();
    EXPECT_EQ(Me().direction, c.direction);
  }
}

TEST_F(Tick, StandingFacingDownNextToARectangleSnapsAbove) {
  // Feet at 548; the rectangle's top at 552 is within one step.
  SetLevel(2000, 1600, {{480, 552, 100, 20, ShapeRectangle}}, {});
  GameTick();
  EXPECT_EQ(Me().y + Me().height, 551) << "one pixel above the top";
}

// A player standing by a rectangle within its own size of the map's edge: the snap would
// put it off the map and is not made. A rectangle a pixel further in gives a snap to the
// outermost place on the map, which is made.
TEST_F(Tick, ASnapThatWouldLeaveTheMapIsNotMade) {
  struct Case {
    const char* what;
    Obstacle obstacle;
    int x, y;
    short direction;
    int toX, toY;
  };
  const Case cases[] = {
      {"down, above the top edge", {100, 30, 100, 80, ShapeRectangle}, 190, 53, DirDown, 190, 53},
      {"down, to the top row", {100, 49, 100, 80, ShapeRectangle}, 190, 53, DirDown, 190, 0},
      {"up, the feet below the bottom edge", {100, 250, 100, 50, ShapeRectangle}, 150, 220, DirUp, 150, 220},
      {"up, the feet on the bottom row", {100, 250, 100, 48, ShapeRectangle}, 150, 220, DirUp, 150, 251},
      {"right, left of the left edge", {10, 100, 100, 50, ShapeRectangle}, 2, 80, DirRight, 2, 80},
      {"right, to the left column", {33, 100, 100, 50, ShapeRectangle}, 2, 80, DirRight, 0, 80},
      {"left, beyond the right edge", {300, 100, 90, 50, ShapeRectangle}, 370, 80, DirLeft, 370, 80},
      {"left, to the right column", {300, 100, 66, 50, ShapeRectangle}, 370, 80, DirLeft, 367, 80},
  };
  for (const Case& c : cases) {
    SetLevel(400, 300, {c.obstacle}, {});
    Me().x = WORD(c.x);
    Me().y = WORD(c.y);
    Me().direction = c.direction;
    GameTick();
    EXPECT_EQ(Me().x, c.toX) << c.what;
    EXPECT_EQ(Me().y, c.toY) << c.what;
  }
}

TEST_F(Tick, WalkingLeftStopsAtSeven) {
  Me().x = 14;
  Me().direction = DirLeft;
  Me().moving = 1;
  Hold(VK_LEFT, true);
  for (int i = 0; i < 5; i++) GameTick();
  EXPECT_EQ(Me().x, 7);
}

TEST_F(Tick, TheCameraStopsBeforeTheMapsRightEdge) {
  Me().x = 1000;
  scrollX = 690;
  Hold(VK_RIGHT, true);
  for (int i = 0; i < 200; i++) GameTick();
  EXPECT_LE(scrollX, 1359);
  EXPECT_GE(scrollX, 1353);
}

TEST_F(Tick, TheFirstDoorTouchedIsTakenIntoANarrowMap) {
  TempFolder folder;
  // A 200 x 150 picture: a 400 x 300 map, narrower and lower than the view.
  WriteFile("images/bg/shop.bmp", Bmp24(200, 150, std::vector<uint32_t>(200 * 150, 0x808080)));
  Bytes level = {8, 's', 'h', 'o', 'p', '.', 'b', 'm', 'p', 0, 0, 0, 0};
  WriteFile("levels/maps/drugstore.lvl", level);
  SetLevel(2000, 1600, {},
           {{480, 552, 100, 20, ShapeRectangle, 1, 100, 120}, {480, 552, 100, 20, ShapeRectangle, 2, 300, 300}});
  GameTick();
  EXPECT_EQ(Me().map, 1);
  EXPECT_EQ(Me().x, 100);
  EXPECT_EQ(Me().y, 120);
  EXPECT_EQ(mapWidth, 400);
  EXPECT_EQ(scrollX, 0);
  EXPECT_EQ(scrollY, 0);
}

TEST_F(Tick, ADoorToNoMapIsNeverTaken) {
  SetLevel(2000, 1600, {}, {{480, 552, 100, 20, ShapeRectangle, 10, 100, 120}});
  GameTick();
  EXPECT_EQ(Me().map, 0);
  EXPECT_EQ(Me().x, 500);
}

TEST_F(Tick, ADoorWhoseMapCannotBeLoadedEndsTheProgram) {
  TempFolder folder;
  SetLevel(2000, 1600, {}, {{480, 552, 100, 20, ShapeRectangle, 3, 100, 120}});
  testing::internal::CaptureStderr();
  GameTick();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Brambleduck error: Error reading in a map.  Be sure this was correctly installed!\n");
  bool quit = false;
  PumpMessages(&quit);
  EXPECT_TRUE(quit);
}

}  // namespace
