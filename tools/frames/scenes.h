// The world states whose frames are compared across platforms: every blink phase,
// players at every edge of the view and across it, "it" and its marker, projectiles in
// flight and idle, the radar of every map, and chat lines and names that test the text
// layout ("&", wrapping, clipping at the bottom).
#pragma once

#include <vector>

#include "tools/frames/stage.h"

const std::vector<Scene>& Scenes();
