#include "content/generator/map_build.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "content/generator/map_kinds.h"

namespace {

// The row a standing feature stands on: the bottom of its rectangle, or its foot point.
int BaseLine(const Feature& f) { return f.numbers.size() >= 4 ? f.numbers[1] + f.numbers[3] : f.numbers[1]; }

bool Inside(const MapSource& map, int x, int y, int w, int h, int shape) {
  int left = shape == ShapeLeansLeft ? x - h : x, right = shape == ShapeLeansRight ? x + w + h : x + w;
  return left >= 0 && right <= map.width && y + h <= map.height;
}

}  // namespace

std::optional<MapSource> ReadMapFile(const std::filesystem::path& sources, std::string_view name) {
  std::filesystem::path path = sources / (std::string(name) + ".txt");
  std::ifstream file(path);
  if (!file) {
    fprintf(stderr, "%s: cannot be read\n", path.c_str());
    return {};
  }
  std::string error;
  std::optional<MapSource> map = ReadMapSource(file, error);
  if (!map) fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
  return map;
}

std::optional<Level> LevelOf(const MapSource& map, std::string_view name) {
  Level level;
  level.picture = map.picture;
  for (const Feature& f : map.features) {
    size_t obstacles = level.obstacles.size(), doors = level.doors.size();
    if (FindKind(f.kind)->records) FindKind(f.kind)->records(f, level);
    bool inside = true;
    for (size_t k = obstacles; k < level.obstacles.size(); k++) {
      const Obstacle& o = level.obstacles[k];
      inside = inside && Inside(map, o.x, o.y, o.width, o.height, o.shape);
    }
    for (size_t k = doors; k < level.doors.size(); k++) {
      const Door& d = level.doors[k];
      inside = inside && Inside(map, d.x, d.y, d.width, d.height, d.shape);
    }
    if (!inside) {
      fprintf(stderr, "%.*s: line %d: the %s reaches out of the %d x %d map\n", int(name.size()), name.data(), f.line,
              f.kind.c_str(), map.width, map.height);
      return {};
    }
  }
  return level;
}

Image PictureOf(const MapSource& map) {
  Image picture(map.width / 2, map.height / 2, 0);
  std::vector<const Feature*> standing;
  for (const Feature& f : map.features) {
    if (FindKind(f.kind)->standing) standing.push_back(&f);
    else FindKind(f.kind)->paint(picture, f);
  }
  std::stable_sort(standing.begin(), standing.end(),
                   [](const Feature* a, const Feature* b) { return BaseLine(*a) < BaseLine(*b); });
  for (const Feature* f : standing) FindKind(f->kind)->paint(picture, *f);
  return picture;
}
