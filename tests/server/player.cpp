#include "tests/server/player.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point end) {
  auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
  return int(std::max<decltype(left)>(left, 0));
}

}  // namespace

Player::Player(int receiveBuffer, const char* from) {
  int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (s < 0) return;
  if (receiveBuffer > 0) setsockopt(s, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
  sockaddr_in source = {};
  source.sin_family = AF_INET;
  sockaddr_in address = source;
  address.sin_port = htons(kGamePort);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (inet_pton(AF_INET, from, &source.sin_addr) != 1 ||
      bind(s, reinterpret_cast<sockaddr*>(&source), sizeof source) != 0 ||
      connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(s);
    return;
  }
  socket_ = s;
}

Player::~Player() {
  if (socket_ >= 0) close(socket_);
}

bool Player::Send(const void* bytes, size_t length) {
  if (socket_ < 0) return false;
  ssize_t sent = send(socket_, bytes, length, MSG_NOSIGNAL);
  return sent == ssize_t(length);
}

bool Player::Fill(Clock::time_point deadline) {
  if (socket_ < 0 || ended_) return false;
  pollfd p = {socket_, POLLIN, 0};
  if (poll(&p, 1, MsLeft(deadline)) <= 0) return false;
  BYTE buffer[65536];
  ssize_t got = recv(socket_, buffer, sizeof buffer, 0);
  if (got < 0 && errno == EINTR) return true;
  if (got <= 0) {
    ended_ = true;  // closed, or reset by the server
    return false;
  }
  pending_.insert(pending_.end(), buffer, buffer + got);
  // The server's small sends wait for the acknowledgement of the ones before them
  // (it keeps the platform's default coalescing): acknowledge at once, not 40 ms later.
  int on = 1;
  setsockopt(socket_, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
  return true;
}

Bytes Player::Receive(size_t length, std::chrono::milliseconds timeout) {
  Clock::time_point deadline = Clock::now() + timeout;
  while (pending_.size() < length && Fill(deadline)) {
  }
  size_t taken = std::min(length, pending_.size());
  Bytes bytes(pending_.begin(), pending_.begin() + long(taken));
  pending_.erase(pending_.begin(), pending_.begin() + long(taken));
  return bytes;
}

bool Player::Ends(std::chrono::milliseconds timeout) {
  Fill(Clock::now() + timeout);
  return ended_ && pending_.empty();
}

std::unique_ptr<Player> ConnectOnceListening() {
  constexpr std::chrono::milliseconds kRetry{100};
  const auto deadline = Clock::now() + kPrompt;
  while (Clock::now() < deadline) {
    auto player = std::make_unique<Player>();
    if (player->Connected()) return player;
    std::this_thread::sleep_for(kRetry);
  }
  return nullptr;
}
