// The built levels (GAME_DIR/levels/maps) and their pictures, judged by the game's own
// rules: the file format, the main level's start-up check, free ground where players
// start and arrive, every door reachable on foot, no snap off a map, and no arrival
// point whose next step takes a door.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "content/generator/level_file.h"
#include "content/generator/level_table.h"
#include "content/generator/level_walk.h"
#include "tests/content/back_room_as_it_was.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> FileBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

unsigned Le(const std::vector<uint8_t>& b, size_t at, int bytes) {
  unsigned v = 0;
  for (int k = bytes - 1; k >= 0; k--) v = v << 8 | b[at + size_t(k)];
  return v;
}

// The size of a 24-bit bottom-up BMP with the 40-byte header, as the generator writes
// it, or nothing for anything else.
std::optional<std::pair<int, int>> BmpSize(const fs::path& path) {
  std::vector<uint8_t> b = FileBytes(path);
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M' || Le(b, 10, 4) != 54 || Le(b, 14, 4) != 40) return {};
  int w = int(Le(b, 18, 4)), h = int(Le(b, 22, 4));
  if (w <= 0 || h <= 0 || Le(b, 26, 2) != 1 || Le(b, 28, 2) != 24 || Le(b, 30, 4) != 0) return {};
  if (b.size() != 54 + size_t((w * 3 + 3) / 4 * 4) * size_t(h)) return {};
  return std::pair{w, h};
}

// A snap to an obstacle that lies too near the map's edge would throw a player out of
// the map; the game does not make it, and no map should offer one.
testing::AssertionResult StaysOnTheMap(const Exploration& e) {
  if (!e.offMapSnap) return testing::AssertionSuccess();
  const OffMapSnap& s = *e.offMapSnap;
  return testing::AssertionFailure() << "a player at (" << s.from.x << ", " << s.from.y << ") "
                                     << (s.turning ? "turning to " : "stepping ") << s.direction
                                     << " would be snapped off the map";
}

// One level of MapTable with its map size (twice its picture).
struct GameMap {
  Level level;
  int width = 0, height = 0;
  LevelMap Map() const { return {&level, width, height}; }
};

std::optional<GameMap> LoadMap(std::string_view name) {
  fs::path file = fs::path(GAME_DIR) / "levels" / "maps" / (std::string(name) + ".lvl");
  std::optional<Level> level = DecodeLevel(FileBytes(file));
  if (!level) return {};
  std::optional<std::pair<int, int>> size = BmpSize(fs::path(GAME_DIR) / "images" / "bg" / level->picture);
  if (!size) return {};
  return GameMap{*level, 2 * size->first, 2 * size->second};
}

// Where a player can stand on a map: a start, or the arrival point of door `door` of
// map `from`.
struct Place {
  size_t map;
  Position at;
  std::string name;
  size_t from = 0;
  size_t door = 0;
};

std::string Named(const Place& p) {
  return std::string(kMapNames[p.map]) + " (" + std::to_string(p.at.x) + ", " + std::to_string(p.at.y) + ") " + p.name;
}

class MapsTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    maps_ = new std::vector<GameMap>;
    for (std::string_view name : kMapNames) {
      std::optional<GameMap> map = LoadMap(name);
      maps_->push_back(map ? *map : GameMap{});
    }
  }
  static void TearDownTestSuite() { delete maps_; }

  static const GameMap& MapAt(size_t k) { return (*maps_)[k]; }

  static std::vector<Place> Starts() {
    std::vector<Place> starts;
    for (size_t slot = 0; slot < kSpawnPoints.size(); slot++) {
      starts.push_back({0, {kSpawnPoints[slot][0], kSpawnPoints[slot][1]}, "start of slot " + std::to_string(slot)});
    }
    return starts;
  }

  static std::vector<Place> Arrivals() {
    std::vector<Place> arrivals;
    for (size_t from = 0; from < maps_->size(); from++) {
      const std::vector<Door>& doors = MapAt(from).level.doors;
      for (size_t k = 0; k < doors.size(); k++) {
        arrivals.push_back({doors[k].targetMap, {doors[k].targetX, doors[k].targetY},
                            "through door " + std::to_string(k) + " of " + std::string(kMapNames[from]), from, k});
      }
    }
    return arrivals;
  }

  static std::vector<GameMap>* maps_;
};

std::vector<GameMap>* MapsTest::maps_ = nullptr;

// A level made here: a rectangle, a band leaning right, and a door to map 3.
Level SmallLevel() {
  Level level;
  level.picture = "small.bmp";
  level.obstacles = {{90, 150, 50, 20, ShapeRectangle}, {300, 150, 40, 20, ShapeLeansRight}};
  level.doors = {{500, 150, 50, 20, ShapeRectangle, 3, 200, 300}};
  return level;
}

TEST(LevelFileTest, ReadsBackWhatItWritesAndNothingElse) {
  std::vector<uint8_t> bytes = EncodeLevel(SmallLevel());
  ASSERT_EQ(bytes.size(), 1 + 9 + 1 + 2 + 1 + 2 * 9 + 14u);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 10, bytes.begin() + 16), (std::vector<uint8_t>{0, 2, 0, 1, 90, 0}));
  bytes[10] = 0x55;  // the byte after the name is never read
  std::optional<Level> back = DecodeLevel(bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->picture, "small.bmp");
  EXPECT_EQ(EncodeLevel(*back), EncodeLevel(SmallLevel()));
  std::vector<uint8_t> shorter(bytes.begin(), bytes.end() - 1), longer = bytes;
  longer.push_back(0);
  EXPECT_FALSE(DecodeLevel(shorter));
  EXPECT_FALSE(DecodeLevel(longer));
  EXPECT_FALSE(DecodeLevel({}));
}

// One tick of a walking or a standing player, from the rules of the game tick.
TEST(WalkTickTest, MovesSnapsAndTakesDoorsAsTheGameDoes) {
  struct Case {
    const char* what;
    Tick (*tick)(const LevelMap&, Position, short);
    Position from;
    short direction;
    Position to;
    int door;
    bool snapOffMap;
  };
  const Case cases[] = {
      {"a free step right", WalkTick, {100, 300}, 3, {107, 300}, -1, false},
      {"a free diagonal step", WalkTick, {100, 300}, 8, {93, 307}, -1, false},
      {"blocked going down: snapped one row above the rectangle", WalkTick, {100, 100}, 0, {100, 101}, -1, false},
      {"and stays there", WalkTick, {100, 101}, 0, {100, 101}, -1, false},
      {"blocked going up: snapped one row below it", WalkTick, {100, 130}, 2, {100, 123}, -1, false},
      {"blocked going right: snapped left of it", WalkTick, {52, 110}, 3, {57, 110}, -1, false},
      {"straight down is blocked by a rectangle met within a step of its end", WalkTick, {134, 100}, 0, {134, 101},
       -1, false},
      {"but a diagonal step passes it", WalkTick, {134, 100}, 11, {141, 107}, -1, false},
      {"a band blocks without a snap", WalkTick, {300, 100}, 0, {300, 100}, -1, false},
      {"the map's left edge: x - speed must stay above 0", WalkTick, {7, 300}, 1, {7, 300}, -1, false},
      {"the map's bottom edge: the feet stay above its height", WalkTick, {100, 545}, 0, {100, 545}, -1, false},
      {"a door is taken after the move", WalkTick, {500, 100}, 0, {500, 107}, 0, false},
      {"a door out of reach is not", WalkTick, {500, 80}, 0, {500, 87}, -1, false},
      {"a turn does not move", TurnTick, {100, 300}, 3, {100, 300}, -1, false},
      {"but is snapped as a step is", TurnTick, {100, 100}, 0, {100, 101}, -1, false},
      {"and takes a door within reach", TurnTick, {500, 96}, 0, {500, 96}, 0, false},
      {"a snap above the map's top edge is not made", TurnTick, {450, 40}, 0, {450, 40}, -1, true},
      {"nor when walking", WalkTick, {450, 40}, 0, {450, 40}, -1, true},
  };
  Level level = SmallLevel();
  level.obstacles.push_back({400, 20, 60, 80, ShapeRectangle});  // its top less than a player's height down
  LevelMap map{&level, 1000, 600};
  for (const Case& c : cases) {
    Tick t = c.tick(map, c.from, c.direction);
    EXPECT_EQ(t.to, c.to) << c.what << ": (" << t.to.x << ", " << t.to.y << ")";
    EXPECT_EQ(t.door, c.door) << c.what;
    EXPECT_EQ(t.snapOffMap, c.snapOffMap) << c.what;
  }
}

// Exploring looks only at the obstacles and doors within reach of each tick; stepping
// and turning tick by tick against all of them must find the very same places, doors
// and facings. The door across the map is taken from feet rows up to two steps above
// it: a move and then the door's reach.
TEST(WalkTickTest, ExploringFindsWhatPlainTicksFind) {
  Level level = SmallLevel();
  level.obstacles.push_back({230, 60, 30, 120, ShapeLeansLeft});
  level.obstacles.push_back({40, 260, 300, 10, ShapeRectangle});
  level.doors.push_back({0, 330, 640, 20, ShapeRectangle, 4, 100, 100});
  LevelMap map{&level, 640, 400};
  std::vector<uint8_t> reached(size_t(map.width) * map.height, 0);
  std::vector<uint16_t> facings(level.doors.size(), 0);
  std::vector<Position> queue = {{20, 20}};
  reached[20 * map.width + 20] = 1;
  for (size_t next = 0; next < queue.size(); next++) {
    for (auto tick : {WalkTick, TurnTick}) {
      for (short d : kWalkDirections) {
        Tick t = tick(map, queue[next], d);
        size_t at = size_t(t.to.y) * map.width + t.to.x;
        if (t.door >= 0) {
          facings[size_t(t.door)] |= uint16_t(1 << d);
        } else if (t.to.x + kPlayerWidth < map.width && t.to.y + kPlayerHeight < map.height && !reached[at]) {
          reached[at] = 1;
          queue.push_back(t.to);
        }
      }
    }
  }
  Exploration e = Explore(map, {{20, 20}});
  EXPECT_TRUE(e.reached == reached);
  EXPECT_EQ(e.doorFacings, facings);
  EXPECT_TRUE(e.DoorTaken(0) && e.DoorTaken(1));
}

// Walking alone never finds it: only a player who stops on the sofa's corner and turns
// is snapped back under the wall with its feet still beside the sofa, from where
// pressing down faces the sofa's top. The way found in the game: up-left onto the
// corner, a stop, a turn up-right, then down.
TEST(WalkTickTest, OnlyATurnFindsTheSnapOffTheBackRoomAsItWas) {
  Level room = BackRoomAsItWas();
  LevelMap map{&room, 560, 400};
  const Position arrival = {244, 248};
  EXPECT_FALSE(Explore(map, {arrival}, {}, Ticks::Steps).offMapSnap);
  EXPECT_TRUE(Explore(map, {arrival}).offMapSnap);
  Tick turn = TurnTick(map, {209, 59}, 10);  // up-right
  EXPECT_EQ(turn.to, (Position{209, 53})) << "snapped under the back wall";
  Tick down = WalkTick(map, turn.to, 0);
  EXPECT_TRUE(down.snapOffMap);
  EXPECT_EQ(down.to, turn.to);
}

TEST_F(MapsTest, EveryLevelOfTheMapTableIsReadableWithItsPicture) {
  for (size_t k = 0; k < kMapNames.size(); k++) {
    SCOPED_TRACE(std::string(kMapNames[k]));
    const GameMap& m = MapAt(k);
    ASSERT_GT(m.width, 0) << "the level or its picture is missing or damaged";
    EXPECT_LE(m.level.picture.size(), 89u);
    for (const Door& d : m.level.doors) EXPECT_LT(d.targetMap, kMapNames.size());
  }
}

TEST_F(MapsTest, TheMainLevelPassesTheStartUpCheckWithEveryShape) {
  const Level& main = MapAt(0).level;
  ASSERT_EQ(main.obstacles.size(), size_t(kMainObstacleCount));
  long sum = 0;
  bool shapes[4] = {};
  for (const Obstacle& o : main.obstacles) {
    sum += o.x;
    ASSERT_GE(o.shape, ShapeRectangle);
    ASSERT_LE(o.shape, ShapeLeansLeft);
    shapes[o.shape] = true;
  }
  EXPECT_EQ(sum, kMainObstacleXSum);
  EXPECT_TRUE(shapes[ShapeRectangle] && shapes[ShapeLeansRight] && shapes[ShapeLeansLeft]);
}

TEST_F(MapsTest, PlayersStartAndArriveOnFreeGroundAwayFromDoors) {
  std::vector<Place> places = Starts(), arrivals = Arrivals();
  places.insert(places.end(), arrivals.begin(), arrivals.end());
  for (const Place& p : places) {
    ASSERT_LT(p.map, kMapNames.size());
    LevelMap map = MapAt(p.map).Map();
    EXPECT_TRUE(p.at.x + kPlayerWidth < map.width && p.at.y + kPlayerHeight < map.height) << Named(p);
    EXPECT_TRUE(OnFreeGround(map, p.at)) << Named(p);
    EXPECT_FALSE(NearDoor(map, p.at)) << Named(p) << " would be taken straight through a door";
  }
}

// From slot 0's start every door of the town is taken and every start and arrival point
// is reached; and from each of those a player walks back to slot 0's start, or onto a
// way already shown to lead there.
TEST_F(MapsTest, EveryPlaceInTheTownReachesEveryOtherAndEveryDoor) {
  LevelMap town = MapAt(0).Map();
  std::vector<Place> places = Starts(), arrivals = Arrivals();
  std::copy_if(arrivals.begin(), arrivals.end(), std::back_inserter(places), [](const Place& p) { return p.map == 0; });
  Exploration fromFirst = Explore(town, {places[0].at});
  EXPECT_TRUE(StaysOnTheMap(fromFirst));
  for (size_t k = 0; k < fromFirst.doorFacings.size(); k++) EXPECT_TRUE(fromFirst.DoorTaken(k)) << "door " << k;
  std::sort(places.begin() + 1, places.end(), [&](const Place& a, const Place& b) {
    auto distance = [&](const Place& p) {
      return std::abs(p.at.x - places[0].at.x) + std::abs(p.at.y - places[0].at.y);
    };
    return distance(a) < distance(b);
  });
  // Every step of a way back leads back too.
  std::vector<Position> back = {places[0].at};
  for (size_t k = 1; k < places.size(); k++) {
    EXPECT_TRUE(fromFirst.Reached(town, places[k].at)) << Named(places[k]);
    std::vector<Position> way = Explore(town, {places[k].at}, back).pathToGoal;
    EXPECT_FALSE(way.empty()) << Named(places[k]) << " has no way back";
    back.insert(back.end(), way.begin(), way.end());
  }
}

// Every map is entered from the town, and from every arrival point a player finds a way
// back to the town, through other rooms if need be.
TEST_F(MapsTest, EveryRoomIsEnteredAndLeadsBackToTheTown) {
  std::vector<Place> places = {Starts()[0]}, arrivals = Arrivals();
  places.insert(places.end(), arrivals.begin(), arrivals.end());
  // Which places each place leads to through the doors it reaches on foot. The town is
  // one walkable whole where every door is taken (the test above), so its places lead to
  // every door's arrival point.
  std::vector<std::vector<size_t>> leadsTo(places.size());
  for (size_t k = 0; k < places.size(); k++) {
    const GameMap& map = MapAt(places[k].map);
    std::vector<bool> taken(map.level.doors.size(), true);
    if (places[k].map != 0) {
      Exploration e = Explore(map.Map(), {places[k].at});
      EXPECT_TRUE(StaysOnTheMap(e)) << Named(places[k]);
      for (size_t j = 0; j < taken.size(); j++) taken[j] = e.DoorTaken(j);
    }
    for (size_t j = 1; j < places.size(); j++) {
      if (places[j].from == places[k].map && taken[places[j].door]) leadsTo[k].push_back(j);
    }
  }
  auto reachable = [&](size_t from) {
    std::vector<bool> seen(places.size(), false);
    std::vector<size_t> stack = {from};
    seen[from] = true;
    while (!stack.empty()) {
      size_t k = stack.back();
      stack.pop_back();
      for (size_t j : leadsTo[k]) {
        if (!seen[j]) seen[j] = true, stack.push_back(j);
      }
    }
    return seen;
  };
  std::vector<bool> fromTown = reachable(0);
  std::vector<bool> mapEntered(kMapNames.size(), false);
  for (size_t k = 0; k < places.size(); k++) {
    mapEntered[places[k].map] = mapEntered[places[k].map] || fromTown[k];
    std::vector<bool> seen = reachable(k);
    bool backInTown = false;
    for (size_t j = 0; j < places.size(); j++) backInTown = backInTown || (seen[j] && places[j].map == 0);
    EXPECT_TRUE(backInTown) << Named(places[k]) << " has no way back to the town";
  }
  for (size_t m = 0; m < kMapNames.size(); m++) EXPECT_TRUE(mapEntered[m]) << kMapNames[m] << " is never entered";
}

// A player arrives facing the way it faced when it touched the door, maybe with the
// arrows still held: its next step from the arrival point must take no door, such as
// the way straight back out.
TEST_F(MapsTest, NoArrivingPlayerIsTakenThroughADoorByItsNextStep) {
  std::vector<Place> places = Starts(), arrivals = Arrivals();
  places.insert(places.end(), arrivals.begin(), arrivals.end());
  for (size_t m = 0; m < kMapNames.size(); m++) {
    std::vector<Position> from;
    for (const Place& p : places) {
      if (p.map == m) from.push_back(p.at);
    }
    Exploration e = Explore(MapAt(m).Map(), from);
    for (const Place& arrival : arrivals) {
      if (arrival.from != m) continue;
      for (short d : kWalkDirections) {
        if (!(e.doorFacings[arrival.door] >> d & 1)) continue;
        Tick next = WalkTick(MapAt(arrival.map).Map(), arrival.at, d);
        EXPECT_EQ(next.door, -1) << Named(arrival) << ", arriving facing " << d << ": the next step takes door "
                                 << next.door;
      }
    }
  }
}

}  // namespace
