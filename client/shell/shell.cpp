#include "client/shell/shell.h"

#include <atomic>
#include <cstdlib>

HWND mainWindow;
HWND addressBox;
HWND nameBox;
HWND statusBox;
HWND chatBox;
HWND goButton;
HWND sayButton;
HWND characterButtons[5];
HDC windowDC;
HBITMAP titleBitmap;
HBITMAP radarBitmap;
HPALETTE radarPalette;
HPALETTE titlePalette;
HPEN radarPenBlue;
HPEN radarPenGreen;
BitmapSize bitmapSizeScratch;

void ShutDown() {
  ReleaseDC(mainWindow, windowDC);
  WSACleanup();
  KillTimer(mainWindow, 1);
  PostQuitMessage(0);
}

void FailLater(const char* text) {
  static std::atomic<bool> told{false};
  if (!told.exchange(true)) PostMessageA(mainWindow, WM_GAME_DATA_FAILED, 0, reinterpret_cast<LPARAM>(text));
}

void FailStartUp(HWND owner, const char* text, const char* caption, UINT style) {
  MessageBoxA(owner, text, caption, style);
  ShutDown();
  std::exit(0);
}
