// For tests: drive the window layer without a display and without waiting. Call
// UseTestDesktop() before the first window is made.
#pragma once

#include <cstdint>

#include "platform/window.h"

// No display, whatever the environment offers, and timers on a clock that moves only
// when AdvanceClock says so.
void UseTestDesktop();
void AdvanceClock(uint32_t ms);

// A plain top-level window of the given client size (its procedure is DefWindowProcA),
// for tests that need a window's surface or device context.
HWND MakeTestWindow(int width, int height);

// Translates and dispatches every message that is ready now, as the usual message
// loop would, and returns how many it dispatched; it stops after a WM_QUIT, which it
// reports through `quit` when that is given.
int PumpMessages(bool* quit = nullptr);

// Input as the desktop delivers it: a key pressed or released (to the focus), typed
// text (key presses for each character, as WM_KEYDOWN, WM_CHAR and WM_KEYUP), and a
// left click or a wheel turn at a point of a top-level window's client area.
void PressKey(int vk);
void ReleaseKey(int vk);
void TypeText(const char* text);
void ClickAt(HWND top, int x, int y);
void TurnWheel(HWND top, int x, int y, int notches);

// The pixel (0x00RRGGBB) at a point of a top-level window's client area.
uint32_t WindowPixel(HWND top, int x, int y);

// The closesocket calls so far that found no open socket: closed already, or never
// one. On Windows a handle is used again at once, so such a call may close a
// connection that somebody else has just made.
int StaleSocketCloses();

// From now on every thread start of `start` fails, as on a system that has no thread
// left to give; nullptr ends that.
void RefuseThreadsOf(void (*start)(void*));
