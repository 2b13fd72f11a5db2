// quendle's start-up, run for real without a display in a folder of game data: with
// one thing missing or damaged it shows that failure's message and ends with code 0;
// with everything in place it waits until it is told to close.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/child_process.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr auto kPrompt = 20s;    // generous, for sanitizer builds on a busy machine
constexpr auto kQuietFor = 1s;   // how long a good start-up must stay running and silent
const fs::path kGameData = fs::path(QUENDLE).parent_path();

const std::string kMissingPicture =
    "Graphics error: Could not find a .bmp file!  Make sure this was installed correctly.";
const std::string kMissingBackground =
    "Brambleduck error: Could not find a .bmp.  Please be sure this was installed correctly.";
const std::string kMissingMap =
    "Brambleduck error: Could not find a map or error reading in file.  Please be sure this was unzipped "
    "correctly.";
const std::string kDamagedMainMap = "Brambleduck error: Error in main.lvl.  You weren't messing in it, were you?";

// A fresh folder holding a copy of the game's data; removed with everything in it.
class GameFolder {
 public:
  GameFolder() {
    std::string pattern = (fs::temp_directory_path() / "quendle-XXXXXX").string();
    if (!mkdtemp(pattern.data())) return;
    path_ = pattern;
    for (const char* item : {"brambleduck.bmp", "images", "levels", "sounds"}) {
      fs::copy(kGameData / item, path_ / item, fs::copy_options::recursive);
    }
  }
  ~GameFolder() {
    if (!path_.empty()) fs::remove_all(path_);
  }
  GameFolder(const GameFolder&) = delete;
  GameFolder& operator=(const GameFolder&) = delete;

  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// quendle started in `folder` with no display and a silent sound driver; its standard
// error comes with its output.
std::unique_ptr<ChildProcess> StartGame(const fs::path& folder) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  std::vector<std::string> unset = {"DISPLAY", "WAYLAND_DISPLAY"};
  return std::make_unique<ChildProcess>(QUENDLE, folder.string(), unset, ChildProcess::Errors::kIntoOutput);
}

std::chrono::milliseconds Left(Clock::time_point end) {
  return std::max(std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()), 0ms);
}

// Every line the game prints until its output ends, or what came before the deadline.
std::vector<std::string> LinesUntilEnd(ChildProcess& game) {
  Clock::time_point end = Clock::now() + kPrompt;
  std::vector<std::string> lines;
  while (std::optional<std::string> line = game.ReadLine(Left(end))) lines.push_back(*line);
  return lines;
}

// Whether `pid` catches `signal` within the deadline: before that the signal would
// end it at once instead of closing its window.
bool CatchesSignalSoon(pid_t pid, int signal) {
  Clock::time_point end = Clock::now() + kPrompt;
  const std::string status = "/proc/" + std::to_string(pid) + "/status";
  while (Clock::now() < end) {
    std::ifstream in(status);
    for (std::string line; std::getline(in, line);) {
      if (line.starts_with("SigCgt:") && (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1) & 1)) return true;
    }
    std::this_thread::sleep_for(10ms);
  }
  return false;
}

bool HoldsFileNamed(const fs::path& folder, std::string name) {
  auto lower = [](std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
  };
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    if (lower(entry.path().filename().string()) == lower(name)) return true;
  }
  return false;
}

// --- The main map's bytes: the name's length N, the name, a skipped byte, a u16 obstacle
// count, a u8 door count, then 9-byte obstacles whose first field is the u16 x.

using Bytes = std::vector<uint8_t>;
constexpr size_t kObstacleSize = 9;

const fs::path kMainMap = fs::path("levels") / "maps" / "main.lvl";

Bytes ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& file, const Bytes& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

uint16_t Get16(const Bytes& bytes, size_t at) { return uint16_t(bytes.at(at) | bytes.at(at + 1) << 8); }

void Put16(Bytes& bytes, size_t at, unsigned value) {
  bytes.at(at) = uint8_t(value);
  bytes.at(at + 1) = uint8_t(value >> 8);
}

size_t CountAt(const Bytes& map) { return size_t(map.at(0)) + 2; }
size_t ObstacleAt(const Bytes& map, size_t i) { return size_t(map.at(0)) + 5 + kObstacleSize * i; }

// 63 obstacles whose x values still add up as before: the last one's x moves onto the first.
void DropLastObstacle(Bytes& map) {
  size_t last = Get16(map, CountAt(map)) - 1u;
  Put16(map, ObstacleAt(map, 0), Get16(map, ObstacleAt(map, 0)) + Get16(map, ObstacleAt(map, last)));
  map.erase(map.begin() + long(ObstacleAt(map, last)), map.begin() + long(ObstacleAt(map, last + 1)));
  Put16(map, CountAt(map), last);
}

// 65 obstacles whose x values still add up as before: a copy of the first one at x 0.
void AddObstacle(Bytes& map) {
  size_t count = Get16(map, CountAt(map));
  Bytes extra(map.begin() + long(ObstacleAt(map, 0)), map.begin() + long(ObstacleAt(map, 1)));
  Put16(extra, 0, 0);
  map.insert(map.begin() + long(ObstacleAt(map, count)), extra.begin(), extra.end());
  Put16(map, CountAt(map), count + 1);
}

// 64 obstacles whose x values add up to one more.
void MoveFirstObstacle(Bytes& map) { Put16(map, ObstacleAt(map, 0), Get16(map, ObstacleAt(map, 0)) + 1u); }

// --- One thing missing or damaged in an otherwise complete folder, and what the game says.

using Damage = std::function<void(const fs::path& folder)>;

Damage Remove(fs::path file) {
  return [file](const fs::path& folder) { ASSERT_TRUE(fs::remove(folder / file)) << file; };
}

void RemoveMainBackground(const fs::path& folder) {
  Bytes map = ReadBytes(folder / kMainMap);
  ASSERT_GT(map.size(), size_t(map.at(0)));
  std::string name(map.begin() + 1, map.begin() + 1 + map[0]);
  ASSERT_TRUE(fs::remove(folder / "images" / "bg" / name)) << name;
}

Damage EditMainMap(void (*edit)(Bytes&)) {
  return [edit](const fs::path& folder) {
    Bytes map = ReadBytes(folder / kMainMap);
    ASSERT_EQ(Get16(map, CountAt(map)), 64) << "the edits start from a good main map";
    edit(map);
    WriteBytes(folder / kMainMap, map);
  };
}

struct BrokenStart {
  const char* name;
  Damage damage;
  std::vector<std::string> lines;
};

void PrintTo(const BrokenStart& start, std::ostream* out) { *out << start.name; }

class BrokenStartUp : public testing::TestWithParam<BrokenStart> {};

TEST_P(BrokenStartUp, ShowsItsMessageAndEndsWithCodeZero) {
  GameFolder folder;
  ASSERT_FALSE(folder.path().empty());
  ASSERT_NO_FATAL_FAILURE(GetParam().damage(folder.path()));

  std::unique_ptr<ChildProcess> game = StartGame(folder.path());
  ASSERT_TRUE(game->Started());
  EXPECT_EQ(LinesUntilEnd(*game), GetParam().lines);
  EXPECT_EQ(game->Wait(kPrompt), 0);
}

INSTANTIATE_TEST_SUITE_P(
    OneThingWrong, BrokenStartUp,
    testing::Values(
        BrokenStart{"NoRadarPicture", Remove(fs::path("images") / "sprites" / "RADAR.bmp"), {kMissingPicture}},
        BrokenStart{"NoTitlePicture", Remove("brambleduck.bmp"), {kMissingPicture}},
        BrokenStart{"NoPsiSheet", Remove(fs::path("images") / "sprites" / "psi.bmp"), {kMissingPicture}},
        // The player slots ask for tovi.bmp; the file is found whatever its case.
        BrokenStart{"NoPlayerSheet", Remove(fs::path("images") / "sprites" / "TOVI.bmp"), {kMissingPicture}},
        BrokenStart{"NoMainMap", Remove(kMainMap), {kMissingMap}},
        BrokenStart{"NoMainMapBackground", RemoveMainBackground, {kMissingBackground, kMissingMap}},
        BrokenStart{"MainMapWith63Obstacles", EditMainMap(DropLastObstacle), {kDamagedMainMap}},
        BrokenStart{"MainMapWith65Obstacles", EditMainMap(AddObstacle), {kDamagedMainMap}},
        BrokenStart{"MainMapWithOtherXSum", EditMainMap(MoveFirstObstacle), {kDamagedMainMap}}),
    [](const testing::TestParamInfo<BrokenStart>& info) { return std::string(info.param.name); });

TEST(StartUp, CompleteFolderWaitsSilentlyUntilTerminated) {
  GameFolder folder;
  ASSERT_FALSE(folder.path().empty());
  std::unique_ptr<ChildProcess> game = StartGame(folder.path());
  ASSERT_TRUE(game->Started());
  ASSERT_TRUE(CatchesSignalSoon(game->Pid(), SIGTERM));

  EXPECT_EQ(game->ReadLine(kQuietFor), std::nullopt);
  EXPECT_EQ(game->Wait(0ms), std::nullopt) << "the game ended by itself";
  game->Signal(SIGTERM);
  EXPECT_EQ(game->Wait(kPrompt), 0);
  EXPECT_EQ(LinesUntilEnd(*game), std::vector<std::string>{});
  EXPECT_FALSE(HoldsFileNamed(folder.path(), "brambleduck.ini"));
}

}  // namespace
