#include <gtest/gtest.h>

#include <string>

#include "client/shell/shell.h"
#include "client/world/level.h"
#include "platform/testing.h"
#include "tests/client/render/picture_files.h"

namespace {

constexpr uint32_t R = 0xFF0000, G = 0x00FF00, B = 0x0000FF, W = 0xFFFFFF;
constexpr char kLevel[] = "levels\\maps\\test.lvl";
constexpr char kPictureMissing[] =
    "Brambleduck error: Could not find a .bmp.  Please be sure this was installed correctly.\n";

Bytes LevelBytes(const std::string& picture, const std::vector<Obstacle>& obstacles, const std::vector<Door>& doors,
                 BYTE skipped = 0) {
  Bytes out(picture.begin(), picture.end());
  out.insert(out.begin(), BYTE(picture.size()));
  const WORD count = WORD(obstacles.size());
  out.insert(out.end(), {skipped, BYTE(count), BYTE(count >> 8), BYTE(doors.size())});
  const auto* o = reinterpret_cast<const uint8_t*>(obstacles.data());
  out.insert(out.end(), o, o + sizeof(Obstacle) * obstacles.size());
  const auto* d = reinterpret_cast<const uint8_t*>(doors.data());
  out.insert(out.end(), d, d + sizeof(Door) * doors.size());
  return out;
}

// Everything a load sets, to compare one load with another.
struct LevelState {
  int width, height, radarWidth, radarHeight, radarX, radarY;
  Bytes records;  // the counts, then the obstacles and doors as stored
  std::vector<uint32_t> map;
  bool operator==(const LevelState&) const = default;
};

LevelState Snapshot() {
  LevelState s = {mapWidth, mapHeight, radarWidth, radarHeight, radarX, radarY, {}, {}};
  s.records = {BYTE(obstacleCount), BYTE(obstacleCount >> 8), doorCount};
  const auto* o = reinterpret_cast<const uint8_t*>(obstacles);
  s.records.insert(s.records.end(), o, o + sizeof(Obstacle) * obstacleCount);
  const auto* d = reinterpret_cast<const uint8_t*>(doors);
  s.records.insert(s.records.end(), d, d + sizeof(Door) * doorCount);
  if (mapBitmap) s.map = PixmapOf(mapBitmap).pixels;
  return s;
}

const std::vector<Obstacle> kObstacles = {{10, 20, 30, 40, ShapeRectangle}, {500, 600, 700, 800, ShapeLeansLeft}};
const std::vector<Door> kDoors = {{1, 2, 3, 4, ShapeLeansRight, 5, 1000, 2000}};

// `count` obstacles whose x values add up to `sum`, one of them above 32767.
std::vector<Obstacle> ObstaclesAddingUpTo(int count, int sum) {
  std::vector<Obstacle> list(count, Obstacle{0, 0, 1, 1, ShapeRectangle});
  list[0].x = 40000;
  const int rest = sum - 40000;
  for (int i = 1; i < count; i++) list[i].x = WORD(rest / (count - 1));
  list[count - 1].x += WORD(rest % (count - 1));
  return list;
}

class Level : public testing::Test {
 protected:
  Level() {
    UseTestDesktop();
    windowDC = CreateCompatibleDC(nullptr);
    WriteFile("images/bg/square.bmp", Bmp24(2, 2, {R, G, B, W}));
  }
  ~Level() override {
    DeleteDC(windowDC);
    windowDC = nullptr;
  }

  // Writes a level file and loads it.
  static int Load(const Bytes& level) {
    WriteFile("levels/maps/test.lvl", level);
    return LoadLevel(kLevel);
  }

  TempFolder folder_;
};

TEST_F(Level, APictureOf321By241GivesTheRadarOfAMapTwiceItsSize) {
  WriteFile("images/bg/wide.bmp", Bmp24(321, 241, std::vector<uint32_t>(321 * 241, G)));
  ASSERT_EQ(Load(LevelBytes("wide.bmp", {}, {})), 0);
  EXPECT_EQ(mapWidth, 642);
  EXPECT_EQ(mapHeight, 482);
  EXPECT_EQ(radarWidth, 32);
  EXPECT_EQ(radarHeight, 24);
  EXPECT_EQ(radarX, 588);
  EXPECT_EQ(radarY, 336);
  EXPECT_EQ(obstacleCount, 0);
  EXPECT_EQ(doorCount, 0);
  Pixmap map = PixmapOf(mapBitmap);
  EXPECT_EQ(map.width, 642);
  EXPECT_EQ(map.height, 482);
}

TEST_F(Level, EveryPicturePixelBecomesATwoByTwoBlockAndTheRecordsAreReadInOrder) {
  ASSERT_EQ(Load(LevelBytes("square.bmp", kObstacles, kDoors)), 0);
  EXPECT_EQ(PixmapOf(mapBitmap).pixels, (std::vector<uint32_t>{R, R, G, G, R, R, G, G, B, B, W, W, B, B, W, W}));
  ASSERT_EQ(obstacleCount, 2);
  ASSERT_EQ(doorCount, 1);
  EXPECT_EQ(memcmp(obstacles, kObstacles.data(), sizeof(Obstacle) * 2), 0);
  EXPECT_EQ(memcmp(doors, kDoors.data(), sizeof(Door)), 0);
  EXPECT_EQ(doors[0].targetX, 1000);
  EXPECT_EQ(obstacles[1].shape, ShapeLeansLeft);
}

TEST_F(Level, TheSkippedByteAndALoadRepeatedChangeNothing) {
  ASSERT_EQ(Load(LevelBytes("square.bmp", kObstacles, kDoors)), 0);
  const LevelState once = Snapshot();
  for (BYTE skipped : {0x00, 0x5A, 0xFF}) {
    ASSERT_EQ(Load(LevelBytes("square.bmp", kObstacles, kDoors, skipped)), 0);
    EXPECT_EQ(Snapshot(), once) << int(skipped);
  }
}

TEST_F(Level, APictureStoredTopRowFirstGivesAMapOfItsRealSize) {
  const Bytes topRowFirst = {0, 0, 255, 0, 255, 0, 0, 0};  // red above blue
  WriteFile("images/bg/down.bmp", BmpBytes(InfoHeader(1, -2, 24), {}, topRowFirst));
  ASSERT_EQ(Load(LevelBytes("down.bmp", {}, {})), 0);
  EXPECT_EQ(mapWidth, 2);
  EXPECT_EQ(mapHeight, 4);
  EXPECT_EQ(PixmapOf(mapBitmap).pixels, (std::vector<uint32_t>{R, R, R, R, B, B, B, B}));
}

TEST_F(Level, AShortFileReadsItsMissingRecordsAsZeros) {
  const Bytes whole = LevelBytes("square.bmp", kObstacles, kDoors);
  const size_t recordsAt = 1 + 10 + 4, cut = recordsAt + 9 + 3;
  ASSERT_EQ(Load(Bytes(whole.begin(), whole.begin() + cut)), 0);
  ASSERT_EQ(obstacleCount, 2);
  ASSERT_EQ(doorCount, 1);
  Bytes expected(whole.begin() + recordsAt, whole.begin() + cut);
  expected.resize(2 * sizeof(Obstacle) + sizeof(Door), 0);
  const Bytes records = Snapshot().records;
  EXPECT_EQ(Bytes(records.begin() + 3, records.end()), expected);
}

TEST_F(Level, AFileThatCannotBeOpenedChangesNothing) {
  ASSERT_EQ(Load(LevelBytes("square.bmp", kObstacles, kDoors)), 0);
  const LevelState before = Snapshot();
  const HBITMAP bitmap = mapBitmap;
  testing::internal::CaptureStderr();
  EXPECT_EQ(LoadLevel("levels\\maps\\missing.lvl"), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "nothing is shown";
  EXPECT_EQ(mapBitmap, bitmap);
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(Level, APictureThatCannotBeLoadedFailsAndKeepsTheRecords) {
  const std::string longest(89 - 4, 'n'), tooLong(90 - 4, 'n');
  WriteFile("images/bg/" + longest + ".bmp", Bmp24(2, 2, {R, G, B, W}));
  WriteFile("images/bg/" + tooLong + ".bmp", Bmp24(2, 2, {R, G, B, W}));
  ASSERT_EQ(Load(LevelBytes(longest + ".bmp", kObstacles, kDoors)), 0) << "89 bytes fit with the folder";
  const Bytes records = Snapshot().records;
  for (const std::string& name : {std::string("absent.bmp"), tooLong + ".bmp", std::string()}) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(Load(LevelBytes(name, {}, {})), 1) << name;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), kPictureMissing) << name;
    EXPECT_EQ(mapBitmap, nullptr) << name;
    EXPECT_EQ(Snapshot().records, records) << name;
  }
}

TEST_F(Level, TheMainLevelNeeds64ObstaclesAddingUpTo49534) {
  const struct {
    int count, sum;
    bool intact;
  } cases[] = {{64, 49534, true}, {63, 49534, false}, {65, 49534, false}, {64, 49535, false}, {64, 49533, false}};
  for (const auto& c : cases) {
    ASSERT_EQ(Load(LevelBytes("square.bmp", ObstaclesAddingUpTo(c.count, c.sum), {})), 0);
    EXPECT_EQ(MainLevelIntact(), c.intact) << c.count << " obstacles adding up to " << c.sum;
  }
}

}  // namespace
