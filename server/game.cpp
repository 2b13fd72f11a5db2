// Who is "it", the three psi projectiles, tags by touch and by projectile, and the
// outgoing world update. Callers hold stateLock.
#include <cstdlib>

#include "server/server.h"

namespace {

constexpr int kShotStep = 15;
constexpr int kPlayerWidth = 32, kPlayerHeight = 48, kShotSize = 35;

// No player can be tagged while standing here, on any map.
bool InSafeRectangle(const ServerSlot& p) { return p.x >= 961 && p.x <= 1269 && p.y >= 1083 && p.y <= 1225; }

bool Overlaps(int ax, int ay, int aw, int ah, int bx, int by, int bw, int bh) {
  return ax + aw > bx && ax < bx + bw && ay + ah > by && ay < by + bh;
}

bool HitByShot(const ServerSlot& p, const ServerSlot& it) {
  if (p.map != it.map) return false;
  for (const ServerShot& shot : shots) {
    if (shot.age < kShotFlight &&
        Overlaps(p.x, p.y, kPlayerWidth, kPlayerHeight, shot.x, shot.y, kShotSize, kShotSize)) {
      return true;
    }
  }
  return false;
}

bool TouchesIt(const ServerSlot& p, const ServerSlot& it) {
  return p.map == it.map && Overlaps(p.x, p.y, kPlayerWidth, kPlayerHeight, it.x, it.y, kPlayerWidth, kPlayerHeight);
}

void MoveShot(ServerShot& shot) {
  int dx = 0, dy = 0;
  switch (shot.direction) {
    case 0: dy = 1; break;
    case 1: dx = -1; break;
    case 2: dy = -1; break;
    case 3: dx = 1; break;
    case 8: dx = -1, dy = 1; break;
    case 9: dx = -1, dy = -1; break;
    case 10: dx = 1, dy = -1; break;
    case 11: dx = 1, dy = 1; break;
    default: break;  // an unknown direction ages in place
  }
  shot.x = WORD(shot.x + dx * kShotStep);
  shot.y = WORD(shot.y + dy * kShotStep);
}

}  // namespace

int RandomBelow(int n) { return n > 0 ? std::rand() % n : 0; }

void CheckTags() {
  if (tagCooldown < kTagPause) return;
  const ServerSlot& it = slots[itSlot];
  for (int i = 0; i < kSlotCount; i++) {
    const ServerSlot& p = slots[i];
    if (i == itSlot || !p.active || InSafeRectangle(p)) continue;
    if (HitByShot(p, it)) {
      itSlot = i;
      tagCooldown = 0;
      return;
    }
    if (TouchesIt(p, it)) {
      for (ServerShot& shot : shots) shot.age = kShotFlight;
      tagCooldown = 0;
      itSlot = i;
      return;
    }
  }
}

void BuildWorldUpdate() {
  outgoingUpdate.type = TypeWorldUpdate;
  outgoingUpdate.it = BYTE(itSlot);
  for (int i = 0; i < kSlotCount; i++) {
    const ServerSlot& p = slots[i];
    outgoingUpdate.players[i].state = StateCode(p.active, p.frame, p.moving);
  }
  for (int j = 0; j < kShotCount; j++) {
    const ServerShot& shot = shots[j];
    BYTE mode = shot.age >= kShotFlight ? 2 : psiPhase == 1 ? 0 : 1;
    outgoingUpdate.shots[j] = {shot.x, shot.y, mode};
  }
}

void ServerTick() {
  std::lock_guard lock(stateLock);
  if (!slots[itSlot].active) itSlot = RandomBelow(kSlotCount);
  if (tagCooldown < kTagPause) tagCooldown++;
  psiPhase = psiPhase == 0 ? 1 : 0;
  CheckTags();
  for (ServerShot& shot : shots) {
    if (shot.age < kShotFlight) {
      shot.age++;
      MoveShot(shot);
    }
  }
  BuildWorldUpdate();
}

void LaunchPsi(int slot, BYTE direction) {
  if (slot != itSlot) return;
  for (ServerShot& shot : shots) {
    if (shot.age >= kShotFlight) {
      shot.x = WORD(slots[slot].x + 3);
      shot.y = WORD(slots[slot].y + 6);
      shot.age = 0;
      shot.direction = direction;
      return;
    }
  }
}
