// The receive loop: every message the server sends during play, written into the
// world as it arrives, each followed by what the client has to send.
#include <cstdio>
#include <cstring>
#include <string>

#include "client/net/net.h"
#include "client/net/roster.h"
#include "client/shell/shell.h"
#include "client/world/world.h"
#include "protocol/stream.h"

namespace {

// Sets a remote player's flags from a state code; a code that names no state changes
// nothing.
void ApplyState(Actor& p, BYTE state) {
  switch (state) {
    case 0: p.active = 0; break;
    case 1: p.active = 1, p.frame = 0, p.moving = 0; break;
    case 2: p.active = 1, p.frame = 0, p.moving = 1; break;
    case 3: p.active = 1, p.frame = 1, p.moving = 1; break;
    default: break;
  }
}

void TakeWorldUpdate(const WorldUpdate& update) {
  bool tagSound;
  {
    std::lock_guard lock(worldLock);
    // The sound marks the local player being tagged and passing "it" on, never a tag
    // between two others.
    tagSound = update.it != itSlot && (localSlot == itSlot || localSlot == update.it);
    itSlot = update.it;
    for (int i = 0; i < kPlayerSlots; i++) {
      if (i == localSlot) continue;
      const PlayerEntry& entry = update.players[i];
      Actor& p = players[i];
      p.x = entry.x;
      p.y = entry.y;
      p.map = MapOf(entry.location);
      p.direction = DirectionOf(entry.location);
      ApplyState(p, entry.state);
    }
    for (int j = 0; j < kPsiActors; j++) {
      const ShotEntry& shot = update.shots[j];
      psiActors[j].x = shot.x;
      psiActors[j].y = shot.y;
      psiActors[j].direction = static_cast<signed char>(shot.mode);
    }
  }
  if (tagSound) PlaySoundA("sounds\\Whop2.wav", nullptr, SND_FILENAME | SND_ASYNC);
}

std::string NameOf(int slot) {
  std::lock_guard lock(worldLock);
  return players[slot].name;
}

void TakeKick(const PlayerKicked& kick) {
  bool mine;
  {
    std::lock_guard lock(worldLock);
    mine = kick.slot == localSlot;
  }
  if (mine) DropConnection();
  ShowStatus((NameOf(kick.slot) + " was kicked!").c_str());
}

void TakeJoin(const PlayerJoined& join) {
  {
    std::lock_guard lock(worldLock);
    if (join.slot == localSlot) return;
    CopyName(players[join.slot].name, join.name);
    players[join.slot].character = join.character;
  }
  // A sheet that cannot be loaded falls back to the first character's.
  if (IsCharacter(join.character) && !LoadSheet(join.slot, join.character) && !LoadSheet(join.slot, 1)) {
    FailLater("Error reading.  Please be sure this was installed correctly.");
  }
  ShowStatus((NameOf(join.slot) + " has joined!!!").c_str());
}

// The newest of the four chat lines; the oldest scrolls out. A line longer than its
// buffer is cut.
void TakeChat(const ChatRelay& relay) {
  const char* text = reinterpret_cast<const char*>(&relay) + 3;
  const int textLength = int(strnlen(text, sizeof relay - 3));
  std::lock_guard lock(worldLock);
  for (int line = 0; line + 1 < kChatLines; line++) memcpy(chatLines[line], chatLines[line + 1], kChatLineBuffer);
  snprintf(chatLines[kChatLines - 1], kChatLineBuffer, "%s:&> %.*s", players[relay.slot].name, textLength, text);
}

template <typename T>
T As(const BYTE* message) {
  T record;
  memcpy(&record, message, sizeof record);
  return record;
}

// A notice whose slot names no player is ignored.
void TakeNotice(const BYTE* message, int length) {
  if (length < 3 || message[2] >= kPlayerSlots) return;
  if (message[1] == KindPlayerKicked && length == sizeof(PlayerKicked)) TakeKick(As<PlayerKicked>(message));
  if (message[1] == KindPlayerJoined && length == sizeof(PlayerJoined)) TakeJoin(As<PlayerJoined>(message));
  if (message[1] == KindChatRelay && length == sizeof(ChatRelay)) TakeChat(As<ChatRelay>(message));
}

bool StillConnected() {
  std::lock_guard lock(worldLock);
  return connected == 1;
}

// The server is gone: the connection ends and the name and chat boxes are emptied.
void ServerGone(const char* status) {
  EndConnection(status);
  SetWindowTextA(nameBox, "");
  SetWindowTextA(chatBox, "");
}

}  // namespace

void TakeMessage(const BYTE* message, int length) {
  if (length < 1) return;
  if (message[0] == TypeWorldUpdate && length == sizeof(WorldUpdate)) TakeWorldUpdate(As<WorldUpdate>(message));
  if (message[0] == TypeNotice) TakeNotice(message, length);
}

void ReceiveLoop(void*) {
  MessageStream stream = {};
  BYTE message[kLongestMessage];
  while (StillConnected()) {
    int length = ReadMessage(gameSocket, &stream, MeasureFromServer, message);
    if (length <= 0) {
      ServerGone(length == 0 ? "Server disconnected" : "Error reaching server.  (Server disconnected?)");
      break;
    }
    TakeMessage(message, length);
    SendPending(message[0]);
  }
  AttemptEnded();
}
