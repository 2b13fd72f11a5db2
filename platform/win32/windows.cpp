#include "platform/windows.h"

#undef CreateWindowExA

bool DesktopAvailable() { return true; }

HWND QuendleCreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  if (!(style & WS_CHILD)) {
    RECT outer = {0, 0, width, height};
    AdjustWindowRectEx(&outer, style, menu != nullptr, exStyle);
    width = outer.right - outer.left;
    height = outer.bottom - outer.top;
  }
  return CreateWindowExA(exStyle, className, windowName, style, x, y, width, height, parent, menu, instance, param);
}
