// A player walks the generated town through the client's window procedure, with the game
// data of the build: from the first start point to a door, into the room behind it, and
// out through that room's door back to the town. The way is planned with the level
// generator's own walking rules; the keys are pressed and the timer fired as the desktop
// would.
#include <gtest/gtest.h>

#include <vector>

#include "client/shell/shell.h"
#include "client/world/level.h"
#include "client/world/world.h"
#include "content/generator/level_walk.h"
#include "platform/testing.h"
#include "tests/client/support/client_harness.h"

namespace {

// The arrows held for each of the eight directions.
struct Arrows {
  short direction;
  bool down, right, left, up;
};
constexpr Arrows kArrows[] = {
    {DirDown, true, false, false, false},    {DirLeft, false, false, true, false},
    {DirUp, false, false, false, true},      {DirRight, false, true, false, false},
    {DirDownLeft, true, false, true, false}, {DirUpLeft, false, false, true, true},
    {DirUpRight, false, true, false, true},  {DirDownRight, true, true, false, false},
};

// The level the client has loaded, in the generator's terms.
struct LoadedLevel {
  Level level;
  LevelMap Map() const { return {&level, mapWidth, mapHeight}; }
};

LoadedLevel CurrentLevel() {
  LoadedLevel loaded;
  loaded.level.obstacles.assign(obstacles, obstacles + obstacleCount);
  loaded.level.doors.assign(doors, doors + doorCount);
  return loaded;
}

Position Here() {
  std::lock_guard lock(worldLock);
  return {LocalPlayer().x, LocalPlayer().y};
}

int MapHere() {
  std::lock_guard lock(worldLock);
  return LocalPlayer().map;
}

// The directions, a tick each, that walk from `from` through the first door (in level
// order) that leads to a map `wanted` accepts and can be reached on foot; the last
// one takes the door. No steps when there is none.
struct Way {
  std::vector<short> steps;
  Door door;
};

template <typename Wanted>
Way WayToADoor(const LoadedLevel& loaded, Position from, Wanted wanted) {
  LevelMap map = loaded.Map();
  Exploration all = Explore(map, {from}, {}, Ticks::Steps);  // the player walks on without a stop
  for (size_t k = 0; k < loaded.level.doors.size(); k++) {
    if (!all.DoorTaken(k) || !wanted(loaded.level.doors[k].targetMap)) continue;
    const std::vector<Position>& places = all.wayToDoor[k];
    Way way = {{}, loaded.level.doors[k]};
    for (size_t i = 0; i + 1 < places.size(); i++) {
      for (short d : kWalkDirections) {
        if (WalkTick(map, places[i], d).to == places[i + 1]) {
          way.steps.push_back(d);
          break;
        }
      }
    }
    for (short d : kWalkDirections) {
      if (WalkTick(map, places.back(), d).door == int(k)) {
        way.steps.push_back(d);
        return way;
      }
    }
  }
  return {};
}

class TownWalk : public testing::Test {
 protected:
  void SetUp() override { OpenClient(); }

  // One tick of the game timer with `arrows` held (and every other arrow up).
  static void Tick(const Arrows& arrows) {
    const std::pair<int, bool> keys[] = {
        {VK_DOWN, arrows.down}, {VK_RIGHT, arrows.right}, {VK_LEFT, arrows.left}, {VK_UP, arrows.up}};
    for (auto [key, held] : keys) {
      bool down;
      {
        std::lock_guard lock(worldLock);
        down = keyDown[key];
      }
      if (held && !down) PressKey(key);
      if (!held && down) ReleaseKey(key);
    }
    AdvanceClock(40);
    PumpMessages();
  }

  static const Arrows& ArrowsFor(short direction) {
    for (const Arrows& a : kArrows) {
      if (a.direction == direction) return a;
    }
    return kArrows[0];
  }

  // Walks the way, checking each step against the plan, and takes the door at its end.
  static testing::AssertionResult Walk(const LoadedLevel& loaded, const Way& way) {
    Position at = Here();
    bool standing;
    {
      std::lock_guard lock(worldLock);
      standing = !LocalPlayer().moving;
    }
    if (standing) {
      Tick(ArrowsFor(way.steps.front()));  // the first tick after standing only turns
      if (!(Here() == at)) return testing::AssertionFailure() << "the turn moved the player";
    }
    for (size_t i = 0; i < way.steps.size(); i++) {
      Tick(ArrowsFor(way.steps[i]));
      Position expected = i + 1 < way.steps.size() ? WalkTick(loaded.Map(), at, way.steps[i]).to
                                                   : Position{way.door.targetX, way.door.targetY};
      at = Here();
      if (!(at == expected)) {
        return testing::AssertionFailure() << "step " << i << " of " << way.steps.size() << " went to (" << at.x
                                           << ", " << at.y << ") instead of (" << expected.x << ", " << expected.y
                                           << ")";
      }
    }
    if (MapHere() != way.door.targetMap) return testing::AssertionFailure() << "the door was not taken";
    return testing::AssertionSuccess();
  }

  GameFolder folder_;
};

TEST_F(TownWalk, FromTheFirstStartIntoARoomAndBackOut) {
  ClickAt(mainWindow, 590, 390);  // "Go!": no server answers, and the player walks alone
  PumpMessages();
  ASSERT_EQ(started, 1);
  ASSERT_TRUE(StatusBecomes("Could not connect."));
  const Position start = Here();
  EXPECT_EQ(start, (Position{350, 200}));

  LoadedLevel town = CurrentLevel();
  Way in = WayToADoor(town, start, [](int map) { return map > 0 && map < kMapCount; });
  ASSERT_FALSE(in.steps.empty()) << "no door of the town can be reached";
  ASSERT_TRUE(Walk(town, in));
  EXPECT_TRUE(scrollX == 0 || scrollX + 640 <= mapWidth) << "the view stays on the room";

  LoadedLevel room = CurrentLevel();
  Way out = WayToADoor(room, Here(), [](int map) { return map == 0; });
  ASSERT_FALSE(out.steps.empty()) << "no way out of map " << in.door.targetMap;
  ASSERT_TRUE(Walk(room, out));
  EXPECT_EQ(mapWidth, town.Map().width);
  EXPECT_EQ(obstacleCount, int(town.level.obstacles.size()));
}

}  // namespace
