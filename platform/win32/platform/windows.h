// The one header the game code includes, on Windows: the real API, and the project's
// own few helpers beside it.
#pragma once

#include <windows.h>  // with winsock.h (Windows Sockets 1.1) and mmsystem.h
#include <process.h>

#include "platform/files.h"

// winsock.h predates the names of shutdown's second argument.
#ifndef SD_SEND
#define SD_SEND 1
#endif

// Not a Windows call: whether the windows are on a desktop. On Windows they always are.
bool DesktopAvailable();

// The sizes the programs give a top-level window are those of its inside, as on the
// other platform: the whole picture shows, and the frame and caption are added around
// it. Child windows are placed as given.
HWND QuendleCreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
#define CreateWindowExA QuendleCreateWindowExA
