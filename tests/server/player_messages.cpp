#include "tests/server/player.h"

#include <algorithm>
#include <cstring>

#include "protocol/stream.h"

Bytes NextMessage(Player& player, std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (true) {
    const Bytes& pending = player.Pending();
    int length = MeasureFromServer(pending.data(), int(pending.size()));
    if (length < 0) return {};  // the server sent something that names no message
    if (length > 0 && pending.size() >= size_t(length)) return player.Receive(size_t(length));
    if (!player.Fill(deadline)) return {};
  }
}

JoinReply Reply(BYTE character, const std::string& name) {
  JoinReply reply = {character, {}};
  memcpy(reply.name, name.data(), std::min(name.size(), sizeof reply.name));
  return reply;
}

PositionReport Report(WORD x, WORD y, BYTE location, BYTE state) { return {TypePositionReport, x, y, location, state}; }

ChatRequest Chat(const std::string& text) {
  BYTE bytes[sizeof(ChatRequest)] = {TypeChatRequest};
  memcpy(bytes + 1, text.data(), std::min(text.size(), sizeof bytes - 1));
  ChatRequest request;
  memcpy(&request, bytes, sizeof request);
  return request;
}

std::string ChatText(const ChatRelay& relay) { return std::string(relay.text, strnlen(relay.text, sizeof relay.text)); }

std::optional<Welcome> ReadWelcome(Player& player) {
  Bytes bytes = player.Receive(sizeof(Welcome));
  if (bytes.size() != sizeof(Welcome)) return std::nullopt;
  return As<Welcome>(bytes);
}

Bytes NextNotice(Player& player) {
  while (true) {
    Bytes message = NextMessage(player);
    if (message.empty() || message[0] != TypeWorldUpdate) return message;
  }
}

WorldUpdate Exchange(Player& player, const PositionReport& report) {
  if (!player.Send(report)) return {};
  while (true) {
    Bytes message = NextMessage(player);
    if (message.empty() || message[0] == TypeWorldUpdate) return As<WorldUpdate>(message);
  }
}

int Join(Player& player, BYTE character, const std::string& name) {
  std::optional<Welcome> welcome = ReadWelcome(player);
  if (!welcome || !player.Send(Reply(character, name))) return -1;
  bool noticed = false, updated = false;
  for (int i = 0; i < 2; i++) {
    Bytes message = NextMessage(player);
    if (message.size() == sizeof(WorldUpdate)) updated = true;
    if (message.size() == sizeof(PlayerJoined)) noticed = As<PlayerJoined>(message).slot == welcome->slot;
  }
  return noticed && updated ? welcome->slot : -1;
}
