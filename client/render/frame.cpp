#include "client/render/frame.h"

#include "client/render/sprite.h"
#include "client/shell/shell.h"
#include "client/world/level.h"
#include "client/world/remote.h"
#include "client/world/world.h"

namespace {

constexpr int kViewWidth = 640, kViewHeight = 380;

void DrawPlayers(HDC back) {
  BYTE here = LocalPlayer().map;
  for (int i = 0; i < kPlayerSlots; i++) {
    Actor& p = players[i];
    if (p.active && p.map == here) DrawActor(p, back, scrollX, scrollY, i == itSlot);
    if (i != localSlot && p.active && p.moving) ExtrapolateRemote(p);
  }
}

// Projectiles fly on the map of "it"; a negative flight state is not a flight.
void DrawProjectiles(HDC back) {
  Actor* it = ItPlayer();
  if (!it || it->map != LocalPlayer().map) return;
  for (Actor& psi : psiActors) {
    if (psi.direction < 0 || psi.direction >= 2) continue;
    DrawActor(psi, back, scrollX, scrollY, false);
    psi.direction = psi.direction == 1 ? 0 : 1;
  }
}

void DrawRadar(HDC back) {
  HDC radar = CreateCompatibleDC(windowDC);
  HGDIOBJ previous = SelectObject(radar, radarBitmap);
  StretchBlt(back, radarX, radarY, radarWidth, radarHeight, radar, 0, 0, 75, 60, SRCCOPY);
  SelectObject(radar, previous);
  DeleteDC(radar);

  // Green for the first three ticks of eight, blue for the other five.
  SelectObject(back, blinkCounter > 3 ? radarPenBlue : radarPenGreen);
  if (blinkCounter > 7) blinkCounter = 0;
  BYTE here = LocalPlayer().map;
  for (const Actor& p : players) {
    if (!p.active || p.map != here) continue;
    int dx = (p.x + 1) / 20 + radarX, dy = (p.y + 1) / 20 + radarY;
    MoveToEx(back, dx, dy, nullptr);
    LineTo(back, dx + 1, dy);
  }
}

void DrawChatLines(HDC back) {
  if (blinkCounter > 3) SetBkMode(back, OPAQUE);
  for (int n = 0; n < kChatLines; n++) {
    RECT box = {0, 30 * n, 630, 140};
    DrawTextA(back, chatLines[n], -1, &box, DT_WORDBREAK);
  }
}

}  // namespace

void DrawFrame() {
  HDC map = CreateCompatibleDC(windowDC);
  HGDIOBJ previousMap = SelectObject(map, mapBitmap);
  HDC back = CreateCompatibleDC(windowDC);
  HBITMAP backBuffer = CreateCompatibleBitmap(windowDC, kViewWidth, kViewHeight);
  HGDIOBJ previousBack = SelectObject(back, backBuffer);

  BitBlt(back, 0, 0, kViewWidth, kViewHeight, map, scrollX, scrollY, SRCCOPY);
  StepAnimation(LocalPlayer());
  DrawPlayers(back);
  DrawProjectiles(back);
  DrawRadar(back);
  DrawChatLines(back);
  BitBlt(windowDC, 0, 0, kViewWidth, kViewHeight, back, 0, 0, SRCCOPY);

  SelectObject(back, previousBack);
  DeleteDC(back);
  DeleteObject(backBuffer);
  SelectObject(map, previousMap);
  DeleteDC(map);
}
