#include "tests/wine/window_picture.h"

#include <algorithm>
#include <cstdlib>
#include <map>

namespace {

bool Inside(const Area& a, int x, int y) { return x >= a.left && x < a.right && y >= a.top && y < a.bottom; }

// The colour most of a cell has: its background.
uint32_t Background(const Picture& p, const Area& a) {
  std::map<uint32_t, int> counts;
  for (int y = a.top; y < a.bottom; y++)
    for (int x = a.left; x < a.right; x++) counts[p.At(x, y)]++;
  return std::max_element(counts.begin(), counts.end(), [](auto& l, auto& r) { return l.second < r.second; })->first;
}

// Where a cell's glyphs stand: the box around every pixel that is not its background.
struct Ink {
  bool any = false;
  Area box = {0, 0, 0, 0};
};

Ink InkOf(const Picture& p, const Area& a, uint32_t background, std::vector<bool>& mask) {
  Ink ink;
  for (int y = a.top; y < a.bottom; y++) {
    for (int x = a.left; x < a.right; x++) {
      if (p.At(x, y) == background) continue;
      mask[size_t(y) * size_t(p.width) + size_t(x)] = true;
      if (!ink.any) ink.box = {x, y, x + 1, y + 1};
      ink.any = true;
      ink.box = {std::min(ink.box.left, x), std::min(ink.box.top, y), std::max(ink.box.right, x + 1),
                 std::max(ink.box.bottom, y + 1)};
    }
  }
  return ink;
}

std::string Describe(const Area& a) {
  return "(" + std::to_string(a.left) + ", " + std::to_string(a.top) + ")-(" + std::to_string(a.right) + ", " +
         std::to_string(a.bottom) + ")";
}

// The glyphs of one cell in both pictures: a line when they do not stand alike.
std::optional<std::string> CompareInk(const TextCell& cell, const Ink& ours, const Ink& reference) {
  constexpr int kShapeSlack = 2;  // what the fonts' own shapes may move an edge
  if (ours.any != reference.any) {
    return cell.name + ": text shows in " + (ours.any ? "ours" : "the reference") + " only";
  }
  if (!ours.any) return std::nullopt;
  const Area& o = ours.box;
  const Area& r = reference.box;
  const int widthSlack = kShapeSlack + (r.right - r.left) / 6;
  if (std::abs(o.left - r.left) > kShapeSlack || std::abs(o.top - r.top) > kShapeSlack ||
      std::abs(o.bottom - r.bottom) > kShapeSlack || std::abs(o.right - r.right) > widthSlack) {
    return cell.name + ": text at " + Describe(o) + " where the reference has it at " + Describe(r);
  }
  return std::nullopt;
}

}  // namespace

std::vector<std::string> StructureDifferences(const Picture& ours, const Picture& reference,
                                              const std::vector<TextCell>& cells, const std::vector<Area>& ignored,
                                              Picture& shown) {
  if (ours.width != reference.width || ours.height != reference.height) {
    return {"ours is " + std::to_string(ours.width) + " x " + std::to_string(ours.height) + ", the reference " +
            std::to_string(reference.width) + " x " + std::to_string(reference.height)};
  }
  std::vector<std::string> found;
  std::vector<bool> glyphs(ours.pixels.size());
  for (const TextCell& cell : cells) {
    const Ink o = InkOf(ours, cell.area, Background(ours, cell.area), glyphs);
    const Ink r = InkOf(reference, cell.area, Background(reference, cell.area), glyphs);
    if (std::optional<std::string> line = CompareInk(cell, o, r)) found.push_back(*line);
  }
  int differing = 0;
  Area box = {ours.width, ours.height, 0, 0};
  shown = reference;
  for (uint32_t& pixel : shown.pixels) pixel = (pixel >> 2 & 0x3F3F3F) + 0xA0A0A0;
  for (int y = 0; y < ours.height; y++) {
    for (int x = 0; x < ours.width; x++) {
      uint32_t& pixel = shown.At(x, y);
      if (glyphs[size_t(y) * size_t(ours.width) + size_t(x)]) pixel = 0x4060FF;
      if (glyphs[size_t(y) * size_t(ours.width) + size_t(x)] || ours.At(x, y) == reference.At(x, y)) continue;
      if (std::any_of(ignored.begin(), ignored.end(), [&](const Area& a) { return Inside(a, x, y); })) continue;
      pixel = 0xFF0000;
      differing++;
      box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), std::max(box.bottom, y + 1)};
    }
  }
  if (differing > 0) found.push_back(std::to_string(differing) + " pixels differ, within " + Describe(box));
  return found;
}
