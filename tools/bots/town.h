// The main map as the bots walk it: its obstacles and doors from levels/maps/main.lvl
// and its size from its picture, read from the game folder.
#pragma once

#include <optional>
#include <string>

#include "content/generator/level_walk.h"

struct Town {
  Level level;
  int width = 0, height = 0;
  LevelMap Map() const { return {&level, width, height}; }
};

// The town of the game folder `folder`, or nothing when its files cannot be read.
std::optional<Town> LoadTown(const std::string& folder);
