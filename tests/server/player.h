// A player as the server sees one: a TCP connection to the game port on the loopback
// interface through plain POSIX sockets (player.cpp), speaking the wire protocol
// (player_messages.cpp). Every wait has a deadline, so a server that stays silent
// fails the test instead of stalling it.
#pragma once

#include <chrono>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "protocol/messages.h"

using Bytes = std::vector<BYTE>;

// Long enough for anything the server does at once, even under a sanitizer.
constexpr std::chrono::milliseconds kPrompt{10000};

class Player {
 public:
  // Connects to the game port from the loopback address `from`; a `receiveBuffer` above
  // 0 makes the socket's receive buffer that small, for a player who is to fall behind
  // quickly.
  explicit Player(int receiveBuffer = 0, const char* from = "127.0.0.1");
  ~Player();
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

  // Whether the connection was made.
  bool Connected() const { return socket_ >= 0; }

  // Sends the bytes with one call; false when that failed.
  bool Send(const void* bytes, size_t length);
  template <typename T>
  bool Send(const T& record) {
    return Send(&record, sizeof record);
  }

  // Up to `length` bytes: fewer when the connection ended or the timeout passed first.
  Bytes Receive(size_t length, std::chrono::milliseconds timeout = kPrompt);

  // Whether the connection ends within the timeout with no byte before its end.
  bool Ends(std::chrono::milliseconds timeout = kPrompt);

  // Whether the server has ended the connection (seen by a receive).
  bool Ended() const { return ended_; }

  // The bytes received and not yet taken.
  const Bytes& Pending() const { return pending_; }

  // Receives what the socket has, waiting until the deadline; false at the end of the
  // connection or when the deadline passed.
  bool Fill(std::chrono::steady_clock::time_point deadline);

 private:
  int socket_ = -1;
  Bytes pending_;  // received and not yet taken
  bool ended_ = false;
};

// The next whole message the server sends after the handshake; empty when the
// connection ended or the timeout passed first.
Bytes NextMessage(Player& player, std::chrono::milliseconds timeout = kPrompt);

// A JoinReply with a name of at most 9 bytes (no terminator when it has 9).
JoinReply Reply(BYTE character, const std::string& name);

// A PositionReport.
PositionReport Report(WORD x, WORD y, BYTE location, BYTE state);

// A ChatRequest whose 199 bytes after the type start with `text` and are zero after it.
ChatRequest Chat(const std::string& text);

// The text of a ChatRelay, which ends at its terminator or after 190 characters.
std::string ChatText(const ChatRelay& relay);

// Reads the Welcome; nothing when it did not arrive whole.
std::optional<Welcome> ReadWelcome(Player& player);

// The next message that is not a WorldUpdate; empty as NextMessage.
Bytes NextNotice(Player& player);

// Sends a report and returns the WorldUpdate that answers it, passing over notices;
// type 0 when none came.
WorldUpdate Exchange(Player& player, const PositionReport& report);

// A player connected as soon as a server that is starting listens; nothing when none
// does within kPrompt.
std::unique_ptr<Player> ConnectOnceListening();

// Joins with a fresh connection: reads the Welcome, sends the JoinReply, and receives
// the player's own PlayerJoined and its first WorldUpdate (in either order) without
// sending anything more. The slot given, or -1 when a step failed.
int Join(Player& player, BYTE character, const std::string& name);

// The message as a record of its type; zeroed when the length does not match.
template <typename T>
T As(const Bytes& message) {
  T record = {};
  if (message.size() == sizeof record) memcpy(&record, message.data(), sizeof record);
  return record;
}

// The bytes of a record, as they go on the wire.
template <typename T>
Bytes Image(const T& record) {
  const auto* bytes = reinterpret_cast<const BYTE*>(&record);
  return Bytes(bytes, bytes + sizeof record);
}
