// The level the local player is on: its doubled background picture, the radar's
// place in the view, and its obstacles and doors. Exactly one level is loaded at a
// time; LoadLevel replaces it.
#pragma once

#include "client/world/level_records.h"
#include "platform/windows.h"

extern HBITMAP mapBitmap;
extern HPALETTE mapPalette;
extern int mapWidth;
extern int mapHeight;
extern int radarWidth;
extern int radarHeight;
extern int radarX;
extern int radarY;
extern WORD obstacleCount;
extern BYTE doorCount;
extern Obstacle* obstacles;
extern Door* doors;

// Loads a level file (a MapTable path): 0 on success, 1 on failure. A file that cannot
// be opened changes nothing; a background that cannot be loaded is reported here and
// shuts the client down.
int LoadLevel(const char* path);

// The start-up check of the main level: 64 obstacles whose x values add up to 49534.
bool MainLevelIntact();
