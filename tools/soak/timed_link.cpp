#include "tools/soak/timed_link.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace {

constexpr uint16_t kPort = 16738;

// Milliseconds left until the deadline for poll, never negative.
int MsLeft(TimedLink::Clock::time_point deadline) {
  auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - TimedLink::Clock::now()).count();
  return int(std::clamp<decltype(left)>(left, 0, 1 << 30));
}

// Waits until the socket has one of `events`, or the deadline passes.
bool Ready(int socket, short events, TimedLink::Clock::time_point deadline) {
  while (true) {
    pollfd p = {socket, events, 0};
    int n = poll(&p, 1, MsLeft(deadline));
    if (n >= 0) return n > 0;
    if (errno != EINTR) return false;
  }
}

}  // namespace

TimedLink::~TimedLink() { Close(); }

bool TimedLink::Connect(const std::string& address, int receiveBuffer, const std::string& from) {
  sockaddr_in to = {}, source = {};
  to.sin_family = source.sin_family = AF_INET;
  to.sin_port = htons(kPort);
  if (inet_pton(AF_INET, address.c_str(), &to.sin_addr) != 1) return false;
  if (!from.empty() && inet_pton(AF_INET, from.c_str(), &source.sin_addr) != 1) return false;
  socket_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (socket_ < 0) return false;
  if (!from.empty() && bind(socket_, reinterpret_cast<sockaddr*>(&source), sizeof source) != 0) return false;
  if (receiveBuffer > 0) setsockopt(socket_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
  timeval wait = {5, 0};  // bounds the connect; sends never block
  setsockopt(socket_, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
  return connect(socket_, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
}

bool TimedLink::Send(const void* bytes, size_t length, Clock::time_point deadline) {
  const char* at = static_cast<const char*>(bytes);
  while (length > 0) {
    if (socket_ < 0 || !Ready(socket_, POLLOUT, deadline)) return false;
    ssize_t sent = send(socket_, at, length, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (sent <= 0) return false;
    at += sent;
    length -= size_t(sent);
  }
  return true;
}

bool TimedLink::Readable(Clock::time_point deadline) { return socket_ >= 0 && Ready(socket_, POLLIN, deadline); }

int TimedLink::Receive(void* buffer, size_t room, Clock::time_point deadline) {
  while (true) {
    if (!Readable(deadline)) return -1;
    ssize_t got = recv(socket_, buffer, room, 0);
    if (got < 0 && errno == EINTR) continue;
    return int(got);
  }
}

bool TimedLink::Ends(Clock::time_point deadline, size_t& bytes) {
  char buffer[4096];
  while (Readable(deadline)) {
    ssize_t got = recv(socket_, buffer, sizeof buffer, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return true;  // closed, or reset
    bytes += size_t(got);
  }
  return false;
}

void TimedLink::Close() {
  if (socket_ >= 0) close(socket_);
  socket_ = -1;
}

void TimedLink::Reset() {
  linger now = {1, 0};
  if (socket_ >= 0) setsockopt(socket_, SOL_SOCKET, SO_LINGER, &now, sizeof now);
  Close();
}
