// Newcomers: the accept thread takes every connection in at once, and jobs of their own
// run the join handshakes, so that no newcomer waits for another to answer its Welcome.
// A newcomer answering its Welcome holds a thread, a connection and (unless the server
// is full) a slot, as a player does, so what one address may have answering at once is
// limited, and so is what all of them may: further newcomers wait their turn, a few
// for each address, while newcomers from other addresses pass them by. A connection
// beyond that is closed as soon as it is accepted.
#include <cstdint>
#include <mutex>

#include "protocol/stream.h"
#include "server/connection.h"
#include "server/server.h"

namespace {

constexpr DWORD kJoinWaitMs = 5000;     // for a newcomer's JoinReply
constexpr DWORD kRefusalWaitMs = 3000;  // for a refused newcomer to close
// Two answering and two waiting for each address: five addresses whose newcomers never
// answer keep ten slots and twenty entries at most, and the rest stay open to everybody
// else.
constexpr int kAnsweringPerAddress = 2;
constexpr int kWaitingPerAddress = 2;
constexpr int kMostAnswering = kSlotCount;
constexpr int kMostNewcomers = 2 * kSlotCount;

enum class Stage { kFree, kWaiting, kAnswering };

struct Newcomer {
  Stage stage;
  bool closed;  // by the shutdown
  uint32_t address;
  SOCKET socket;
  uint64_t arrival;  // the order in which newcomers came
};

std::mutex newcomersLock;  // guards everything below
Newcomer newcomers[kMostNewcomers];
uint64_t arrivals;
bool shutDown;

struct Counts {
  int answering;      // from every address
  int answeringHere;  // from the address asked about
  int waitingHere;
};

Counts CountFor(uint32_t address) {
  Counts counts = {};
  for (const Newcomer& n : newcomers) {
    counts.answering += n.stage == Stage::kAnswering;
    counts.answeringHere += n.stage == Stage::kAnswering && n.address == address;
    counts.waitingHere += n.stage == Stage::kWaiting && n.address == address;
  }
  return counts;
}

bool MayAnswer(uint32_t address) {
  const Counts counts = CountFor(address);
  return counts.answering < kMostAnswering && counts.answeringHere < kAnsweringPerAddress;
}

// Keeps a newcomer from `address` waiting for its turn; false when there is no room
// for it. Call with newcomersLock held.
bool AddNewcomer(SOCKET socket, uint32_t address) {
  if (shutDown) return false;
  const Counts counts = CountFor(address);
  if (counts.answeringHere + counts.waitingHere >= kAnsweringPerAddress + kWaitingPerAddress) return false;
  for (Newcomer& n : newcomers) {
    if (n.stage == Stage::kFree) {
      n = {Stage::kWaiting, false, address, socket, arrivals++};
      return true;
    }
  }
  return false;
}

// The newcomer who has waited longest of those who may answer now, made to answer; -1
// when there is none. Call with newcomersLock held.
int NextToAnswer() {
  if (shutDown) return -1;
  int next = -1;
  for (int i = 0; i < kMostNewcomers; i++) {
    const Newcomer& n = newcomers[i];
    if (n.stage != Stage::kWaiting || !MayAnswer(n.address)) continue;
    if (next < 0 || n.arrival < newcomers[next].arrival) next = i;
  }
  if (next >= 0) newcomers[next].stage = Stage::kAnswering;
  return next;
}

// Ends a newcomer's entry and closes its connection, unless the shutdown closed it.
void LetGo(int entry) {
  std::lock_guard lock(newcomersLock);
  if (!newcomers[entry].closed) closesocket(newcomers[entry].socket);
  newcomers[entry] = {};
}

// Ends the entry of a newcomer who has joined, whose connection is its player's now;
// false when the shutdown closed it first.
bool HandOver(int entry) {
  std::lock_guard lock(newcomersLock);
  const bool open = !newcomers[entry].closed;
  newcomers[entry] = {};
  return open;
}

void Handshake(int slot, SOCKET socket, int entry) {
  Beep(0, 0);
  SetStatus("Client(s) connected!");
  const unsigned joinsBefore = SendWelcome(slot, socket);
  JoinReply reply;
  SetReceiveTimeout(socket, kJoinWaitMs);
  const int got = ReadExactly(socket, reinterpret_cast<BYTE*>(&reply), sizeof reply);
  if (got > 0 && HandOver(entry)) return JoinNewcomer(slot, socket, reply, joinsBefore);
  // The slot is free again before anybody can hear of it.
  ReleaseKeptSlot(slot);
  if (got > 0) return;  // the shutdown closed the connection
  SetStatus(got == 0 ? "Player left!" : "Socket Error...");
  LetGo(entry);
}

// Every slot is held: the newcomer gets the full-server byte, and a bounded wait for
// its answer or its close.
void Refusal(SOCKET socket, int entry) {
  char full = char(kServerFull), answer;
  send(socket, &full, 1, 0);
  SetReceiveTimeout(socket, kRefusalWaitMs);
  recv(socket, &answer, 1, 0);
  LetGo(entry);
}

// A newcomer whose turn has come: its entry, its connection, and the slot kept for it
// (-1 when every slot is taken).
struct Turn {
  int entry;
  SOCKET socket;
  int slot;
};

// The next turn, in the order the newcomers came; entry -1 when there is none.
Turn NextTurn() {
  Turn turn = {-1, INVALID_SOCKET, -1};
  {
    std::lock_guard lock(newcomersLock);
    turn.entry = NextToAnswer();
    if (turn.entry < 0) return turn;
    turn.socket = newcomers[turn.entry].socket;
  }
  turn.slot = KeepSlotForNewcomer();
  return turn;
}

// A newcomer's job: the handshake in the slot kept for it, or the refusal when every
// slot is taken; then the same for each newcomer whose turn comes.
void NewcomerJob(void* argument) {
  Turn turn = *static_cast<Turn*>(argument);
  delete static_cast<Turn*>(argument);
  for (; turn.entry >= 0; turn = NextTurn()) {
    if (turn.slot >= 0) {
      Handshake(turn.slot, turn.socket, turn.entry);
    } else {
      Refusal(turn.socket, turn.entry);
    }
  }
}

// Takes a newcomer in to wait for its turn, and starts a job for every newcomer whose
// turn has come. One who may not come in now, or whose job cannot be started, is let go
// at once.
void Admit(SOCKET socket, uint32_t address) {
  {
    std::lock_guard lock(newcomersLock);
    if (!AddNewcomer(socket, address)) {
      closesocket(socket);
      return;
    }
  }
  for (Turn turn = NextTurn(); turn.entry >= 0; turn = NextTurn()) {
    auto* job = new Turn(turn);
    if (_beginthread(NewcomerJob, 0, job) != uintptr_t(-1)) continue;
    delete job;
    if (turn.slot >= 0) ReleaseKeptSlot(turn.slot);
    LetGo(turn.entry);
  }
}

}  // namespace

void AcceptLoop(void*) {
  while (true) {
    sockaddr_in from = {};
    int fromLength = sizeof from;
    SOCKET socket = accept(listener, reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (socket == INVALID_SOCKET) {
      if (ServerShuttingDown()) return;
      Beep(0, 0);
      SetStatus("Big fat error at accept()!  Closing!");
      closesocket(listener);
      ServerShutdown();
      return;
    }
    Admit(socket, from.sin_addr.s_addr);
  }
}

void CloseNewcomers() {
  std::lock_guard lock(newcomersLock);
  shutDown = true;
  for (Newcomer& newcomer : newcomers) {
    if (newcomer.stage != Stage::kFree && !newcomer.closed) closesocket(newcomer.socket);
    newcomer.closed = true;
  }
}
