// How the local player meets a level: which directions an obstacle blocks for the next
// step, and whether a door is touched. Both look only at the actor's feet line and at
// the position one step of `speed` away in its direction, walking or not.
#pragma once

#include "client/world/actor.h"
#include "client/world/level_records.h"

// 1 = free, 0 = blocked.
struct MayMove {
  BYTE up;
  BYTE down;
  BYTE left;
  BYTE right;
};

MayMove CollideObstacle(const Obstacle& obstacle, const Actor& actor);
bool TouchesDoor(const Door& door, const Actor& actor);
