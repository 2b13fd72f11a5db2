// The arcade's back room as it was first made, with its sofa ending just below the back
// wall and its top less than a player's height below the map's top edge: a player who
// slips round the sofa's corner, is snapped back under the wall and then faces down is
// snapped onto the sofa's top, off the map.
#pragma once

#include "content/generator/level_file.h"

inline Level BackRoomAsItWas() {
  Level room;
  room.picture = "arcade2.bmp";
  room.obstacles = {
      {0, 0, 560, 100, ShapeRectangle},   // the back wall
      {0, 0, 16, 400, ShapeRectangle},    // the side and front walls
      {544, 0, 16, 400, ShapeRectangle},
      {0, 376, 560, 24, ShapeRectangle},
      {60, 30, 150, 80, ShapeRectangle},  // the sofa
  };
  room.doors = {{240, 348, 80, 52, ShapeRectangle, 4, 584, 150}};  // the mat back to the arcade
  return room;
}
