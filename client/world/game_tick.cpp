#include "client/world/game_tick.h"

#include "client/render/frame.h"
#include "client/shell/shell.h"
#include "client/world/collision.h"
#include "client/world/level.h"
#include "client/world/world.h"

namespace {

constexpr int kNone = -1;

struct Blocking {
  MayMove may = {1, 1, 1, 1};
  int snapUp = kNone, snapDown = kNone, snapLeft = kNone, snapRight = kNone;
};

// Later conditions override earlier ones, as the arrows were read then.
void TurnByArrows(Actor& p) {
  bool down = keyDown[VK_DOWN], right = keyDown[VK_RIGHT], left = keyDown[VK_LEFT], up = keyDown[VK_UP];
  if (down) p.direction = DirDown;
  if (right) p.direction = DirRight;
  if (left) p.direction = DirLeft;
  if (up) p.direction = DirUp;
  if (down && left) p.direction = DirDownLeft;
  if (down && right) p.direction = DirDownRight;
  if (up && right) p.direction = DirUpRight;
  if (up && left) p.direction = DirUpLeft;
}

bool Near(const Obstacle& o, const Actor& p) {
  int margin = 2 * o.height;
  return p.x + p.width + margin >= o.x && o.x + o.width > p.x - margin;
}

Blocking TestObstacles(const Actor& p) {
  Blocking b;
  for (int i = 0; i < obstacleCount; i++) {
    const Obstacle& o = obstacles[i];
    if (!Near(o, p)) continue;
    MayMove flags = CollideObstacle(o, p);
    bool rectangle = o.shape == ShapeRectangle;
    if (!flags.up) {
      b.may.up = 0;
      if (rectangle) b.snapUp = o.y + o.height - p.height + 1;
    }
    if (!flags.down) {
      b.may.down = 0;
      if (rectangle) b.snapDown = o.y - p.height - 1;
    }
    if (!flags.left) {
      b.may.left = 0;
      if (rectangle) b.snapLeft = o.x + o.width + 1;
    }
    if (!flags.right) {
      b.may.right = 0;
      if (rectangle) b.snapRight = o.x - p.width - 1;
    }
  }
  return b;
}

// Moves the player (and the view with it) in the order down, right, left, up. Only a
// player already walking moves: the first tick with an arrow held only turns it.
void Walk(Actor& p, const Blocking& b) {
  int x = p.x, y = p.y, s = p.speed;
  if (InDownGroup(p.direction) && b.may.down && p.moving && y + p.height + s < mapHeight) {
    y += s;
    if (mapHeight - 380 - s > scrollY && y - scrollY > 210) scrollY += s;
  }
  if (InRightGroup(p.direction) && b.may.right && p.moving && x + p.width + s < mapWidth) {
    x += s;
    if (mapWidth - 640 - s > scrollX && x - scrollX + s > 380) scrollX += s;
  }
  if (InLeftGroup(p.direction) && b.may.left && p.moving && x - s > 0) {
    x -= s;
    if (scrollX - s > 0 && x - scrollX < 280) scrollX -= s;
  }
  if (InUpGroup(p.direction) && b.may.up && p.moving && y - s > 0) {
    y -= s;
    if (scrollY - s > 0 && y - scrollY < 170) scrollY -= s;
  }
  p.x = WORD(x);
  p.y = WORD(y);
}

// Whether a cell of `size` pixels placed at `at` lies on a map `extent` pixels across.
bool OnMap(int at, int size, int extent) { return at >= 0 && at + size < extent; }

// A rectangle within a player's size of the map's edge gives a snap value off the map,
// which the 16-bit position would wrap to the far side of it: such a snap is not made.
void Snap(Actor& p, const Blocking& b) {
  if (InDownGroup(p.direction) && !b.may.down && b.snapDown != kNone && OnMap(b.snapDown, p.height, mapHeight)) {
    p.y = WORD(b.snapDown);
  }
  if (InUpGroup(p.direction) && !b.may.up && b.snapUp != kNone && OnMap(b.snapUp, p.height, mapHeight)) {
    p.y = WORD(b.snapUp);
  }
  if (InLeftGroup(p.direction) && !b.may.left && b.snapLeft != kNone && OnMap(b.snapLeft, p.width, mapWidth)) {
    p.x = WORD(b.snapLeft);
  }
  if (InRightGroup(p.direction) && !b.may.right && b.snapRight != kNone && OnMap(b.snapRight, p.width, mapWidth)) {
    p.x = WORD(b.snapRight);
  }
}

void ClampCamera() {
  if (scrollX + 640 > mapWidth) scrollX = mapWidth - 640;
  if (scrollY + 380 > mapHeight) scrollY = mapHeight - 380;
  if (scrollX < 0) scrollX = 0;
  if (scrollY < 0) scrollY = 0;
}

// Takes the first door touched, if any. A door to a map number with no level leads
// nowhere and is never taken.
void TakeDoor(Actor& p) {
  for (int i = 0; i < doorCount; i++) {
    const Door door = doors[i];  // a copy: LoadLevel frees the doors
    if (door.targetMap >= kMapCount || !TouchesDoor(door, p)) continue;
    p.x = door.targetX;
    p.y = door.targetY;
    scrollX = door.targetX - 310;
    scrollY = door.targetY - 200;
    p.map = door.targetMap;
    if (LoadLevel(MapTable[door.targetMap]) == 1) {
      MessageBoxA(mainWindow, "Error reading in a map.  Be sure this was correctly installed!", "Brambleduck error",
                  MB_ICONHAND);
      ShutDown();
    }
    ClampCamera();
    return;
  }
}

// Loads the main level again when the join brought the player back to the main map.
// Levels are loaded here, on the window's own thread, so that no other thread holds the
// world while a level loads; as for "Go!", a picture that cannot be loaded is reported
// by LoadLevel, which ends the program.
void ReloadMainMapIfAsked() {
  {
    std::lock_guard lock(worldLock);
    if (!reloadMainMap) return;
    reloadMainMap = 0;
  }
  LoadLevel(MapTable[0]);
}

}  // namespace

void GameTick() {
  ReloadMainMapIfAsked();
  std::lock_guard lock(worldLock);
  Actor& p = LocalPlayer();
  TurnByArrows(p);
  Blocking blocking = TestObstacles(p);
  Walk(p, blocking);
  Snap(p, blocking);
  p.moving = keyDown[VK_DOWN] || keyDown[VK_RIGHT] || keyDown[VK_LEFT] || keyDown[VK_UP];
  TakeDoor(p);
  DrawFrame();
}
