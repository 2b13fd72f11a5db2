// Inside the layer: input from the desktop (or from tests) turned into Windows
// messages in the main thread's queue, addressed as Windows addresses them.
#pragma once

#include "platform/window_objects.h"

// WM_KEYDOWN (repeated while held, as the desktop repeats it) or WM_KEYUP with the
// virtual-key code, to the window with the focus.
void InputKey(int vk, bool down);

// WM_CHAR for each byte of Windows code-page text, to the window with the focus.
void InputText(const char* text);

// WM_LBUTTONDOWN / WM_LBUTTONUP to the deepest shown window under the point
// (client coordinates of `top`), with the point in that window's client coordinates.
// The window that took the press takes its release, wherever the point is then; a
// point outside `top`'s client area finds no other window.
void InputMouseButton(Window& top, POINT point, bool down);

// WM_MOUSEWHEEL to the window under the point; delta in Windows units (120 a notch).
// None for a point outside `top`'s client area.
void InputWheel(Window& top, POINT point, int delta);

// WM_CLOSE to the top-level window, as the desktop's close button sends it.
void InputClose(Window& top);
