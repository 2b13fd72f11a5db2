// The client's record of one sprite on the map: a player slot or a psi projectile.
#pragma once

#include "platform/windows.h"

struct Actor {
  WORD x;             // map x of the sprite cell's left edge
  WORD y;             // map y of the sprite cell's top edge; the feet line is y + height
  short speed;        // pixels per tick along each axis of the direction
  short height;
  short width;
  short direction;    // players: a direction code; psi: the flight state
  HBITMAP bitmap;     // the sprite sheet
  HPALETTE palette;
  BYTE active;
  short animCounter;
  short animPeriod;
  BYTE frame;         // walking frame, 0 or 1
  BYTE moving;
  char* name;
  BYTE character;     // SpriteTable index 1..5; 0 = none
  BYTE map;           // MapTable index
};

// Direction codes, and the groups that movement, collision and doors test.
enum Direction : short {
  DirDown = 0,
  DirLeft = 1,
  DirUp = 2,
  DirRight = 3,
  DirDownLeft = 8,
  DirUpLeft = 9,
  DirUpRight = 10,
  DirDownRight = 11,
};

inline bool InDownGroup(int d) { return d == DirDown || d == DirDownLeft || d == DirDownRight; }
inline bool InUpGroup(int d) { return d == DirUp || d == DirUpLeft || d == DirUpRight; }
inline bool InLeftGroup(int d) { return d == DirLeft || d == DirDownLeft || d == DirUpLeft; }
inline bool InRightGroup(int d) { return d == DirRight || d == DirUpRight || d == DirDownRight; }
