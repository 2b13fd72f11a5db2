#include "platform/input.h"

#include "platform/messages.h"

namespace {

// The window that gets the button-up of a press, wherever the pointer is then, as a
// window that captures the mouse would.
Window* pressed = nullptr;

LPARAM PointIn(Window& window, POINT point) {
  POINT origin = window.Origin();
  return MAKELPARAM(point.x - origin.x, point.y - origin.y);
}

}  // namespace

void InputKey(int vk, bool down) {
  HWND target;
  {
    std::lock_guard lock(WindowMutex());
    Window* focus = FocusWindow();
    if (!focus) {
      std::vector<Window*> tops = TopLevelWindows();
      if (tops.empty()) return;
      focus = tops.front();
    }
    target = focus->Handle();
  }
  // Bit 30 and 31 of lParam mark a key that was down and is released.
  LPARAM flags = down ? 1 : LPARAM(0xC0000001u);
  PostMessageA(target, down ? WM_KEYDOWN : WM_KEYUP, WPARAM(vk), flags);
}

void InputText(const char* text) {
  HWND target;
  {
    std::lock_guard lock(WindowMutex());
    Window* focus = FocusWindow();
    if (!focus) return;
    target = focus->Handle();
  }
  for (const char* c = text; *c; c++) PostMessageA(target, WM_CHAR, WPARAM(uint8_t(*c)), 1);
}

void InputMouseButton(Window& top, POINT point, bool down) {
  HWND target;
  LPARAM where;
  {
    std::lock_guard lock(WindowMutex());
    Window* window = down || !pressed || !LookupWindow(pressed->Handle()) ? WindowAt(top, point) : pressed;
    pressed = down ? window : nullptr;
    if (!window) return;  // outside the client area, where no window is
    target = window->Handle();
    where = PointIn(*window, point);
  }
  PostMessageA(target, down ? WM_LBUTTONDOWN : WM_LBUTTONUP, 0, where);
}

void InputWheel(Window& top, POINT point, int delta) {
  HWND target;
  LPARAM where;
  {
    std::lock_guard lock(WindowMutex());
    Window* window = WindowAt(top, point);
    if (!window) return;
    target = window->Handle();
    where = PointIn(*window, point);
  }
  PostMessageA(target, WM_MOUSEWHEEL, WPARAM(uint32_t(delta) << 16), where);
}

void InputClose(Window& top) { PostMessageA(top.Handle(), WM_CLOSE, 0, 0); }
