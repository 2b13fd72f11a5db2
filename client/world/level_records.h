// The records of a level file, packed exactly as the file stores them (little-endian).
#pragma once

#include "platform/wintypes.h"

#pragma pack(push, 1)

// A piece of ground that blocks walking: a rectangle (shape 1) or a 45-degree band
// leaning right (2) or left (3) going down; any other shape never blocks.
struct Obstacle {
  WORD x;        // left end of the top row
  WORD y;        // the top row
  WORD width;    // every row spans from its left end to its left end + width
  WORD height;   // the rows y to y + height
  BYTE shape;
};

// An area that takes the local player to (targetX, targetY) on map targetMap.
struct Door {
  WORD x;
  WORD y;
  WORD width;
  WORD height;
  BYTE shape;
  BYTE targetMap;
  WORD targetX;
  WORD targetY;
};

#pragma pack(pop)

static_assert(sizeof(Obstacle) == 9);
static_assert(sizeof(Door) == 14);

enum Shape : BYTE { ShapeRectangle = 1, ShapeLeansRight = 2, ShapeLeansLeft = 3 };
