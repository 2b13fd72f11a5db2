// What a window shows, read from the X server.
#pragma once

#include <optional>
#include <string>

#include "tests/support/picture.h"

// The contents of the X window `window` (an id as xdotool prints it) on the display
// that DISPLAY names; nothing when it cannot be read.
std::optional<Picture> CaptureWindow(const std::string& window);
