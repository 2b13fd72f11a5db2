// The game half of the reference server: slots, the join handshake, relaying, and one
// WorldUpdate for each PositionReport. Nobody is tagged and no projectile flies.
#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "protocol/stream.h"
#include "tools/benchmarks/reference_server.h"

namespace {

enum class Phase {
  kJoining,  // Welcome sent, JoinReply awaited; the slot is held
  kMember,
  kRefused,  // ServerFull sent; closed at the newcomer's first byte or close
};

struct Peer {
  Phase phase;
  int slot;
  MessageStream stream;
};

std::unordered_map<int, Peer> peers;
int holders[kSlotCount] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
// The last name and character of every slot; its slot byte is set for each newcomer.
Welcome roster = [] {
  Welcome w = {};
  std::fill(std::begin(w.characters), std::end(w.characters), BYTE(2));
  return w;
}();
// What every answer carries: nobody but slot 0 is ever "it", and no shot flies.
WorldUpdate world = [] {
  WorldUpdate w = {};
  w.type = TypeWorldUpdate;
  for (ShotEntry& shot : w.shots) shot.mode = 2;
  return w;
}();

int MeasureJoinReply(const BYTE*, int) { return sizeof(JoinReply); }

bool IsMember(int connection) {
  auto found = peers.find(connection);
  return found != peers.end() && found->second.phase == Phase::kMember;
}

void Broadcast(const void* message, size_t length) {
  for (int connection : holders) {
    if (IsMember(connection)) Send(connection, message, length);
  }
}

// Frees the connection's slot, if it holds one, and forgets it.
void Forget(int connection) {
  auto found = peers.find(connection);
  if (found == peers.end()) return;
  if (found->second.phase != Phase::kRefused) {
    holders[found->second.slot] = -1;
    world.players[found->second.slot].state = 0;
  }
  peers.erase(found);
}

void Drop(int connection) {
  Forget(connection);
  Close(connection);
}

void Join(int connection, Peer& peer, const BYTE* message) {
  JoinReply reply;
  memcpy(&reply, message, sizeof reply);
  // The name ends at its first zero, and after nine characters at the latest.
  char* name = roster.names[peer.slot];
  memset(name, 0, kNameField);
  memcpy(name, reply.name, strnlen(reply.name, sizeof reply.name));
  roster.characters[peer.slot] = reply.character;
  peer.phase = Phase::kMember;
  world.players[peer.slot].state = 1;

  PlayerJoined joined = {TypeNotice, KindPlayerJoined, BYTE(peer.slot), {}, reply.character};
  memcpy(joined.name, name, kNameField);
  Broadcast(&joined, sizeof joined);
  Send(connection, &world, sizeof world);
}

void Report(int connection, int slot, const BYTE* message) {
  PositionReport report;
  memcpy(&report, message, sizeof report);
  PlayerEntry& entry = world.players[slot];
  entry.x = report.x;
  entry.y = report.y;
  entry.location = report.location;
  if (report.state == 0) {
    Drop(connection);  // the player gave up its slot
    return;
  }
  if (report.state <= 3) entry.state = report.state;
  Send(connection, &world, sizeof world);
}

void Chat(int slot, const BYTE* message) {
  ChatRelay relay = {TypeNotice, KindChatRelay, BYTE(slot), {}, 0, {}};
  // The text ends at its terminator or at the end of the record, and is cut at 190.
  const char* text = reinterpret_cast<const char*>(message + 1);
  size_t length = strnlen(text, sizeof(ChatRequest) - 1);
  memcpy(relay.text, text, std::min(length, sizeof relay.text));
  Broadcast(&relay, sizeof relay);
}

// Takes and handles the connection's next whole message; false when there is none,
// or when the connection is gone.
bool HandleNext(int connection) {
  auto found = peers.find(connection);
  if (found == peers.end()) return false;
  Peer& peer = found->second;
  BYTE message[kLongestMessage];
  if (peer.phase == Phase::kJoining) {
    if (StreamTake(&peer.stream, MeasureJoinReply, message) == 0) return false;
    Join(connection, peer, message);
    return true;
  }
  if (StreamTake(&peer.stream, MeasureFromClient, message) == 0) return false;
  switch (message[0]) {
    case TypePositionReport: Report(connection, peer.slot, message); break;
    case TypeChatRequest: Chat(peer.slot, message); break;
    default: break;  // a PsiRequest: nothing flies here
  }
  return true;
}

}  // namespace

void Arrived(int connection) {
  int* free = std::find(std::begin(holders), std::end(holders), -1);
  if (free == std::end(holders)) {
    peers[connection] = {Phase::kRefused, -1, {}};
    BYTE full = kServerFull;
    Send(connection, &full, 1);
    return;
  }
  *free = connection;
  int slot = int(free - holders);
  peers[connection] = {Phase::kJoining, slot, {}};
  roster.slot = BYTE(slot);
  Send(connection, &roster, sizeof roster);
}

void Received(int connection, const BYTE* bytes, int count) {
  while (count > 0) {
    auto found = peers.find(connection);
    if (found == peers.end()) return;
    if (found->second.phase == Phase::kRefused) {
      Drop(connection);
      return;
    }
    // The stream holds two messages' worth; a long receive goes in by parts.
    int part = std::min(count, StreamRoom(&found->second.stream));
    StreamAdd(&found->second.stream, bytes, part);
    bytes += part;
    count -= part;
    while (HandleNext(connection)) {
    }
  }
}

void Departed(int connection) { Forget(connection); }
