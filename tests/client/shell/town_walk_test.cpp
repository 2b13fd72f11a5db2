// A player walks the generated town through the client's window procedure, with the game
// data of the build: from the first start point to a door, into the room behind it, and
// out through that room's door back to the town; and into the arcade's back room, along
// the way that once threw players off the map. The ways are planned with the level
// generator's own walking rules; the keys are pressed and the timer fired as the desktop
// would.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "client/shell/shell.h"
#include "client/world/level.h"
#include "client/world/world.h"
#include "content/generator/level_walk.h"
#include "platform/testing.h"
#include "tests/client/support/client_harness.h"
#include "tests/content/back_room_as_it_was.h"

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
constexpr Arrows kNoArrows = {-1, false, false, false, false};

const Arrows& ArrowsFor(short direction) {
  for (const Arrows& a : kArrows) {
    if (a.direction == direction) return a;
  }
  return kArrows[0];
}

// MapTable rows.
constexpr int kArcade = 4, kBackRoom = 6;

// The way in the back room that threw players off the map, from its arrival point
// (244, 248) with the arrows still held: the arrows of each tick. Up along the sofa,
// up-left towards its corner and a stop, a turn up-right that the back wall snaps, then
// down towards the sofa's top.
std::vector<Arrows> BackRoomWay() {
  std::vector<Arrows> way(22, ArrowsFor(DirUp));   // to (244, 94)
  way.insert(way.end(), 4, ArrowsFor(DirUpLeft));  // to (216, 66)
  way.push_back(kNoArrows);                        // one last step and a stop
  way.push_back(ArrowsFor(DirUpRight));            // only a turn, though the back wall snaps
  way.push_back(ArrowsFor(DirDown));
  return way;
}

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

// Whether the player's sprite cell lies on the map.
bool OnTheMap() {
  std::lock_guard lock(worldLock);
  const Actor& p = LocalPlayer();
  return p.x + p.width < mapWidth && p.y + p.height < mapHeight;
}

int MapHere() {
  std::lock_guard lock(worldLock);
  return LocalPlayer().map;
}

// Serves `level` to the client as map `name` in place of the built one: the folder's
// levels become its own, linked to the built ones but for that map.
void ServeLevel(std::string_view name, const Level& level) {
  namespace fs = std::filesystem;
  const fs::path maps = fs::path("levels") / "maps";
  const fs::path built = fs::read_symlink("levels") / "maps";
  fs::remove("levels");
  fs::create_directories(maps);
  for (const fs::directory_entry& entry : fs::directory_iterator(built)) {
    if (entry.path().stem() != name) fs::create_symlink(entry.path(), maps / entry.path().filename());
  }
  WriteFile(maps / (std::string(name) + ".lvl"), EncodeLevel(level));
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

  // "Go!": no server answers, and the player walks alone from the first start.
  static void GoAlone() {
    ClickAt(mainWindow, 590, 390);
    PumpMessages();
    ASSERT_EQ(started, 1);
    ASSERT_TRUE(StatusBecomes("Could not connect."));
    ASSERT_EQ(Here(), (Position{350, 200}));
  }

  static testing::AssertionResult WalkThroughADoorTo(int map) {
    LoadedLevel here = CurrentLevel();
    Way way = WayToADoor(here, Here(), [map](int target) { return target == map; });
    if (way.steps.empty()) return testing::AssertionFailure() << "no door to map " << map << " can be reached";
    return Walk(here, way);
  }

  // From the first start into the back room by the arcade, then the back room's way: the
  // player stays on the map at every tick.
  static void WalkTheBackRoomWay() {
    ASSERT_NO_FATAL_FAILURE(GoAlone());
    ASSERT_TRUE(WalkThroughADoorTo(kArcade));
    ASSERT_TRUE(WalkThroughADoorTo(kBackRoom));
    ASSERT_EQ(Here(), (Position{244, 248}));
    for (const Arrows& arrows : BackRoomWay()) {
      Tick(arrows);
      ASSERT_EQ(MapHere(), kBackRoom);
      ASSERT_TRUE(OnTheMap()) << "thrown to (" << Here().x << ", " << Here().y << ")";
    }
  }

  GameFolder folder_;
};

TEST_F(TownWalk, FromTheFirstStartIntoARoomAndBackOut) {
  ASSERT_NO_FATAL_FAILURE(GoAlone());
  const Position start = Here();
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

TEST_F(TownWalk, TheBackRoomWayKeepsThePlayerOnTheMap) { WalkTheBackRoomWay(); }

// The room as it was first made: the turn leaves the player under the back wall, and
// pressing down then faces the sofa's top, whose snap is not made.
TEST_F(TownWalk, TheBackRoomWayKeepsThePlayerOnTheMapOfTheRoomAsItWas) {
  ServeLevel("arcade2", BackRoomAsItWas());
  ASSERT_NO_FATAL_FAILURE(WalkTheBackRoomWay());
  EXPECT_EQ(Here(), (Position{209, 53})) << "blocked by the sofa and left where the turn put it";
}

}  // namespace
