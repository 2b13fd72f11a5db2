#include "content/generator/level_walk.h"

#include <algorithm>
#include <cstdint>
#include <span>

#include "client/world/collision.h"
#include "content/generator/level_table.h"

namespace {

Actor Player(Position at, short direction) {
  Actor a{};
  a.x = WORD(at.x), a.y = WORD(at.y);
  a.speed = kPlayerSpeed, a.width = kPlayerWidth, a.height = kPlayerHeight;
  a.direction = direction;
  return a;
}

// Whether a shape could block or be touched by a player's next step: its rows come within
// a step of the feet, and on those rows it comes within a step of the sprite cell. A
// shortcut for speed that never skips a shape the game's tests would find.
template <typename Shape>
bool WithinReach(const Shape& o, const Actor& a) {
  int feet = a.y + a.height, s = a.speed;
  int top = std::max(feet - s, o.y - 1) - o.y, bottom = std::min(feet + s, o.y + o.height + 1) - o.y;
  if (top > bottom) return false;
  int left = o.x, right = o.x + o.width;  // the shape's reach on those rows
  if (o.shape == ShapeLeansRight) left += top, right += bottom;
  if (o.shape == ShapeLeansLeft) left -= bottom, right -= top;
  return left - s <= a.x + a.width + s && right + s >= a.x - s;
}

// What the obstacles decided: the four may-move flags and the four snap values.
struct Blocking {
  MayMove may = {1, 1, 1, 1};
  int snapUp = -1, snapDown = -1, snapLeft = -1, snapRight = -1;
};

// The tick's near test: it depends on the player's x alone.
bool Near(const Obstacle& o, int x) {
  int margin = 2 * o.height;
  return x + kPlayerWidth + margin >= o.x && o.x + o.width > x - margin;
}

// The obstacle step of the tick: every obstacle that passes the near test is asked what it
// blocks. With `skipFar`, those out of reach of the step are not asked (see WithinReach).
Blocking Block(std::span<const Obstacle* const> obstacles, const Actor& a, bool skipFar) {
  Blocking b;
  for (const Obstacle* o : obstacles) {
    if (!Near(*o, a.x) || (skipFar && !WithinReach(*o, a))) continue;
    MayMove m = CollideObstacle(*o, a);
    bool rect = o->shape == ShapeRectangle;
    if (!m.up) b.may.up = 0, b.snapUp = rect ? o->y + o->height - a.height + 1 : b.snapUp;
    if (!m.down) b.may.down = 0, b.snapDown = rect ? o->y - a.height - 1 : b.snapDown;
    if (!m.left) b.may.left = 0, b.snapLeft = rect ? o->x + o->width + 1 : b.snapLeft;
    if (!m.right) b.may.right = 0, b.snapRight = rect ? o->x - a.width - 1 : b.snapRight;
  }
  return b;
}

// The move of a walking player.
void Move(const LevelMap& map, const Blocking& b, Actor& a) {
  int d = a.direction;
  if (InDownGroup(d) && b.may.down && a.y + a.height + a.speed < map.height) a.y = WORD(a.y + a.speed);
  if (InRightGroup(d) && b.may.right && a.x + a.width + a.speed < map.width) a.x = WORD(a.x + a.speed);
  if (InLeftGroup(d) && b.may.left && a.x - a.speed > 0) a.x = WORD(a.x - a.speed);
  if (InUpGroup(d) && b.may.up && a.y - a.speed > 0) a.y = WORD(a.y - a.speed);
}

// Whether a cell of `size` pixels placed at `at` lies on a map `extent` pixels across.
bool OnMap(int at, int size, int extent) { return at >= 0 && at + size < extent; }

// The snap to the blocking rectangles; one that would put the player off the map is not
// made, and then the result is false.
bool Snap(const LevelMap& map, const Blocking& b, Actor& a) {
  int d = a.direction;
  bool onMap = true;
  auto snap = [&](bool blocked, int value, int size, int extent, WORD& at) {
    if (!blocked || value == -1) return;
    if (OnMap(value, size, extent)) at = WORD(value);
    else onMap = false;
  };
  snap(InDownGroup(d) && !b.may.down, b.snapDown, a.height, map.height, a.y);
  snap(InUpGroup(d) && !b.may.up, b.snapUp, a.height, map.height, a.y);
  snap(InLeftGroup(d) && !b.may.left, b.snapLeft, a.width, map.width, a.x);
  snap(InRightGroup(d) && !b.may.right, b.snapRight, a.width, map.width, a.x);
  return onMap;
}

int DoorTouched(const Level& level, std::span<const int> doors, const Actor& a, bool skipFar) {
  for (int k : doors) {
    if ((!skipFar || WithinReach(level.doors[size_t(k)], a)) && TouchesDoor(level.doors[size_t(k)], a)) return k;
  }
  return -1;
}

// Whether the shape covers any x from left to right on map row r.
bool Covers(const Obstacle& o, int r, int left, int right) {
  if (o.shape < ShapeRectangle || o.shape > ShapeLeansLeft || r < o.y || r > o.y + o.height) return false;
  int depth = r - o.y;
  int shift = o.shape == ShapeLeansRight ? depth : o.shape == ShapeLeansLeft ? -depth : 0;
  return o.x + shift <= right && o.x + o.width + shift >= left;
}

// For speed, what a tick needs to look at: for each column and band of 16 feet rows, the
// obstacles near that column within a step of those rows (for the place the tick starts
// from), and for each band the doors within a step (for the place it ends at), in level
// order. Each is still tested by the game's rules.
class Surroundings {
 public:
  explicit Surroundings(const LevelMap& map) : bands_((map.height + kPlayerHeight) / 16 + 2) {
    const Level& level = *map.level;
    std::vector<const Obstacle*> near;
    for (int x = 0; x < map.width; x++) {
      near.clear();
      for (const Obstacle& o : level.obstacles) {
        if (Near(o, x)) near.push_back(&o);
      }
      for (int band = 0; band < bands_; band++) {
        first_.push_back(uint32_t(obstacles_.size()));
        for (const Obstacle* o : near) {
          if (Meets(o->y, o->height, band)) obstacles_.push_back(o);
        }
      }
    }
    first_.push_back(uint32_t(obstacles_.size()));
    doors_.resize(size_t(bands_));
    for (int band = 0; band < bands_; band++) {
      for (size_t k = 0; k < level.doors.size(); k++) {
        if (Meets(level.doors[k].y, level.doors[k].height, band)) doors_[size_t(band)].push_back(int(k));
      }
    }
  }

  std::span<const Obstacle* const> ObstaclesAt(int x, int feet) const {
    size_t cell = size_t(x) * size_t(bands_) + size_t(feet / 16);
    return {obstacles_.data() + first_[cell], obstacles_.data() + first_[cell + 1]};
  }
  std::span<const int> DoorsAt(int feet) const { return doors_[size_t(feet / 16)]; }

 private:
  // Whether rows y..y+height come within a step (and the one row more an obstacle
  // reaches) of some feet row of the band.
  static bool Meets(int y, int height, int band) {
    return y - kPlayerSpeed - 1 <= band * 16 + 15 && y + height + kPlayerSpeed + 1 >= band * 16;
  }

  int bands_;
  std::vector<uint32_t> first_;  // by column * bands + band, into obstacles_
  std::vector<const Obstacle*> obstacles_;
  std::vector<std::vector<int>> doors_;  // by band
};

// The tick up to its doors: the obstacle tests, the move (a walking player's only) and
// the snap.
Tick TickBeforeDoors(const LevelMap& map, std::span<const Obstacle* const> obstacles, Position from, short direction,
                     bool walking, bool skipFar) {
  Actor a = Player(from, direction);
  Blocking b = Block(obstacles, a, skipFar);
  if (walking) Move(map, b, a);
  bool onMap = Snap(map, b, a);
  return {{a.x, a.y}, -1, !onMap};
}

std::vector<const Obstacle*> All(const Level& level) {
  std::vector<const Obstacle*> all;
  for (const Obstacle& o : level.obstacles) all.push_back(&o);
  return all;
}

std::vector<int> AllDoors(const Level& level) {
  std::vector<int> all(level.doors.size());
  for (size_t k = 0; k < all.size(); k++) all[k] = int(k);
  return all;
}

Tick PlainTick(const LevelMap& map, Position from, short direction, bool walking) {
  const Level& level = *map.level;
  Tick t = TickBeforeDoors(map, All(level), from, direction, walking, false);
  t.door = DoorTouched(level, AllDoors(level), Player(t.to, direction), false);
  return t;
}

}  // namespace

Tick WalkTick(const LevelMap& map, Position from, short direction) { return PlainTick(map, from, direction, true); }

Tick TurnTick(const LevelMap& map, Position from, short direction) { return PlainTick(map, from, direction, false); }

bool OnFreeGround(const LevelMap& map, Position at) {
  int feet = at.y + kPlayerHeight;
  for (const Obstacle& o : map.level->obstacles) {
    if (Covers(o, feet, at.x, at.x + kPlayerWidth)) return false;
  }
  for (short d : kWalkDirections) {
    Blocking b = Block(All(*map.level), Player(at, d), false);
    if (b.may.up && b.may.down && b.may.left && b.may.right) return true;
  }
  return false;
}

bool NearDoor(const LevelMap& map, Position at) {
  for (short d : kWalkDirections) {
    if (DoorTouched(*map.level, AllDoors(*map.level), Player(at, d), false) >= 0) return true;
  }
  return false;
}

Exploration Explore(const LevelMap& map, const std::vector<Position>& starts, const std::vector<Position>& goals,
                    Ticks ticks) {
  const Level& level = *map.level;
  Exploration e;
  size_t size = size_t(map.width) * size_t(map.height);
  e.reached.assign(size, 0);
  e.doorFacings.assign(level.doors.size(), 0);
  e.wayToDoor.assign(level.doors.size(), {});
  auto inside = [&](Position p) { return p.x >= 0 && p.y >= 0 && p.x < map.width && p.y < map.height; };
  auto index = [&](Position p) { return size_t(p.y) * size_t(map.width) + size_t(p.x); };
  std::vector<uint8_t> isGoal(goals.empty() ? 0 : size, 0);
  for (Position g : goals) {
    if (inside(g)) isGoal[index(g)] = 1;
  }
  std::vector<Position> queue;
  std::vector<uint32_t> cameFrom(size);  // index in queue of the step before
  auto visit = [&](Position p, uint32_t from) {
    if (!inside(p) || e.reached[index(p)]) return false;
    e.reached[index(p)] = 1;
    cameFrom[index(p)] = from;
    queue.push_back(p);
    return !goals.empty() && isGoal[index(p)];
  };
  auto wayTo = [&](Position end) {
    std::vector<Position> way;
    for (Position p = end;; p = queue[cameFrom[index(p)]]) {
      way.push_back(p);
      if (queue[cameFrom[index(p)]] == p) break;  // a start is its own step before
    }
    std::reverse(way.begin(), way.end());
    return way;
  };
  for (Position start : starts) {
    if (visit(start, uint32_t(queue.size()))) {
      e.pathToGoal = wayTo(start);
      return e;
    }
  }
  Surroundings around(map);
  // One tick from the place at `next` in the queue; true when it reaches a goal.
  auto tickFrom = [&](size_t next, short d, bool walks) {
    Position p = queue[next];
    Tick t = TickBeforeDoors(map, around.ObstaclesAt(p.x, p.y + kPlayerHeight), p, d, walks, true);
    if (t.snapOffMap && !e.offMapSnap) e.offMapSnap = OffMapSnap{p, d, !walks};
    int door = DoorTouched(level, around.DoorsAt(t.to.y + kPlayerHeight), Player(t.to, d), true);
    if (door < 0) return visit(t.to, uint32_t(next));
    if (!e.DoorTaken(size_t(door))) e.wayToDoor[size_t(door)] = wayTo(p);
    e.doorFacings[size_t(door)] |= uint16_t(1 << d);
    return false;
  };
  const bool walking[] = {true, false};  // steps, then turns
  std::span<const bool> kinds(walking, ticks == Ticks::Steps ? 1 : 2);
  for (size_t next = 0; next < queue.size(); next++) {
    for (bool walks : kinds) {
      for (short d : kWalkDirections) {
        if (tickFrom(next, d, walks)) {
          e.pathToGoal = wayTo(queue.back());
          return e;
        }
      }
    }
  }
  return e;
}
