// ClientWndProc: the only place where the player's input enters the game.
#include "client/net/net.h"
#include "client/shell/shell.h"
#include "client/world/game_tick.h"
#include "client/world/level.h"
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
  DropConnection();
  ShutDown();
}

// "Go!": back to the main map if need be, remember the name, start the game tick, and
// connect.
void Go() {
  bool elsewhere;
  {
    std::lock_guard lock(worldLock);
    elsewhere = LocalPlayer().map != 0;
  }
  if (elsewhere) {
    LoadLevel(MapTable[0]);
    std::lock_guard lock(worldLock);
    LocalPlayer().map = 0;
  }
  SaveSettings();
  if (titleBitmap) DeleteObject(titleBitmap);
  titleBitmap = nullptr;
  {
    std::lock_guard lock(worldLock);
    started = 1;
  }
  SetTimer(mainWindow, 1, 40, nullptr);
  SetFocus(mainWindow);
  StartConnection();
}

void Command(HWND control) {
  bool isConnected;
  {
    std::lock_guard lock(worldLock);
    isConnected = connected == 1;
    if (control == sayButton && isConnected) chatPending = 1;
  }
  if (control == sayButton && isConnected) SetFocus(mainWindow);
  // While an earlier attempt is still under way, "Go!" waits for it to end.
  if (control == goButton && !isConnected && !ConnectionBusy()) Go();
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
      if (key == VK_SPACE) {
        std::lock_guard lock(worldLock);
        if (connected == 1 && itSlot == localSlot) psiRequested = 1;
      }
      if (key == VK_ESCAPE) Leave();
      return 0;
    }
    case WM_KEYUP: {
      std::lock_guard lock(worldLock);
      keyDown[BYTE(wParam)] = 0;
      return 0;
    }
    case WM_COMMAND:
      Command(reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_TIMER:
      if (wParam == 1) {
        {
          std::lock_guard lock(worldLock);
          blinkCounter++;
        }
        GameTick();
      }
      return 0;
    case WM_LBUTTONDOWN:
      SetFocus(hwnd);
      return 0;
    case WM_PAINT:
      if (!started) PaintTitle();
      return DefWindowProcA(hwnd, message, wParam, lParam);
    case WM_CLOSE:
      Leave();
      return 0;
    case WM_GAME_DATA_FAILED:
      FailStartUp(mainWindow, reinterpret_cast<const char*>(lParam), "Brambleduck error", MB_ICONHAND);
    default:
      return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}
