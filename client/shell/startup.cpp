// Start-up: the main window's controls, every picture, Windows Sockets, the world and
// the main level.
#include <cstring>

#include "client/shell/shell.h"
#include "client/world/level.h"
#include "client/world/world.h"


namespace {

constexpr DWORD kBoxStyle = WS_CHILD | WS_VISIBLE | WS_BORDER;
constexpr DWORD kRadioStyle = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON;

HWND Child(const char* className, const char* text, DWORD style, int x, int y, int width, int height,
           HINSTANCE instance) {
  return CreateWindowExA(0, className, text, style, x, y, width, height, mainWindow, nullptr, instance, nullptr);
}

}  // namespace

void CreateControls(const char* initialName, HINSTANCE instance) {
  addressBox = Child("EDIT", "127.0.0.1", kBoxStyle, 0, 380, 550, 19, instance);
  nameBox = Child("EDIT", initialName, kBoxStyle, 0, 400, 600, 18, instance);
  statusBox = Child("EDIT", "Not connected", kBoxStyle | ES_READONLY, 0, 417, 600, 18, instance);
  chatBox = Child("EDIT", "", kBoxStyle | ES_AUTOHSCROLL, 0, 434, 550, 18, instance);
  goButton = Child("BUTTON", "Go!", kBoxStyle, 555, 381, 75, 19, instance);
  sayButton = Child("BUTTON", "Say", kBoxStyle, 555, 434, 75, 19, instance);
  const char* names[5] = {"Tovi", "Mirra", "Gast", "Quel", "Tovi(PJs)"};
  for (int i = 0; i < 5; i++) {
    characterButtons[i] = Child("BUTTON", names[i], kRadioStyle, 75 * i, 359, i == 4 ? 100 : 75, 21, instance);
  }
}

namespace {

const char kMissingPicture[] = "Could not find a .bmp file!  Make sure this was installed correctly.";

HBITMAP LoadPicture(const char* path, HPALETTE* palette) {
  HBITMAP bitmap = LoadBitmapFile(path, windowDC, palette, &bitmapSizeScratch);
  if (!bitmap) FailStartUp(nullptr, kMissingPicture, "Graphics error", MB_TOPMOST);
  return bitmap;
}

}  // namespace

void StartUp() {
  memset(chatLines, 0, sizeof chatLines);
  SendMessageA(characterButtons[0], BM_SETCHECK, BST_CHECKED, 0);
  radarBitmap = LoadPicture("images\\sprites\\RADAR.bmp", &radarPalette);
  titleBitmap = LoadPicture("brambleduck.bmp", &titlePalette);
  WSADATA data;
  if (WSAStartup(MAKEWORD(1, 1), &data) != 0) {
    FailStartUp(nullptr, "Big fat winsock error!!!", "Error on WSAStartup()", MB_TOPMOST);
  }
  localSlot = 0;
  InitActors();
  InitLocalPlayer();
  if (LoadLevel(MapTable[0]) == 1) {
    FailStartUp(mainWindow, "Could not find a map or error reading in file.  Please be sure this was unzipped correctly.",
                "Brambleduck error", MB_ICONHAND);
  }
  if (!MainLevelIntact()) {
    FailStartUp(mainWindow, "Error in main.lvl.  You weren't messing in it, were you?", "Brambleduck error",
                MB_ICONHAND);
  }
  PlaceLocalPlayer();
  PlaySoundA("sounds\\Music.wav", nullptr, SND_FILENAME | SND_ASYNC);
}

