// The game's own walking rules, to judge a level: one tick of a player who holds an
// arrow key, and every place such a player can get to from a start.
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
  int door;         // index of the door taken after the move, or -1
  bool snapOffMap;  // a snap was not made because it would have put the player off the map
};

// One tick of a walking player (its `moving` flag already 1) facing `direction`: the
// obstacle tests with their snap values, the move within the map, the snap to a blocking
// rectangle unless that would leave the map, then the first door touched.
Tick WalkTick(const LevelMap& map, Position from, short direction);
// The same tick of a standing player who presses the arrows of `direction`: it only
// turns, but the obstacles still snap it and a door may still be touched.
Tick TurnTick(const LevelMap& map, Position from, short direction);

// True when the player's feet line lies inside no obstacle and some direction is open.
bool OnFreeGround(const LevelMap& map, Position at);
// True when any door is touched from `at` facing any of the eight directions.
bool NearDoor(const LevelMap& map, Position at);

// A tick whose snap would have thrown the player off the map, had the game made it.
struct OffMapSnap {
  Position from;
  short direction;
  bool turning;  // a turn, else a step
};

struct Exploration {
  std::vector<uint8_t> reached;          // 1 where reached, by y * width + x
  std::vector<uint16_t> doorFacings;     // by door index: bit d set when taken facing direction d
  std::vector<std::vector<Position>> wayToDoor;  // by door index: from a start to where it was first taken
  std::optional<OffMapSnap> offMapSnap;  // the first tick found whose snap would leave the map
  std::vector<Position> pathToGoal;      // the positions walked from a start to the goal reached
  bool Reached(const LevelMap& map, Position p) const {
    return p.x >= 0 && p.y >= 0 && p.x < map.width && p.y < map.height && reached[size_t(p.y) * map.width + p.x];
  }
  bool DoorTaken(size_t door) const { return doorFacings[door] != 0; }
};

// What a walk tries from every place it reaches: a step in each of the eight directions,
// as a player who never stops walking; or a turn to each of them as well, as a player
// who stopped there.
enum class Ticks { Steps, StepsAndTurns };

// Every position players standing at `starts` can get to, tick by tick, and every door
// they can take on the way, with the directions they face when they do (a door ends a
// walk where taken). With goals, stops at the first goal reached, with the way there.
Exploration Explore(const LevelMap& map, const std::vector<Position>& starts, const std::vector<Position>& goals = {},
                    Ticks ticks = Ticks::StepsAndTurns);
