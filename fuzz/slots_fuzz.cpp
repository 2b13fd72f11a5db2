// The server's handling of a player's stream, from the JoinReply on: quendlehost's own
// accept thread, join and client thread, spoken to over loopback by this program as a
// player. The input is the JoinReply (its first 10 bytes) and then the player's stream,
// whose messages are sent whole, one send each. What the server sends back is checked
// as it arrives; once it has answered everything, one game tick runs over the slot
// table and the player leaves.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <deque>
#include <thread>

#include "fuzz/loopback_player.h"
#include "fuzz/messages_of.h"
#include "fuzz/require.h"
#include "platform/testing.h"
#include "server/server.h"

namespace {

// A port of this machine's own for the listener; the game's port is left alone.
constexpr WORD kFirstPort = 17000, kLastPort = 17999;
constexpr int kNameBuffer = 25;
// Messages the player sends before it reads what they are owed: a player that never
// reads is one the server may rightly give up on.
constexpr int kMostOwed = 32;
constexpr int kAnswerWaitMs = 10000;

WORD serverPort;

// The tables as quendlehost starts with them, and its accept thread on a listener.
void StartServer() {
  UseTestDesktop();
  for (ServerShot& shot : shots) shot = {400, 300, 2, 0};
  for (ServerSlot& slot : slots) slot = {0, 0, 0, 0, 2, 0, 0, 0, new char[kNameBuffer]()};
  WSADATA data;
  Require(WSAStartup(MAKEWORD(1, 1), &data) == 0, "sockets start");
  listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = inet_addr("127.0.0.1");
  for (serverPort = kFirstPort;; serverPort++) {
    Require(serverPort <= kLastPort, "a free port for the server");
    address.sin_port = htons(serverPort);
    if (bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) break;
  }
  Require(listen(listener, kSlotCount) == 0, "the server listens");
  _beginthread(AcceptLoop, 0, nullptr);
}

template <typename T>
T As(const BYTE* bytes) {
  T record;
  memcpy(&record, bytes, sizeof record);
  return record;
}

// One player's connection, what it has sent, and what the server owes it.
struct Player {
  int socket = -1;
  MessageStream stream = {};
  int slot = -1;
  JoinReply reply = {};
  char name[kNameField] = {};  // as the server keeps it: at most 9 characters
  bool joinedSeen = false;
  bool firstUpdateOwed = true;  // it comes unasked
  std::deque<PositionReport> reportsOwed;
  std::deque<ChatRelay> chatsOwed;

  int Owed() const { return int(firstUpdateOwed) + int(reportsOwed.size() + chatsOwed.size()); }
};

void CheckUpdate(Player& player, const WorldUpdate& update) {
  Require(update.type == TypeWorldUpdate && update.it < kSlotCount, "the it byte names a slot");
  for (const PlayerEntry& entry : update.players) Require(entry.state <= 3, "a state code is 0 to 3");
  for (const ShotEntry& shot : update.shots) Require(shot.mode <= 2, "a shot mode is 0 to 2");
  if (player.firstUpdateOwed) {
    player.firstUpdateOwed = false;
    return;
  }
  Require(!player.reportsOwed.empty(), "one world update for each report");
  const PositionReport report = player.reportsOwed.front();
  player.reportsOwed.pop_front();
  const PlayerEntry& own = update.players[player.slot];
  Require(own.x == report.x && own.y == report.y && own.location == report.location,
          "the answer to a report holds it in the player's own entry");
}

void CheckNotice(Player& player, const BYTE* message, int length) {
  switch (message[1]) {
    case KindPlayerJoined: {
      const PlayerJoined joined = As<PlayerJoined>(message);
      Require(length == sizeof joined && !player.joinedSeen && joined.slot == player.slot &&
                  memcmp(joined.name, player.name, kNameField) == 0 && joined.character == player.reply.character,
              "the newcomer hears of its own join once, as it joined");
      player.joinedSeen = true;
      break;
    }
    case KindChatRelay: {
      Require(length == sizeof(ChatRelay) && !player.chatsOwed.empty(), "one chat relay for each request");
      const ChatRelay relay = As<ChatRelay>(message);
      const ChatRelay& owed = player.chatsOwed.front();
      Require(relay.slot == player.slot && relay.end == 0 && memcmp(relay.text, owed.text, sizeof relay.text) == 0,
              "a chat line comes back as it was sent, cut at 190 characters");
      player.chatsOwed.pop_front();
      break;
    }
    default:
      Require(false, "only joins and chat lines are told to a player alone on the server");
  }
}

// The next whole message from the server, by the stream rule; 0 when the server closed,
// -1 when the receive failed.
int ReadMessage(Player& player, BYTE* message) {
  while (true) {
    const int length = StreamTake(&player.stream, MeasureFromServer, message);
    if (length > 0) return length;
    BYTE received[sizeof player.stream.pending];
    const int got = ReceiveSome(player.socket, received, StreamRoom(&player.stream));
    if (got <= 0) return got;
    StreamAdd(&player.stream, received, got);
  }
}

// Reads what the server sends until nothing is owed, or, when `toTheEnd`, until the
// server ends the connection.
void ReadAnswers(Player& player, bool toTheEnd) {
  BYTE message[kLongestMessage];
  while (toTheEnd || player.Owed() > 0) {
    const int length = ReadMessage(player, message);
    if (toTheEnd && length <= 0) return;
    Require(length > 0, "the server answers every report and every chat line");
    if (message[0] == TypeWorldUpdate) {
      CheckUpdate(player, As<WorldUpdate>(message));
    } else {
      CheckNotice(player, message, length);
    }
  }
}

// Connects, reads the Welcome and sends the JoinReply made of the input's first bytes.
void Join(Player& player, const uint8_t* data, size_t size) {
  player.socket = ConnectPlayer(serverPort, kAnswerWaitMs);
  Require(player.socket >= 0, "the server takes a connection");
  Welcome welcome;
  auto* into = reinterpret_cast<BYTE*>(&welcome);
  for (int have = 0, got; have < int(sizeof welcome); have += got) {
    got = ReceiveSome(player.socket, into + have, int(sizeof welcome) - have);
    Require(got > 0, "a newcomer is welcomed");
  }
  Require(welcome.slot < kSlotCount, "the Welcome gives a slot");
  for (const char* name : welcome.names) Require(memchr(name, 0, kNameField) != nullptr, "a Welcome name ends");
  player.slot = welcome.slot;
  {
    // The player may throw from the start.
    std::lock_guard lock(stateLock);
    itSlot = player.slot;
  }
  memcpy(&player.reply, data, std::min(size, sizeof player.reply));
  memcpy(player.name, player.reply.name, strnlen(player.reply.name, sizeof player.reply.name));
  Require(SendAll(player.socket, &player.reply, sizeof player.reply), "the JoinReply goes");
}

// Sends one message of the stream; false once the player has given up its slot.
bool Send(Player& player, const std::vector<BYTE>& message) {
  if (player.Owed() >= kMostOwed) ReadAnswers(player, false);
  Require(SendAll(player.socket, message.data(), int(message.size())), "the server reads its player");
  if (message[0] == TypePositionReport) {
    const PositionReport report = As<PositionReport>(message.data());
    if (report.state == 0) return false;
    player.reportsOwed.push_back(report);
  } else if (message[0] == TypeChatRequest) {
    // The text runs to its end or to the end of the request, and is cut at 190.
    ChatRelay owed = {};
    const char* text = reinterpret_cast<const char*>(message.data()) + 1;
    memcpy(owed.text, text, std::min(strnlen(text, message.size() - 1), sizeof owed.text));
    player.chatsOwed.push_back(owed);
  }
  return true;
}

// The player's slot is free again once the server has seen it leave.
void AwaitLeaving(const Player& player) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kAnswerWaitMs);
  while (true) {
    {
      std::lock_guard lock(stateLock);
      if (!slots[player.slot].active) return;
    }
    Require(std::chrono::steady_clock::now() < deadline, "a player who leaves frees its slot");
    std::this_thread::yield();
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  StartServer();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Player player;
  Join(player, data, size);
  const size_t joined = std::min(size, sizeof(JoinReply));
  bool stays = true;
  for (const std::vector<BYTE>& message : MessagesOf(data + joined, size - joined, MeasureFromClient)) {
    stays = Send(player, message);
    if (!stays) break;
  }
  if (stays) {
    ReadAnswers(player, false);
    ServerTick();
  } else {
    // A report of state 0 gives the slot up, and the server lets the connection go.
    ReadAnswers(player, true);
  }
  ClosePlayer(player.socket);
  AwaitLeaving(player);
  return 0;
}
