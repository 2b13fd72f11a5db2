#include "client/world/collision.h"

#include <initializer_list>

namespace {

enum Group { GroupUp, GroupDown, GroupLeft, GroupRight };

// The part of an obstacle or door that the tests read, widened to signed 32 bits.
struct Area {
  int x, y, width, height, shape;
};

struct Span {
  int left, right;
};

bool Overlaps(Span a, Span b) { return a.left <= b.right && a.right >= b.left; }

// The closed interval of x that the shape covers on map row r.
Span RowAt(const Area& o, int r) {
  int depth = r - o.y;
  switch (o.shape) {
    case ShapeLeansRight: return {o.x + depth, o.x + o.width + depth};
    case ShapeLeansLeft: return {o.x - depth, o.x + o.width - depth};
    default: return {o.x, o.x + o.width};
  }
}

bool IsDiagonal(int direction) { return direction >= DirDownLeft && direction <= DirDownRight; }

// One direction group's test; an obstacle's band reaches one row further than a door's.
bool Passes(const Area& o, const Actor& a, Group group, bool isObstacle) {
  if (o.shape < ShapeRectangle || o.shape > ShapeLeansLeft) return false;
  int x = a.x, s = a.speed, w = a.width, feet = a.y + a.height;
  int m = (isObstacle && o.shape == ShapeRectangle && IsDiagonal(a.direction)) ? s : 0;
  int slack = isObstacle ? 1 : 0;
  switch (group) {
    case GroupUp: {
      int r = feet - s;
      return o.y <= r && r <= o.y + o.height + slack && Overlaps(RowAt(o, r), {x + m, x + w - m});
    }
    case GroupDown: {
      int r = feet + s;
      return o.y - slack <= r && r <= o.y + o.height && Overlaps(RowAt(o, r), {x + m, x + w - m});
    }
    case GroupLeft:
    case GroupRight: {
      if (feet < o.y || feet > o.y + o.height) return false;
      int shift = group == GroupLeft ? -s : s;
      Span row = RowAt(o, feet);
      if (o.shape != ShapeRectangle) row = {row.left - s, row.right + s};
      return Overlaps(row, {x + shift, x + w + shift});
    }
  }
  return false;
}

bool InGroup(int direction, Group group) {
  switch (group) {
    case GroupUp: return InUpGroup(direction);
    case GroupDown: return InDownGroup(direction);
    case GroupLeft: return InLeftGroup(direction);
    case GroupRight: return InRightGroup(direction);
  }
  return false;
}

}  // namespace

MayMove CollideObstacle(const Obstacle& obstacle, const Actor& actor) {
  Area area = {obstacle.x, obstacle.y, obstacle.width, obstacle.height, obstacle.shape};
  MayMove flags = {1, 1, 1, 1};
  BYTE* flagOf[] = {&flags.up, &flags.down, &flags.left, &flags.right};
  for (Group group : {GroupUp, GroupDown, GroupLeft, GroupRight}) {
    if (InGroup(actor.direction, group) && Passes(area, actor, group, true)) *flagOf[group] = 0;
  }
  return flags;
}

bool TouchesDoor(const Door& door, const Actor& actor) {
  Area area = {door.x, door.y, door.width, door.height, door.shape};
  for (Group group : {GroupUp, GroupDown, GroupLeft, GroupRight}) {
    if (InGroup(actor.direction, group) && Passes(area, actor, group, false)) return true;
  }
  return false;
}
