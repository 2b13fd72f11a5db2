// A level as the game reads it: the name of its background picture, its obstacles and
// its doors, and the bytes of its .lvl file.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "client/world/level_records.h"

struct Level {
  std::string picture;  // file name under images/bg/
  std::vector<Obstacle> obstacles;
  std::vector<Door> doors;
};

// The file: name length, name, one unused byte, obstacle count (u16), door count (u8),
// then the records, every number little-endian. The level must fit those fields.
std::vector<uint8_t> EncodeLevel(const Level& level);
// The level in `bytes`, or nothing unless they are exactly one level file.
std::optional<Level> DecodeLevel(std::span<const uint8_t> bytes);
