#include "client/world/level.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "client/render/bitmap_loader.h"
#include "client/shell/shell.h"

HBITMAP mapBitmap;
HPALETTE mapPalette;
int mapWidth;
int mapHeight;
int radarWidth;
int radarHeight;
int radarX;
int radarY;
WORD obstacleCount;
BYTE doorCount;
Obstacle* obstacles;
Door* doors;

namespace {

constexpr int kPathBuffer = 100;
constexpr char kPictureFolder[] = "images\\bg\\";

// Reads `count` bytes; what a short file does not supply reads as zeros.
void ReadOrZero(FILE* file, void* into, size_t count) {
  const size_t got = count ? fread(into, 1, count, file) : 0;
  memset(static_cast<char*>(into) + got, 0, count - got);
}

void PictureMissing() {
  MessageBoxA(mainWindow, "Could not find a .bmp.  Please be sure this was installed correctly.",
              "Brambleduck error", MB_ICONHAND);
  ShutDown();
}

// Loads the picture and makes mapBitmap of it at twice its size; false if it cannot.
bool LoadBackground(const char* name, BYTE nameLength) {
  if (mapBitmap) DeleteObject(mapBitmap);
  mapBitmap = nullptr;
  // A name that does not fit the path buffer names no picture.
  char path[kPathBuffer];
  if (sizeof kPictureFolder - 1 + size_t(nameLength) + 1 > sizeof path) return false;
  snprintf(path, sizeof path, "%s%.*s", kPictureFolder, int(nameLength), name);
  BitmapSize size = {0, 0};
  HBITMAP picture = LoadBitmapFile(path, windowDC, &mapPalette, &size);
  if (!picture) return false;
  // A picture stored top row first has a negative height; the map is its real size.
  int w = size.width, h = std::abs(size.height);
  HDC from = CreateCompatibleDC(windowDC), to = CreateCompatibleDC(windowDC);
  mapBitmap = CreateCompatibleBitmap(windowDC, 2 * w, 2 * h);
  HGDIOBJ oldFrom = SelectObject(from, picture), oldTo = SelectObject(to, mapBitmap);
  StretchBlt(to, 0, 0, 2 * w, 2 * h, from, 0, 0, w, h, SRCCOPY);
  SelectObject(from, oldFrom);
  SelectObject(to, oldTo);
  DeleteDC(from);
  DeleteDC(to);
  DeleteObject(picture);
  if (!mapBitmap) return false;
  mapWidth = 2 * w;
  mapHeight = 2 * h;
  radarWidth = mapWidth / 20;
  radarHeight = mapHeight / 20;
  radarX = 640 - radarWidth - 20;
  radarY = 380 - radarHeight - 20;
  return true;
}

}  // namespace

int LoadLevel(const char* path) {
  FILE* file = OpenGameFile(path, "rb");
  if (!file) return 1;
  BYTE nameLength = 0;
  ReadOrZero(file, &nameLength, 1);
  char name[256];
  ReadOrZero(file, name, nameLength);
  name[nameLength] = 0;
  if (!LoadBackground(name, nameLength)) {
    fclose(file);
    PictureMissing();
    return 1;
  }
  fseek(file, long(nameLength) + 2, SEEK_SET);  // one byte after the name is skipped
  WORD obstacleTotal;
  BYTE doorTotal;
  ReadOrZero(file, &obstacleTotal, sizeof obstacleTotal);
  ReadOrZero(file, &doorTotal, sizeof doorTotal);
  delete[] obstacles;
  delete[] doors;
  obstacleCount = obstacleTotal;
  doorCount = doorTotal;
  obstacles = new Obstacle[obstacleCount];
  doors = new Door[doorCount];
  ReadOrZero(file, obstacles, sizeof(Obstacle) * obstacleCount);
  ReadOrZero(file, doors, sizeof(Door) * doorCount);
  fclose(file);
  return 0;
}

bool MainLevelIntact() {
  DWORD sum = 0;
  for (int i = 0; i < obstacleCount; i++) sum += obstacles[i].x;
  return obstacleCount == 64 && sum == 49534;
}
