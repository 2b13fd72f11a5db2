#include "tools/bots/town.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::vector<uint8_t> FileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

}  // namespace

std::optional<Town> LoadTown(const std::string& folder) {
  std::optional<Level> level = DecodeLevel(FileBytes(folder + "/levels/maps/main.lvl"));
  if (!level) return {};
  // The map is twice the picture; a picture stored top row first has a negative height.
  std::vector<uint8_t> picture = FileBytes(folder + "/images/bg/" + level->picture);
  if (picture.size() < 26 || picture[0] != 'B' || picture[1] != 'M') return {};
  int width = int(Le32(picture, 18)), height = int(Le32(picture, 22));
  if (height < 0) height = -height;
  if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return {};
  return Town{*level, 2 * width, 2 * height};
}
