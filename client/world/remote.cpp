#include "client/world/remote.h"

#include "client/world/level.h"

void ExtrapolateRemote(Actor& a) {
  int x = a.x, y = a.y, s = a.speed;
  if (InDownGroup(a.direction) && y + a.height + s < mapHeight) y += s;
  if (InRightGroup(a.direction) && x + a.width + s < mapWidth) x += s;
  if (InLeftGroup(a.direction) && x - s > 0) x -= s;
  if (InUpGroup(a.direction) && y - s > 0) y -= s;
  a.x = WORD(x);
  a.y = WORD(y);
}
