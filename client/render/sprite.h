// Drawing one actor from its sprite sheet: a masked blit, its name above it, and for
// the player who is "it" a blinking "IT!" above the name.
#pragma once

#include "client/world/actor.h"

// Draws `actor` onto the frame being composed in `dc`, whose top-left corner shows map
// point (scrollX, scrollY).
void DrawActor(const Actor& actor, HDC dc, int scrollX, int scrollY, bool isIt);

// Advances the two-phase walking animation: a walking actor flips its frame every
// animPeriod steps; a standing one shows the first phase.
void StepAnimation(Actor& actor);
