// The client's heartbeat, every 40 ms once "Go!" has been pressed: the arrows turn and
// walk the local player, obstacles stop it and snap it to their edges, the view
// follows, doors lead to other maps, and then the frame is drawn.
#pragma once

void GameTick();
