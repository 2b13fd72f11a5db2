#include "content/generator/map_kinds.h"

#include <vector>

#include "content/generator/map_paint.h"

namespace {

constexpr char kBands[] = "rect leanright leanleft";
constexpr char kColors[] = "white black gold red blue green brown grey purple pink orange cyan";

Obstacle Rectangle(int x, int y, int w, int h) { return {WORD(x), WORD(y), WORD(w), WORD(h), ShapeRectangle}; }

// What stands on the feature's whole rectangle blocks all of it.
void Solid(const Feature& f, Level& level) {
  const std::vector<int>& n = f.numbers;
  level.obstacles.push_back(Rectangle(n[0], n[1], n[2], n[3]));
}

void Band(const Feature& f, Level& level) {
  const std::vector<int>& n = f.numbers;
  level.obstacles.push_back({WORD(n[0]), WORD(n[1]), WORD(n[2]), WORD(n[3]), BYTE(BandShape(f))});
}

// Only a tree's trunk blocks; its crown hangs over the players.
void Trunk(const Feature& f, Level& level) {
  int half = f.style == "bush" ? 18 : 10;
  level.obstacles.push_back(Rectangle(f.numbers[0] - half, f.numbers[1] - 12, 2 * half, 12));
}

void Post(const Feature& f, Level& level) {
  level.obstacles.push_back(Rectangle(f.numbers[0] - 6, f.numbers[1] - 10, 12, 10));
}

// The town hall's front corners are cut at 45 degrees: a rectangle down to where the
// cut begins, then two bands that narrow towards the front.
void CutCorners(const Feature& f, Level& level) {
  const std::vector<int>& n = f.numbers;
  int x = n[0], y = n[1], w = n[2], h = n[3], cut = n[4], cutTop = y + h - cut;
  level.obstacles.push_back(Rectangle(x, y, w, h - cut));
  level.obstacles.push_back({WORD(x), WORD(cutTop), WORD(w / 2), WORD(cut), ShapeLeansRight});
  level.obstacles.push_back({WORD(x + w - w / 2), WORD(cutTop), WORD(w / 2), WORD(cut), ShapeLeansLeft});
}

Door DoorTo(const Feature& f, int x, int y, int w, int h) {
  return {WORD(x), WORD(y), WORD(w), WORD(h), ShapeRectangle, BYTE(f.targetMap), WORD(f.targetX), WORD(f.targetY)};
}

void Doorway(const Feature& f, Level& level) {
  const std::vector<int>& n = f.numbers;
  level.doors.push_back(DoorTo(f, n[0], n[1], n[2], n[3]));
}

// An entrance in a building's front: the door reaches a little into the building and a
// little out in front of it, so walking up to it or along the wall takes it.
void FrontDoor(const Feature& f, Level& level) {
  const std::vector<int>& n = f.numbers;
  level.doors.push_back(DoorTo(f, n[0], n[1] - 4, n[2], 12));
}

const std::vector<Kind>& Kinds() {
  static const std::string surfaces = SurfaceNames();
  // X Y W H are a rectangle in map pixels; a band (rect, leanright, leanleft) is an
  // obstacle's shape over that rectangle's top row and height.
  static const std::vector<Kind> kinds = {
      // The ground, in source order; only water and walls block.
      {"area", "snnnn", surfaces, false, PaintArea, nullptr},            // area SURFACE X Y W H
      {"street", "nnnn", "", false, PaintStreet, nullptr},               // street X Y W H, along its longer side
      {"crossing", "nnnn", "", false, PaintCrossing, nullptr},           // crossing X Y W H: zebra stripes
      {"parking", "nnnn", "", false, PaintParking, nullptr},             // parking X Y W H
      {"water", "snnnn", kBands, false, PaintWater, Band},               // water BAND X Y W H: blocks all of it
      {"bridge", "snnnn", "stone wood", false, PaintBridge, nullptr},    // bridge STYLE X Y W H, over water
      {"flowers", "nnnn", "", false, PaintFlowers, nullptr},             // flowers X Y W H
      {"text", "snnnt", kColors, false, PaintText, nullptr},             // text COLOUR X Y SCALE "TEXT"
      {"rug", "snnnn", kColors, false, PaintRug, nullptr},               // rug COLOUR X Y W H
      {"wall", "nnnn", "", false, PaintWall, Solid},                     // wall X Y W H: a wall seen from above
      // backwall PAPER X Y W H: a room's far wall, seen from the front
      {"backwall", "snnnn", "cream blue stone wood purple white red", false, PaintBackWall, Solid},
      {"window", "nnnn", "", false, PaintWindow, nullptr},               // window X Y W H, on a back wall
      {"poster", "snnnn", kColors, false, PaintPoster, nullptr},         // poster COLOUR X Y W H, on a back wall
      // door STYLE X Y W H -> MAP X Y: a way out that takes whoever touches it to MAP
      {"door", "snnnn>", "mat doorway stairsup stairsdown", false, PaintDoor, Doorway},
      // What stands on the ground, back to front; it blocks its rectangle unless said.
      {"house", "snnnn", "red blue green brown grey orange purple", true, PaintHouse, Solid},  // house ROOF X Y W H
      {"shop", "snnnnt", "burger drugstore arcade hospital", true, PaintShop, Solid},  // shop LOOK X Y W H "SIGN"
      {"townhall", "nnnnn", "", true, PaintTownHall, CutCorners},        // townhall X Y W H CUT: front corners cut
      {"entrance", "nnn>", "", true, PaintEntrance, FrontDoor},          // entrance X BASE W -> MAP X Y, in a front
      {"tree", "snn", "oak pine birch bush", true, PaintTree, Trunk},    // tree KIND X Y: the trunk's foot blocks
      {"hedge", "snnnn", kBands, true, PaintHedge, Band},                // hedge BAND X Y W H
      {"fence", "snnnn", kBands, true, PaintFence, Band},                // fence BAND X Y W H
      {"fountain", "nnnn", "", true, PaintFountain, Solid},              // fountain X Y W H
      {"sign", "nnt", "", true, PaintSign, Post},                        // sign X Y "TEXT": the post's foot blocks
      {"bench", "nnnn", "", true, PaintBench, Solid},                    // bench X Y W H
      {"furniture", "snnnn",
       "counter table shelf bookcase desk bed cabinet sofa fridge locker grill booth pooltable plant", true,
       PaintFurniture, Solid},                                           // furniture KIND X Y W H
  };
  return kinds;
}

}  // namespace

const Kind* FindKind(std::string_view name) {
  for (const Kind& kind : Kinds()) {
    if (kind.name == name) return &kind;
  }
  return nullptr;
}
