// The play view of one tick, composed off-screen and copied to the window at once: the
// map, the players on the local player's map, the projectiles, the radar and the
// last four chat lines. Runs on the main thread with worldLock held.
#pragma once

void DrawFrame();
