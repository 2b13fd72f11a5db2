// The fifteen player slots: the slot side of a newcomer's join, one client thread per
// player, relaying, the kick, and the player list.
#include <array>
#include <cstdio>
#include <cstring>
#include <vector>

#include "protocol/stream.h"
#include "server/connection.h"
#include "server/server.h"

namespace {

// A client answers every world update at once and leaves a server that has been silent
// for 10 s, so a player who has sent nothing for this long is gone and frees the slot.
constexpr DWORD kSilentPlayerMs = 15000;
constexpr int kNameLength = 9;

// The connection of each slot while a player holds it; a thread that outlived its
// player compares its own connection with this before touching the slot. Never
// destroyed: the accept and client threads may still use it while the program ends.
using SlotConnections = std::array<std::shared_ptr<Connection>, kSlotCount>;
SlotConnections& connections = *new SlotConnections;

struct ClientThreadStart {
  int slot;
  std::shared_ptr<Connection> connection;
};

// Whether `connection` still holds `slot`. Call with stateLock held.
bool Holds(int slot, const Connection& connection) {
  return slots[slot].active && connections[slot].get() == &connection;
}

// Frees the slot if `connection` still holds it; true if it did.
bool FreeSlot(int slot, const Connection& connection) {
  std::lock_guard lock(stateLock);
  if (!Holds(slot, connection)) return false;
  slots[slot].active = 0;
  connections[slot].reset();
  return true;
}

// Hands a message to a connection: Queue or Post.
using Handing = bool (*)(Connection&, const void*, int, Sent);

void Broadcast(const void* message, int length, Sent kind, Handing hand) {
  std::vector<std::shared_ptr<Connection>> targets;
  {
    std::lock_guard lock(stateLock);
    for (int i = 0; i < kSlotCount; i++) {
      if (slots[i].active && connections[i]) targets.push_back(connections[i]);
    }
  }
  for (auto& target : targets) hand(*target, message, length, kind);
}

// The state of the whole game, as a player's answer. Call with stateLock held.
WorldUpdate UpdateNow() {
  outgoingUpdate.type = TypeWorldUpdate;
  outgoingUpdate.it = BYTE(itSlot);
  return outgoingUpdate;
}

void SendWorldUpdate(int slot, Connection& connection) {
  WorldUpdate update;
  {
    std::lock_guard lock(stateLock);
    if (!Holds(slot, connection)) return;
    update = UpdateNow();
  }
  SendOrQueue(connection, &update, sizeof update, Sent::WorldUpdate);
}

// Whether `slot` is kept for a newcomer who is still answering its Welcome. Guarded
// by stateLock.
bool keptForNewcomer[kSlotCount];
// Joins so far, and the join that brought each slot's player in: a newcomer hears of
// those who joined after its Welcome was made.
unsigned joinsSoFar;
unsigned joinNumber[kSlotCount];
// Joins are told in the order they happen, to everybody alike.
std::mutex joinOrder;

PlayerJoined JoinedNotice(int slot) {
  PlayerJoined joined = {TypeNotice, KindPlayerJoined, BYTE(slot), {}, slots[slot].character};
  memcpy(joined.name, slots[slot].name, kNameField);
  return joined;
}

// The join of slot `slot` as everybody is to hear of it, without anybody waiting on a
// player: the newcomer first hears of those who joined while it answered, then
// everybody hears of the newcomer.
void TellJoin(int slot, Connection& newcomer, unsigned joinsBefore) {
  std::lock_guard order(joinOrder);
  std::vector<PlayerJoined> meanwhile;
  PlayerJoined joined;
  {
    std::lock_guard lock(stateLock);
    slots[slot].active = 1;
    keptForNewcomer[slot] = false;
    joinNumber[slot] = ++joinsSoFar;
    joined = JoinedNotice(slot);
    for (int k = 0; k < kSlotCount; k++) {
      if (k != slot && slots[k].active && joinNumber[k] > joinsBefore) meanwhile.push_back(JoinedNotice(k));
    }
  }
  for (const PlayerJoined& earlier : meanwhile) Post(newcomer, &earlier, sizeof earlier, Sent::PlayerJoined);
  Broadcast(&joined, sizeof joined, Sent::PlayerJoined, Post);
}

// Stores a report and answers it with the game as it stands with the report in it, in
// one hold of the state.
void StorePosition(int slot, Connection& connection, const PositionReport& report) {
  bool answer;
  WorldUpdate update;
  {
    std::lock_guard lock(stateLock);
    if (!Holds(slot, connection)) return;
    ServerSlot& p = slots[slot];
    p.x = report.x;
    p.y = report.y;
    p.map = MapOf(report.location);
    p.direction = DirectionOf(report.location);
    outgoingUpdate.players[slot].x = report.x;
    outgoingUpdate.players[slot].y = report.y;
    outgoingUpdate.players[slot].location = LocationByte(p.map, p.direction);
    switch (report.state) {
      case 0: p.active = 0, connections[slot].reset(); break;
      case 1: p.frame = 0, p.moving = 0; break;
      case 2: p.frame = 0, p.moving = 1; break;
      case 3: p.frame = 1, p.moving = 1; break;
      default: break;
    }
    answer = p.active;
    if (answer) update = UpdateNow();
  }
  if (answer) {
    SendOrQueue(connection, &update, sizeof update, Sent::WorldUpdate);
  } else {
    // The player gave up its slot: nobody will read this connection again.
    Close(connection);
  }
}

void RelayChat(int slot, const BYTE* request) {
  ChatRelay relay = {TypeNotice, KindChatRelay, BYTE(slot), {}, 0, {}};
  // The text ends at its terminator or at the end of the record, and is cut at 190.
  const char* text = reinterpret_cast<const char*>(request + 1);
  size_t length = strnlen(text, sizeof(ChatRequest) - 1);
  memcpy(relay.text, text, std::min(length, sizeof relay.text));
  Broadcast(&relay, sizeof relay, Sent::ChatRelay, Queue);
}

}  // namespace

void ClientLoop(void* argument) {
  auto* start = static_cast<ClientThreadStart*>(argument);
  int slot = start->slot;
  std::shared_ptr<Connection> connection = std::move(start->connection);
  delete start;

  SendWorldUpdate(slot, *connection);
  MessageStream stream = {};
  BYTE message[kLongestMessage];
  while (true) {
    {
      std::lock_guard lock(stateLock);
      if (!Holds(slot, *connection)) return;
    }
    int length = ReadMessage(SocketOf(*connection), &stream, MeasureFromClient, message);
    if (length <= 0) {
      SetStatus(length == 0 ? "Player left!" : "Error reading from a player.");
      Close(*connection);
      FreeSlot(slot, *connection);
      RefreshPlayerList();
      return;
    }
    switch (message[0]) {
      case TypePositionReport: {
        PositionReport report;
        memcpy(&report, message, sizeof report);
        StorePosition(slot, *connection, report);
        break;
      }
      case TypeChatRequest:
        RelayChat(slot, message);
        break;
      case TypePsiRequest: {
        std::lock_guard lock(stateLock);
        if (Holds(slot, *connection)) LaunchPsi(slot, message[1]);
        break;
      }
    }
  }
}

void OnSendFailed(int slot, Connection& connection, Sent kind) {
  switch (kind) {
    case Sent::WorldUpdate:
      SetStatus("Error on send().");
      FreeSlot(slot, connection);
      break;
    case Sent::PlayerJoined:
      SetStatus("Player disonnceted.");
      FreeSlot(slot, connection);
      break;
    case Sent::ChatRelay:
    case Sent::PlayerKicked:
      FreeSlot(slot, connection);
      RefreshPlayerList();
      SetStatus("Player disconnected!");
      break;
  }
}

int KeepSlotForNewcomer() {
  std::lock_guard lock(stateLock);
  for (int i = 0; i < kSlotCount; i++) {
    if (!slots[i].active && !keptForNewcomer[i]) {
      keptForNewcomer[i] = true;
      return i;
    }
  }
  return -1;
}

void ReleaseKeptSlot(int slot) {
  std::lock_guard lock(stateLock);
  keptForNewcomer[slot] = false;
}

unsigned SendWelcome(int slot, SOCKET socket) {
  Welcome welcome;
  unsigned joinsBefore;
  {
    std::lock_guard lock(stateLock);
    welcome.slot = BYTE(slot);
    for (int k = 0; k < kSlotCount; k++) {
      memcpy(welcome.names[k], slots[k].name, kNameField);
      welcome.characters[k] = slots[k].character;
    }
    joinsBefore = joinsSoFar;
  }
  send(socket, reinterpret_cast<const char*>(&welcome), sizeof welcome, 0);
  return joinsBefore;
}

void JoinNewcomer(int slot, SOCKET socket, const JoinReply& reply, unsigned joinsBefore) {
  SetReceiveTimeout(socket, kSilentPlayerMs);
  // The name ends at its first zero, and after nine characters at the latest.
  char name[kNameField] = {};
  memcpy(name, reply.name, strnlen(reply.name, kNameLength));
  std::shared_ptr<Connection> connection = OpenConnection(slot, socket);
  {
    std::lock_guard lock(stateLock);
    slots[slot].character = reply.character;
    memcpy(slots[slot].name, name, kNameField);
    connections[slot] = connection;
  }
  char title[4];
  snprintf(title, sizeof title, "%d", reply.character);
  SetWindowTextA(mainWindow, title);
  TellJoin(slot, *connection, joinsBefore);

  auto* start = new ClientThreadStart{slot, connection};
  if (_beginthread(ClientLoop, 0, start) == uintptr_t(-1)) {
    // Nobody would read this player: it leaves at once.
    delete start;
    FreeSlot(slot, *connection);
    Close(*connection);
    RefreshPlayerList();
    return;
  }
  SetStatus(name);
  RefreshPlayerList();
}

void KickRequest() {
  int row = int(SendMessageA(playerList, LB_GETCURSEL, 0, 0));
  if (row < 0 || row >= kSlotCount) return;
  std::shared_ptr<Connection> connection;
  {
    std::lock_guard lock(stateLock);
    if (!slots[row].active) return;
    connection = connections[row];
  }
  // Posting never waits for a player, so the kick needs no thread of its own and the
  // window never waits on a player who does not read.
  PlayerKicked kicked = {TypeNotice, KindPlayerKicked, BYTE(row)};
  Broadcast(&kicked, sizeof kicked, Sent::PlayerKicked, Post);
  // The kicked player's thread may find its slot gone before it reads again, and then
  // leaves without a word: the list is brought up to date here.
  if (connection && FreeSlot(row, *connection)) {
    CloseWhenSent(*connection);
    RefreshPlayerList();
  }
}

void RefreshPlayerList() {
  static std::mutex refreshing;  // two refreshes at once would mix their rows
  std::lock_guard order(refreshing);
  char rows[kSlotCount][kNameField];
  {
    std::lock_guard lock(stateLock);
    for (int i = 0; i < kSlotCount; i++) {
      snprintf(rows[i], sizeof rows[i], "%s", slots[i].active ? slots[i].name : "-Empty-");
    }
  }
  SendMessageA(playerList, LB_RESETCONTENT, 0, 0);
  for (const char* row : rows) SendMessageA(playerList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row));
}

void CloseAllConnections() {
  std::vector<std::shared_ptr<Connection>> open;
  {
    std::lock_guard lock(stateLock);
    for (auto& connection : connections) {
      if (connection) open.push_back(std::move(connection));
    }
  }
  for (auto& connection : open) Close(*connection);
}
