#include "content/generator/map_preview.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "content/generator/level_table.h"
#include "content/generator/level_walk.h"
#include "content/generator/map_build.h"

namespace fs = std::filesystem;

namespace {

struct Built {
  MapSource source;
  Level level;
};

struct Entry {
  Position at;
  std::string label;
  bool start;  // a player slot's start, else a door's arrival point
};

Image Doubled(const Image& picture) {
  Image big(picture.width * 2, picture.height * 2);
  for (int y = 0; y < big.height; y++) {
    for (int x = 0; x < big.width; x++) big.Set(x, y, picture.At(x / 2, y / 2));
  }
  return big;
}

void Label(Image& image, int x, int y, const std::string& text, uint32_t color) {
  PixelText(image, x + 1, y + 1, text, 0);
  PixelText(image, x, y, text, color);
}

void Outline(Image& image, int x, int y, int w, int h, int shape, uint32_t color) {
  int slant = shape == ShapeLeansRight ? h : shape == ShapeLeansLeft ? -h : 0;
  Point corners[] = {{double(x), double(y)}, {double(x + w), double(y)}, {double(x + w + slant), double(y + h)},
                     {double(x + slant), double(y + h)}};
  for (int k = 0; k < 4; k++) {
    Point a = corners[k], b = corners[(k + 1) % 4];
    image.Line(a, b, color);
    image.Line({a.x + 1, a.y + 1}, {b.x + 1, b.y + 1}, color);
  }
}

std::vector<Entry> EntriesOf(const std::vector<Built>& maps, size_t number) {
  std::vector<Entry> entries;
  if (number == 0) {
    for (size_t slot = 0; slot < kSpawnPoints.size(); slot++) {
      entries.push_back({{kSpawnPoints[slot][0], kSpawnPoints[slot][1]}, "start " + std::to_string(slot), true});
    }
  }
  for (size_t from = 0; from < maps.size(); from++) {
    for (const Door& d : maps[from].level.doors) {
      if (d.targetMap != number) continue;
      entries.push_back({{d.targetX, d.targetY}, "from " + std::string(kMapNames[from]), false});
    }
  }
  return entries;
}

// Tints every spot within 3 pixels of where the middle of a walking player's feet can be.
void TintWalkable(Image& image, const LevelMap& map, const Exploration& e) {
  std::vector<bool> feet(image.pixels.size(), false);
  for (int y = 0; y + kPlayerHeight < map.height; y++) {
    for (int x = 0; x + kPlayerWidth / 2 < map.width; x++) {
      if (!e.reached[size_t(y) * map.width + x]) continue;
      feet[size_t(y + kPlayerHeight) * image.width + x + kPlayerWidth / 2] = true;
    }
  }
  for (int y = 0; y < image.height; y++) {
    for (int x = 0; x < image.width; x++) {
      bool near = false;
      for (int fy = std::max(y - 3, 0); fy <= std::min(y + 3, image.height - 1) && !near; fy++) {
        for (int fx = std::max(x - 3, 0); fx <= std::min(x + 3, image.width - 1) && !near; fx++) {
          near = feet[size_t(fy) * image.width + fx];
        }
      }
      if (near) image.Set(x, y, (image.At(x, y) >> 2 & 0x3F3F3F) * 3 + 0x003F3F);
    }
  }
}

// What the walk found wrong, or that nothing was.
std::string WalkReport(const Exploration& e) {
  std::string report;
  for (size_t k = 0; k < e.doorFacings.size(); k++) {
    if (!e.DoorTaken(k)) report += ", door " + std::to_string(k) + " not reached";
  }
  if (e.offMapSnap) {
    const OffMapSnap& s = *e.offMapSnap;
    report += ", a snap off the map from " + std::to_string(s.from.x) + "," + std::to_string(s.from.y) +
              (s.turning ? " turning to " : " stepping ") + std::to_string(s.direction);
  }
  return report.empty() ? "every door reached" : report.substr(2);
}

void DrawRecords(Image& image, const Level& level) {
  const uint32_t shapeColors[] = {0xFF30FF, 0xFF3030, 0xFFA000, 0xFFFF40};
  for (const Obstacle& o : level.obstacles) {
    Outline(image, o.x, o.y, o.width, o.height, o.shape, shapeColors[o.shape <= 3 ? o.shape : 0]);
  }
  for (const Door& d : level.doors) {
    Outline(image, d.x, d.y, d.width, d.height, d.shape, 0xFF40FF);
    std::string target = d.targetMap < kMapNames.size() ? std::string(kMapNames[d.targetMap]) : "?";
    Label(image, d.x, d.y - 10, "> " + target + " " + std::to_string(d.targetX) + "," + std::to_string(d.targetY),
          0xFF80FF);
  }
}

void DrawEntries(Image& image, const std::vector<Entry>& entries) {
  for (const Entry& e : entries) {
    image.FrameRect(e.at.x, e.at.y, kPlayerWidth, kPlayerHeight + 1, e.start ? 0xFFFFFF : 0x30FF30);
    Label(image, e.at.x, e.at.y - 9, e.label, e.start ? 0xFFFFFF : 0x60FF60);
  }
}

bool WritePreview(const std::vector<Built>& maps, size_t number, const fs::path& out) {
  const Built& m = maps[number];
  Image image = Doubled(PictureOf(m.source));
  LevelMap map{&m.level, image.width, image.height};
  std::vector<Entry> entries = EntriesOf(maps, number);
  std::vector<Position> starts;
  for (const Entry& entry : entries) starts.push_back(entry.at);
  Exploration walk = Explore(map, starts);
  TintWalkable(image, map, walk);
  DrawRecords(image, m.level);
  DrawEntries(image, entries);
  if (number == 0) {  // where the cells of players safe from tagging lie
    image.FrameRect(kSafeLeft, kSafeTop, kSafeRight + kPlayerWidth - kSafeLeft + 1,
                    kSafeBottom + kPlayerHeight - kSafeTop + 1, 0xFFD040);
  }
  long sum = 0;
  for (const Obstacle& o : m.level.obstacles) sum += o.x;
  printf("%-12s %4d x %-4d %3zu obstacles (x sum %ld), %2zu doors, %s\n", std::string(kMapNames[number]).c_str(),
         image.width, image.height, m.level.obstacles.size(), sum, m.level.doors.size(), WalkReport(walk).c_str());
  fs::path file = out / (std::string(kMapNames[number]) + ".bmp");
  if (WriteBmp(file, image)) return true;
  fprintf(stderr, "%s: cannot be written\n", file.c_str());
  return false;
}

}  // namespace

bool WriteMapPreviews(const fs::path& sources, const fs::path& out) {
  std::vector<Built> maps;
  for (std::string_view name : kMapNames) {
    std::optional<MapSource> source = ReadMapFile(sources, name);
    std::optional<Level> level = source ? LevelOf(*source, name) : std::nullopt;
    if (!level) return false;
    maps.push_back({std::move(*source), std::move(*level)});
  }
  for (size_t k = 0; k < maps.size(); k++) {
    if (!WritePreview(maps, k, out)) return false;
  }
  return true;
}
