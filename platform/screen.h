// Inside the layer: the desktop. With a display, every shown top-level window is a
// real desktop window (SDL2) that turns the desktop's input into Windows messages and
// shows the window's surface at a whole-number scale with every pixel sharp: it opens
// at the largest scale that suits the desktop (DesktopPlacement), and from then on the
// surface is as large as fits the desktop window, centred, with black around it. The
// player may resize the desktop window, though never below the surface's own size, and
// F11 or Alt+Enter makes it fill the screen and back; those keys never reach the game,
// and none of this changes the window the game sees (its client size, its messages).
// Without a display, nothing here does anything and the windows live in memory. Only
// the main thread calls these, except ScreenWake, ScreenMessageBox and
// ScreenClipboardText.
#pragma once

#include <string>

#include "platform/window_objects.h"

// Whether a display is in use. Decided once, at the first call: the display named by
// the environment if SDL can open it, none after ScreenForceHeadless().
bool ScreenAvailable();
void ScreenForceHeadless();

// Opens (or shows again), hides, retitles, and shows the latest pixels of a
// top-level window.
void ScreenShow(Window& top);
void ScreenHide(Window& top);
void ScreenSetCaption(Window& top);
void ScreenPresent(Window& top);

// Turns pending desktop events into input (see input.h); waits at most `timeoutMs`
// for one when there is none. Returns at once after ScreenWake from any thread.
void ScreenWaitEvents(int timeoutMs);
void ScreenWake();

// A modal box on the desktop that blocks the calling thread only.
void ScreenMessageBox(HWND owner, const char* text, const char* caption, UINT type);

// The desktop clipboard's text, "" when there is none.
std::string ScreenClipboardText();
