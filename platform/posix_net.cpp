#include "platform/posix_net.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>

namespace posix_net {
namespace {

using Clock = std::chrono::steady_clock;

int Result(int r) { return r < 0 ? -errno : r; }

sockaddr_in Address(uint32_t addr, uint16_t port) {
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_port = port;
  sa.sin_addr.s_addr = addr;
  return sa;
}

// The end of a call bounded by a socket timeout; 0 ms means no bound.
class Deadline {
 public:
  explicit Deadline(uint32_t ms) : bounded_(ms != 0), end_(Clock::now() + std::chrono::milliseconds(ms)) {}

  // The timeout for poll: -1 for none, otherwise the milliseconds left, rounded up.
  int PollTimeout() const {
    if (!bounded_) return -1;
    auto left = std::chrono::ceil<std::chrono::milliseconds>(end_ - Clock::now()).count();
    return int(std::clamp<decltype(left)>(left, 0, INT_MAX));
  }
  bool Passed() const { return bounded_ && Clock::now() >= end_; }

 private:
  bool bounded_;
  Clock::time_point end_;
};

// Waits until fd is ready for `events`, has an error or was shut down: 0, -ETIMEDOUT or -errno.
int WaitReady(int fd, short events, const Deadline& deadline) {
  for (;;) {
    pollfd p{fd, events, 0};
    int n = poll(&p, 1, deadline.PollTimeout());
    if (n > 0) return 0;
    if (n < 0 && errno != EINTR) return -errno;
    if (n == 0 && deadline.Passed()) return -ETIMEDOUT;
  }
}

// Errors after which a non-blocking send or receive is simply tried again.
bool TryAgain(int err) { return err == EAGAIN || err == EWOULDBLOCK || err == EINTR; }

// The errors that accept reports for a pending connection that failed, or for a signal.
bool FailedBeforeTaken(int error) {
  switch (error) {
    case EINTR:
    case ECONNABORTED:
    case ENETDOWN:
    case EPROTO:
    case ENOPROTOOPT:
    case EHOSTDOWN:
    case ENONET:
    case EHOSTUNREACH:
    case EOPNOTSUPP:
    case ENETUNREACH:
      return true;
    default:
      return false;
  }
}

}  // namespace

int OpenStream() { return Result(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP)); }

int Bind(int fd, uint32_t addr, uint16_t port) {
  int on = 1;
  if (setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0) return -errno;
  sockaddr_in sa = Address(addr, port);
  return Result(bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa));
}

int Listen(int fd, int backlog) { return Result(listen(fd, backlog)); }

int Accept(int fd, uint32_t* addr, uint16_t* port) {
  for (;;) {
    sockaddr_in sa{};
    socklen_t len = sizeof sa;
    int c = accept4(fd, reinterpret_cast<sockaddr*>(&sa), &len, SOCK_CLOEXEC);
    if (c >= 0) {
      *addr = sa.sin_addr.s_addr;
      *port = sa.sin_port;
      return c;
    }
    // A connection that failed before it was taken is no reason for the listener to
    // give up: Linux passes such a connection's own error on to accept.
    if (!FailedBeforeTaken(errno)) return -errno;
  }
}

int Connect(int fd, uint32_t addr, uint16_t port) {
  sockaddr_in sa = Address(addr, port);
  if (connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0) return 0;
  if (errno != EINTR) return -errno;
  // An interrupted connect goes on by itself: wait for its outcome.
  if (int err = WaitReady(fd, POLLOUT, Deadline(0))) return err;
  int err = 0;
  socklen_t len = sizeof err;
  if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0) return -errno;
  return -err;
}

// A send is tried first and waits only when the socket is not ready: most sends go at
// once, and a poll before each would double the calls.
int SendAll(int fd, const char* buf, size_t len, uint32_t timeoutMs) {
  Deadline deadline(timeoutMs);
  size_t sent = 0;
  while (sent < len) {
    ssize_t n = send(fd, buf + sent, len - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n >= 0) {
      sent += size_t(n);
    } else if (!TryAgain(errno)) {
      return -errno;
    } else if (int err = WaitReady(fd, POLLOUT, deadline)) {
      return err;
    }
  }
  return 0;
}

int SetReceiveTimeout(int fd, uint32_t timeoutMs) {
  timeval bound{time_t(timeoutMs / 1000), suseconds_t(timeoutMs % 1000 * 1000)};
  return setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &bound, sizeof bound) == 0 ? 0 : -errno;
}

// The kernel keeps the timeout, so that a receive is the one call; a signal starts its
// wait anew.
int Recv(int fd, char* buf, size_t len) {
  for (;;) {
    ssize_t n = recv(fd, buf, len, 0);
    if (n >= 0) return int(n);
    if (errno == EAGAIN || errno == EWOULDBLOCK) return -ETIMEDOUT;
    if (errno != EINTR) return -errno;
  }
}

void Shutdown(int fd) { shutdown(fd, SHUT_RDWR); }

int ShutdownSend(int fd) { return shutdown(fd, SHUT_WR) == 0 ? 0 : -errno; }

void Close(int fd) { close(fd); }

}  // namespace posix_net
