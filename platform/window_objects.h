// Inside the layer: the records behind window handles, shared by the window core
// (windows.cpp, messages.cpp), the built-in controls and the screen. Game code never
// includes this.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/gdi_objects.h"
#include "platform/window.h"

struct Window;

// The behaviour of a built-in control class ("EDIT", "BUTTON", "LISTBOX"). Every call
// is made with WindowMutex held, on whichever thread sent the message; a control never
// calls game code directly (it posts its notifications) and never blocks.
struct Control {
  virtual ~Control() = default;
  // Handles one message. Messages it leaves alone (handled stays false) get the
  // default processing of DefWindowProcA.
  virtual LRESULT Handle(Window& self, UINT message, WPARAM wParam, LPARAM lParam, bool& handled) = 0;
  // Draws the whole control into `surface`, the client area of its top-level window,
  // with its top-left corner at `origin`. Runs on the main thread with GdiMutex held
  // too, so it writes the pixels itself and calls no drawing function.
  virtual void Paint(Window& self, Pixmap& surface, POINT origin) = 0;
};

// Makes the control for a built-in class name ("EDIT", "BUTTON", "LISTBOX", in any
// letter case), or null when the name is not one.
std::unique_ptr<Control> MakeControl(const std::string& className, DWORD style);

struct Window {
  std::string className;
  WNDPROC proc = nullptr;             // the class's procedure, for classes the game registers
  std::unique_ptr<Control> control;   // for the built-in classes
  UINT classStyle = 0;
  uint32_t background = 0xC0C0C0;     // the class brush, as a pixel
  DWORD style = 0;
  Window* parent = nullptr;
  std::vector<Window*> children;      // in creation order
  RECT rect = {0, 0, 0, 0};           // child: in the parent's client area; top-level: on the desktop
  std::string text;
  bool visible = false;
  bool needsPaint = false;

  // Top-level windows only.
  Pixmap surface;                     // the client area
  HDC dc = nullptr;                   // the one context GetDC hands out
  bool surfaceChanged = false;        // shown again: the screen shows it even if unchanged
  void* screen = nullptr;             // the desktop window showing it, when there is a display

  HWND Handle() { return reinterpret_cast<HWND>(this); }
  int Width() const { return rect.right - rect.left; }
  int Height() const { return rect.bottom - rect.top; }
  Window& TopLevel() { return parent ? parent->TopLevel() : *this; }
  // The client area's top-left corner in its top-level window's client area.
  POINT Origin() const;
  // Visible, and every ancestor visible too.
  bool Shown() const;
};

// Guards every Window and Control. Never held while game code runs or while a call blocks.
std::recursive_mutex& WindowMutex();

// Under WindowMutex: the live window behind a handle, or null.
Window* LookupWindow(HWND hwnd);

// The window with the keyboard focus, or null. Under WindowMutex.
Window* FocusWindow();

// Marks a window (and so its children) for repainting on the main thread, and wakes
// the message loop. Safe from any thread.
void Invalidate(HWND hwnd);

// The deepest shown window of `top` under the point (client coordinates of `top`);
// null for a point outside `top`'s client area.
Window* WindowAt(Window& top, POINT point);
