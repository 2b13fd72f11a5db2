// ClientWndProc: the only place where the player's input enters the game.
#include "client/shell/shell.h"
#include "client/world/world.h"

namespace {

// Before "Go!" the play view shows the title picture.
void PaintTitle() {
  HDC picture = CreateCompatibleDC(windowDC);
  HGDIOBJ previous = SelectObject(picture, titleBitmap);
  BitBlt(windowDC, 0, 0, 640, 380, picture, 0, 0, SRCCOPY);
  SelectObject(picture, previous);
  DeleteDC(picture);
}

// Leaving: drop the connection, if any, and end the program.
void Leave() {
  ShutDown();
}

}  // namespace

LRESULT ClientWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN: {
      BYTE key = BYTE(wParam);
      {
        std::lock_guard lock(worldLock);
        keyDown[key] = 1;
      }
      if (key == VK_RETURN) SetFocus(chatBox);
      if (key == VK_ESCAPE) Leave();
      return 0;
    }
    case WM_KEYUP: {
      std::lock_guard lock(worldLock);
      keyDown[BYTE(wParam)] = 0;
      return 0;
    }
    case WM_LBUTTONDOWN:
      SetFocus(hwnd);
      return 0;
    case WM_PAINT:
      if (!started) PaintTitle();
      return DefWindowProcA(hwnd, message, wParam, lParam);
    case WM_CLOSE:
      Leave();
      return 0;
    default:
      return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}
