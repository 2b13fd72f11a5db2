// Between two world updates, remote players walk on by themselves.
#pragma once

#include "client/world/actor.h"

// Moves a walking remote player one step in its direction, down, right, left, up,
// kept within the current level's size (whatever map it is on); no obstacle stops it.
// The next world update puts it where the server says.
void ExtrapolateRemote(Actor& actor);
