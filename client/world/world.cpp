#include "client/world/world.h"

#include <cstring>

#include "client/shell/shell.h"

Actor players[kPlayerSlots];
Actor psiActors[kPsiActors];
BYTE localSlot;
BYTE itSlot;
int scrollX;
int scrollY;
BYTE connected;
BYTE started;
BYTE psiRequested;
BYTE chatPending;
BYTE reloadMainMap;
BYTE keyDown[256];
int blinkCounter;
char chatLines[kChatLines][kChatLineBuffer];
std::mutex worldLock;

const char* const MapTable[kMapCount] = {
    "levels\\maps\\main.lvl",     "levels\\maps\\drugstore.lvl", "levels\\maps\\burger.lvl",
    "levels\\maps\\townhall.lvl", "levels\\maps\\arcade.lvl",    "levels\\maps\\hospital.lvl",
    "levels\\maps\\arcade2.lvl",  "levels\\maps\\townhall2.lvl", "levels\\maps\\townhall3.lvl",
    "levels\\maps\\mayoroffice.lvl",
};

const char* const SpriteTable[6] = {
    nullptr,
    "images\\sprites\\TOVI.bmp",
    "images\\sprites\\MIRRA.bmp",
    "images\\sprites\\GAST.bmp",
    "images\\sprites\\QUEL.bmp",
    "images\\sprites\\TOVIPJ.bmp",
};

const SpawnPoint SpawnTable[kPlayerSlots] = {
    {350, 200},  {1100, 230}, {1600, 200}, {500, 500},   {310, 820},   {1050, 800}, {1750, 830}, {400, 1300},
    {1000, 1430}, {1275, 1350}, {1500, 1100}, {310, 500}, {690, 1025}, {1180, 600}, {1800, 200},
};

namespace {

const char kNoName[] = "";
const char kMissingSprite[] = "Could not find a .bmp file!  Make sure this was installed correctly.";

void LoadSheet(Actor& actor, const char* path) {
  actor.bitmap = LoadBitmapFile(path, windowDC, &actor.palette, &bitmapSizeScratch);
  if (!actor.bitmap) FailStartUp(nullptr, kMissingSprite, "Graphics error", MB_TOPMOST);
}

}  // namespace

void InitActors() {
  for (Actor& p : players) {
    p = {};
    p.name = new char[kActorNameBuffer]();
    p.width = 32;
    p.height = 48;
    p.speed = 7;
    p.animPeriod = 3;
    p.character = 1;
    LoadSheet(p, "images\\sprites\\tovi.bmp");
  }
  for (Actor& psi : psiActors) {
    psi = {};
    psi.name = const_cast<char*>(kNoName);
    psi.x = psi.y = 50;
    psi.width = psi.height = 34;
    psi.direction = 2;
    LoadSheet(psi, "images\\sprites\\psi.bmp");
  }
}

void InitLocalPlayer() {
  Actor& local = players[0];
  strcpy(local.name, "Tovi");
  local.active = 1;
  if (!local.bitmap) {
    FailStartUp(mainWindow, "Could not find a .bmp.  Please be sure this was installed correctly.",
                "Brambleduck error", MB_ICONHAND);
  }
}

void PlaceLocalPlayer() {
  Actor& local = players[0];
  local.speed = 7;
  local.animCounter = 0;
  local.animPeriod = 3;
  local.x = 350;
  local.y = 200;
  local.width = 32;
  local.height = 48;
  scrollX = local.x - 310;
  scrollY = local.y - 200;
}

void SpawnLocalPlayer() {
  Actor& local = LocalPlayer();
  local.x = SpawnTable[localSlot].x;
  local.y = SpawnTable[localSlot].y;
  scrollX = local.x - 310;
  scrollY = local.y - 200;
}

Actor& LocalPlayer() { return players[localSlot]; }

Actor* ItPlayer() { return itSlot < kPlayerSlots ? &players[itSlot] : nullptr; }
