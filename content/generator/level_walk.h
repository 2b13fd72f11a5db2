// The game's own walking rules, to judge a level: one tick of a player who holds an
// arrow key, and every place such a player can walk to from a start.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "content/generator/level_file.h"

// A level with the size of its map in map pixels (twice its picture).
struct LevelMap {
  const Level* level;
  int width, height;
};

// A player's position: the top-left corner of its sprite cell.
struct Position {
  int x, y;
  bool operator==(const Position&) const = default;
};

inline constexpr short kWalkDirections[] = {0, 1, 2, 3, 8, 9, 10, 11};

struct Tick {
  Position to;
  int door;  // index of the door taken after the move, or -1
};

// One tick of a walking player (its `moving` flag already 1) facing `direction`: the
// obstacle tests with their snap values, the move within the map, the snap to a blocking
// rectangle, then the first door touched.
Tick WalkTick(const LevelMap& map, Position from, short direction);

// True when the player's feet line lies inside no obstacle and some direction is open.
bool OnFreeGround(const LevelMap& map, Position at);
// True when any door is touched from `at` facing any of the eight directions.
bool NearDoor(const LevelMap& map, Position at);

struct Exploration {
  std::vector<uint8_t> reached;         // 1 where reached, by y * width + x
  std::vector<bool> doorTaken;          // by door index
  std::vector<std::vector<Position>> wayToDoor;  // by door index: from a start to where it was first taken
  std::optional<Position> leftMapFrom;  // where a tick took a player's cell out of the map
  std::vector<Position> pathToGoal;     // the positions walked from a start to the goal reached
  bool Reached(const LevelMap& map, Position p) const {
    return p.x >= 0 && p.y >= 0 && p.x < map.width && p.y < map.height && reached[size_t(p.y) * map.width + p.x];
  }
};

// Every position players standing at `starts` can walk to, tick by tick in the eight
// directions, and every door they can take on the way (a door ends a walk where taken).
// With goals, stops at the first goal reached, with the way there.
Exploration Explore(const LevelMap& map, const std::vector<Position>& starts, const std::vector<Position>& goals = {});
