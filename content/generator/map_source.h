// A map's readable source (content/maps/<name>.txt): its size, the name of its picture,
// and one feature a line that both draws the picture and makes the obstacles and doors
// that go with it, so that walls, doors and picture always agree.
//
//   map WIDTH HEIGHT PICTURE.bmp        first line; map pixels, twice the picture's size
//   KIND [STYLE] NUMBERS... ["TEXT"] [-> MAP X Y]
//
// Numbers are map pixels; '#' starts a comment. map_kinds.cpp lists the kinds.
#pragma once

#include <istream>
#include <optional>
#include <string>
#include <vector>

struct Feature {
  std::string kind;
  std::string style;         // the word naming its look, for kinds that have one
  std::vector<int> numbers;  // map pixels
  std::string text;          // a quoted text, for kinds that have one
  int targetMap = -1;        // a door's target: map number and position
  int targetX = 0, targetY = 0;
  int line = 0;
};

struct MapSource {
  int width = 0, height = 0;
  std::string picture;
  std::vector<Feature> features;
};

// The source in `in`, or nothing with the first problem and its line in `error`.
std::optional<MapSource> ReadMapSource(std::istream& in, std::string& error);
