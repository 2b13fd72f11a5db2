// Inside the layer: the main thread's message queue, as the window core, the input
// and the tests see it.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/window_objects.h"

// Records the thread that makes the first window as the main thread and sets up
// SIGINT and SIGTERM to close the top-level windows. Runs once.
void MessageLoopStarts();
bool OnMainThread();

// Wakes a GetMessageA that waits. Safe from any thread.
void WakeMessageLoop();

// Every top-level window, in creation order. Under WindowMutex.
std::vector<Window*> TopLevelWindows();

// The message GetMessageA would return next, without waiting: false when nothing is
// ready. WM_QUIT is returned like any other message.
bool TakeReadyMessage(MSG* msg);

// Milliseconds on the monotonic clock the timers run on.
uint64_t NowMs();

// Tests only: the timers' clock stands still until advanced.
void UseManualClock();
void AdvanceManualClock(uint32_t ms);
