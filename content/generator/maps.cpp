#include "content/generator/maps.h"

#include <cstdio>
#include <fstream>
#include <system_error>

#include "content/generator/level_table.h"
#include "content/generator/map_build.h"

namespace fs = std::filesystem;

namespace {

// The game checks the main level when it starts; a main map that would fail there
// stops the build, saying how far off it is.
bool PassesStartCheck(const Level& level) {
  if (level.obstacles.size() != kMainObstacleCount) {
    fprintf(stderr, "main.lvl: %zu obstacles, the game wants exactly %d\n", level.obstacles.size(),
            kMainObstacleCount);
    return false;
  }
  long sum = 0;
  for (const Obstacle& o : level.obstacles) sum += o.x;
  if (sum != kMainObstacleXSum) {
    fprintf(stderr, "main.lvl: the obstacles' x values add up to %ld, the game wants %d: move obstacles by %+ld in x\n",
            sum, kMainObstacleXSum, kMainObstacleXSum - sum);
    return false;
  }
  return true;
}

bool Fits(const Level& level, std::string_view name) {
  // The game reads the picture's name into a 100-byte path after "images\bg\".
  bool fits = level.picture.size() <= 89 && level.obstacles.size() <= 0xFFFF && level.doors.size() <= 0xFF;
  if (!fits) fprintf(stderr, "%.*s: too many records or too long a picture name\n", int(name.size()), name.data());
  return fits;
}

bool WriteLevel(const fs::path& path, const Level& level) {
  std::vector<uint8_t> bytes = EncodeLevel(level);
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  if (file) return true;
  fprintf(stderr, "%s: cannot be written\n", path.c_str());
  return false;
}

bool GenerateMap(const fs::path& sources, const fs::path& game, size_t number) {
  std::string_view name = kMapNames[number];
  std::optional<MapSource> map = ReadMapFile(sources, name);
  if (!map) return false;
  std::optional<Level> level = LevelOf(*map, name);
  if (!level || !Fits(*level, name) || (number == 0 && !PassesStartCheck(*level))) return false;
  if (!WriteBmp(game / "images" / "bg" / map->picture, PictureOf(*map))) {
    fprintf(stderr, "%s: cannot be written\n", (game / "images" / "bg" / map->picture).c_str());
    return false;
  }
  return WriteLevel(game / "levels" / "maps" / (std::string(name) + ".lvl"), *level);
}

}  // namespace

bool GenerateMaps(const fs::path& sources, const fs::path& game) {
  std::error_code ignored;  // a folder that cannot be made shows as a file that cannot be written
  fs::create_directories(game / "levels" / "maps", ignored);
  for (size_t k = 0; k < kMapNames.size(); k++) {
    if (!GenerateMap(sources, game, k)) return false;
  }
  return true;
}
