#include "tools/frames/stage.h"

#include <cstdio>

#include "client/render/frame.h"
#include "client/shell/shell.h"
#include "client/world/level.h"
#include "client/world/world.h"
#include "tools/frames/bitmap_file.h"

namespace {

constexpr int kViewWidth = 640, kViewHeight = 380;
const char kNoText[] = "";

HDC referenceDC;        // a window's context: the frame's pixel format is the window's
HBITMAP frameBitmap;    // what DrawFrame's last copy to windowDC lands in
HGDIOBJ firstSelection; // what windowDC held before frameBitmap
HBITMAP sheets[6];      // SpriteTable's sheets, 1-based
HBITMAP psiSheet;
int loadedMap = -1;
char names[kPlayerSlots][kActorNameBuffer];

HBITMAP Load(const char* path) {
  HPALETTE palette = nullptr;
  HBITMAP bitmap = LoadBitmapFile(path, windowDC, &palette, &bitmapSizeScratch);
  if (!bitmap) fprintf(stderr, "cannot load %s\n", path);
  return bitmap;
}

bool OpenWindow() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "QuendleFrames";
  if (!RegisterClassA(&wc)) return false;
  HWND window = CreateWindowExA(0, "QuendleFrames", "Frames", WS_POPUP, 0, 0, kViewWidth, kViewHeight, nullptr,
                                nullptr, nullptr, nullptr);
  referenceDC = window ? GetDC(window) : nullptr;
  return referenceDC != nullptr;
}

bool LoadMap(BYTE map) {
  if (map == loadedMap) return true;
  if (map >= kMapCount || LoadLevel(MapTable[map]) != 0) {
    fprintf(stderr, "cannot load level %d\n", map);
    return false;
  }
  loadedMap = map;
  return true;
}

void ResetActors() {
  for (int i = 0; i < kPlayerSlots; i++) {
    Actor& p = players[i];
    p = {};
    p.width = 32, p.height = 48, p.speed = 7, p.animPeriod = 3, p.character = 1;
    p.bitmap = sheets[1];
    names[i][0] = 0;
    p.name = names[i];
  }
  for (Actor& psi : psiActors) {
    psi = {};
    psi.width = psi.height = 34, psi.direction = 2;
    psi.bitmap = psiSheet;
    psi.name = const_cast<char*>(kNoText);
  }
}

// The lowest slot that no figure holds; a scene with "it" leaves one.
BYTE FreeSlot() {
  BYTE slot = 0;
  while (slot + 1 < kPlayerSlots && players[slot].active) slot++;
  return slot;
}

void Place(const Scene& scene, bool withTexts) {
  ResetActors();
  for (const Figure& f : scene.figures) {
    Actor& p = players[f.slot];
    p.x = WORD(scene.scrollX + f.sx), p.y = WORD(scene.scrollY + f.sy);
    p.direction = f.direction, p.frame = f.frame, p.character = f.character, p.map = f.map;
    p.bitmap = sheets[f.character];
    p.active = 1;
    if (withTexts) snprintf(names[f.slot], kActorNameBuffer, "%s", f.name);
  }
  itSlot = scene.itSlot;
  if (!withTexts && itSlot < kPlayerSlots) {
    // A slot nobody holds stands in for "it": same map, so the projectiles still fly,
    // but never drawn, so there is no marker.
    BYTE map = players[itSlot].map;
    itSlot = FreeSlot();
    players[itSlot].map = map;
  }
  for (int j = 0; j < kPsiActors; j++) {
    const Shot& shot = scene.shots[j];
    psiActors[j].x = WORD(scene.scrollX + shot.sx), psiActors[j].y = WORD(scene.scrollY + shot.sy);
    psiActors[j].direction = shot.direction;
  }
  for (int n = 0; n < kChatLines; n++) {
    snprintf(chatLines[n], kChatLineBuffer, "%s", withTexts && scene.chat[n] ? scene.chat[n] : "");
  }
}

}  // namespace

bool OpenStage() {
  if (!OpenWindow()) return false;
  windowDC = CreateCompatibleDC(referenceDC);
  frameBitmap = CreateCompatibleBitmap(referenceDC, kViewWidth, kViewHeight);
  if (!windowDC || !frameBitmap) return false;
  firstSelection = SelectObject(windowDC, frameBitmap);
  radarBitmap = Load("images\\sprites\\RADAR.bmp");
  psiSheet = Load("images\\sprites\\psi.bmp");
  for (int c = 1; c <= 5; c++) sheets[c] = Load(SpriteTable[c]);
  radarPenBlue = CreatePen(PS_SOLID, 2, RGB(0, 0, 255));
  radarPenGreen = CreatePen(PS_SOLID, 2, RGB(0, 255, 0));
  for (HBITMAP sheet : {sheets[1], sheets[2], sheets[3], sheets[4], sheets[5], psiSheet, radarBitmap}) {
    if (!sheet) return false;
  }
  return LoadMap(0);
}

bool Compose(const Scene& scene, bool withTexts) {
  if (!LoadMap(scene.map)) return false;
  localSlot = 0;
  scrollX = scene.scrollX, scrollY = scene.scrollY;
  blinkCounter = scene.blink;
  Place(scene, withTexts);
  DrawFrame();
  return true;
}

std::vector<TextBox> TextBoxesOf(const Scene& scene) {
  std::vector<TextBox> boxes;
  // Where DrawActor writes a name and the marker, and where DrawFrame writes the chat.
  for (const Figure& f : scene.figures) {
    if (f.map != scene.map) continue;
    if (f.name[0]) boxes.push_back({{f.sx - 45, f.sy - 15, f.sx + 77, f.sy + 10}, true, f.name});
    if (f.slot == scene.itSlot) boxes.push_back({{f.sx - 45, f.sy - 30, f.sx + 77, f.sy}, true, "IT!"});
  }
  for (int n = 0; n < kChatLines; n++) {
    if (scene.chat[n] && scene.chat[n][0]) boxes.push_back({{0, 30 * n, 630, 140}, false, scene.chat[n]});
  }
  return boxes;
}

bool WriteFrame(const char* path) {
  // A bitmap is read while no device context holds it.
  SelectObject(windowDC, firstSelection);
  bool written = WriteBitmapFile(referenceDC, frameBitmap, kViewWidth, kViewHeight, path);
  SelectObject(windowDC, frameBitmap);
  return written;
}
