// The one header the game code includes: every Windows call the game makes, with the
// Windows names, types and meanings, over SDL2 and POSIX.
#pragma once

#include "platform/files.h"
#include "platform/gdi.h"
#include "platform/sockets.h"
#include "platform/sound.h"
#include "platform/threads.h"
#include "platform/window.h"
#include "platform/wintypes.h"
