// The client's frame: its window and the things every part of the client may need
// from it.
#pragma once

#include "platform/windows.h"

extern HWND mainWindow;
extern HWND addressBox;
extern HWND nameBox;
extern HWND statusBox;
extern HWND chatBox;
extern HWND goButton;
extern HWND sayButton;
extern HWND characterButtons[5];
extern HDC windowDC;
extern HBITMAP titleBitmap;
extern HBITMAP radarBitmap;
extern HPALETTE radarPalette;
extern HPALETTE titlePalette;
extern HPEN radarPenBlue;
extern HPEN radarPenGreen;

// The client's one exit: releases the window's device context, stops Windows
// Sockets, kills the game tick and asks the message loop to end. May run more than once.
void ShutDown();

#include "client/render/bitmap_loader.h"

// Receives the size of every picture whose size nobody reads.
extern BitmapSize bitmapSizeScratch;

// Shows a start-up failure and ends the program, as every fatal failure does. Main
// thread only.
[[noreturn]] void FailStartUp(HWND owner, const char* text, const char* caption, UINT style);

// For the network thread: game data it could not load ends the program as a start-up
// failure does, from the window's own thread, which shows "Brambleduck error" with
// `text` (a string that lives for good) when it next runs its messages. Only the first
// such failure is shown. Returns at once.
void FailLater(const char* text);
constexpr UINT WM_GAME_DATA_FAILED = WM_USER + 1;  // lParam: the text

// The settings file brambleduck.ini: one length byte and the player's name.
constexpr int kNameBuffer = 200;
constexpr int kSavedNameLength = 149;
void LoadSettings(char* buffer);
void SaveSettings();

// The eleven child controls of the main window, in their places.
void CreateControls(const char* initialName, HINSTANCE instance);

// Loads every picture, starts Windows Sockets, fills the world and loads and checks
// the main level; any failure ends the program.
void StartUp();

// The main window's class "QuendleWindow", and the window itself with its controls, its
// pens and the whole start-up. OpenMainWindow is false when no window could be made.
bool RegisterClientClass(HINSTANCE instance);
bool OpenMainWindow(HINSTANCE instance, int showCommand);

LRESULT ClientWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
