// What each kind of feature in a map source takes, draws and makes.
#pragma once

#include <string>
#include <string_view>

#include "content/generator/image.h"
#include "content/generator/level_file.h"
#include "content/generator/map_source.h"

struct Kind {
  std::string_view name;
  // What follows the name: s a style word, n a number, t a quoted text,
  // > the arrow and the target map's name and position.
  std::string_view arguments;
  std::string styles;  // the allowed style words, space separated
  // Standing features (buildings, trees, furniture) are drawn after the ground,
  // back to front by their base line; the ground in the order of the source.
  bool standing;
  void (*paint)(Image& picture, const Feature& feature);
  void (*records)(const Feature& feature, Level& level);  // null for what only draws
};

// The kind named `name`, or null.
const Kind* FindKind(std::string_view name);
