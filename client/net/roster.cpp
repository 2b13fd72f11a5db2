#include "client/net/roster.h"

#include <cstring>

#include "client/shell/shell.h"
#include "client/world/world.h"
#include "protocol/messages.h"

void CopyName(char* name, const char* field) {
  static_assert(kNameField < kActorNameBuffer);
  size_t length = strnlen(field, kNameField);
  memcpy(name, field, length);
  name[length] = 0;
}

bool IsCharacter(BYTE character) { return character >= 1 && character <= 5; }

bool LoadSheet(int slot, BYTE character) {
  // The size goes to a record of this thread's own: the main thread loads pictures too.
  BitmapSize size;
  HPALETTE palette = nullptr;
  HBITMAP bitmap = LoadBitmapFile(SpriteTable[character], windowDC, &palette, &size);
  if (!bitmap) {
    if (palette) DeleteObject(palette);
    return false;
  }
  HBITMAP oldBitmap;
  HPALETTE oldPalette;
  {
    std::lock_guard lock(worldLock);
    oldBitmap = players[slot].bitmap;
    oldPalette = players[slot].palette;
    players[slot].bitmap = bitmap;
    players[slot].palette = palette;
  }
  // The frame takes an actor's sheet under the lock, so the old one is no longer drawn.
  if (oldBitmap) DeleteObject(oldBitmap);
  if (oldPalette) DeleteObject(oldPalette);
  return true;
}

bool HasSheet(int slot) {
  std::lock_guard lock(worldLock);
  return players[slot].bitmap != nullptr;
}
