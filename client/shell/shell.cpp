#include "client/shell/shell.h"

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

void FailStartUp(HWND owner, const char* text, const char* caption, UINT style) {
  MessageBoxA(owner, text, caption, style);
  ShutDown();
  std::exit(0);
}
