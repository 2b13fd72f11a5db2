#include "server/server.h"

ServerSlot slots[kSlotCount];
ServerShot shots[kShotCount];
int itSlot;
int tagCooldown;
BYTE psiPhase;
WorldUpdate outgoingUpdate;
std::mutex stateLock;
