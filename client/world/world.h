// The client's whole picture of the game: eighteen actors (fifteen player slots and
// three psi projectiles), the camera, who is local and who is "it", the tables of
// maps, characters and start points, and the flags through which the window
// procedure, the game tick and the network thread hand work to one another.
//
// The main thread and the network thread both use this state; each holds worldLock
// while it reads or writes it, and never across a blocking call.
#pragma once

#include <mutex>

#include "client/world/actor.h"

constexpr int kPlayerSlots = 15;
constexpr int kPsiActors = 3;
constexpr int kMapCount = 10;
constexpr int kChatLines = 4;
constexpr int kChatLineBuffer = 200;
constexpr int kActorNameBuffer = 25;

extern Actor players[kPlayerSlots];
extern Actor psiActors[kPsiActors];

extern BYTE localSlot;
extern BYTE itSlot;
extern int scrollX;
extern int scrollY;
extern BYTE connected;
extern BYTE started;
extern BYTE psiRequested;
extern BYTE chatPending;
// Set by the join when it brought the local player back to the main map from another:
// the next game tick loads the main level, on the window's own thread.
extern BYTE reloadMainMap;
extern BYTE keyDown[256];
extern int blinkCounter;
extern char chatLines[kChatLines][kChatLineBuffer];

extern std::mutex worldLock;

extern const char* const MapTable[kMapCount];
extern const char* const SpriteTable[6];  // 1-based: row 0 has no entry

struct SpawnPoint {
  WORD x;
  WORD y;
};
extern const SpawnPoint SpawnTable[kPlayerSlots];

// Fills both arrays with their start-up values and loads every sprite sheet; a sheet
// that cannot be loaded ends the program.
void InitActors();
// The local player's defaults before the main level is loaded (slot 0 named "Tovi"
// and active; no sprite ends the program) ...
void InitLocalPlayer();
// ... and after it: (350, 200), the camera at (40, 0).
void PlaceLocalPlayer();
// The start point of localSlot after a join, and the camera on it.
void SpawnLocalPlayer();

Actor& LocalPlayer();
// Null when itSlot names no slot.
Actor* ItPlayer();
