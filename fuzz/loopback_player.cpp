#include "fuzz/loopback_player.h"

#include <errno.h>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Connects; a connect that the fuzzer's timer signal interrupts goes on by itself (as
// when the server's first answer to it was lost and comes again a second later), and
// its outcome is awaited.
bool Connect(int player, const sockaddr_in& address, int timeoutMs) {
  if (connect(player, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) return true;
  if (errno != EINTR) return false;
  pollfd ready = {player, POLLOUT, 0};
  while (poll(&ready, 1, timeoutMs) < 0) {
    if (errno != EINTR) return false;
  }
  int error = 0;
  socklen_t length = sizeof error;
  return (ready.revents & POLLOUT) && getsockopt(player, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}

}  // namespace

int ConnectPlayer(uint16_t port, int timeoutMs) {
  const int player = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const int on = 1;
  const timeval timeout = {timeoutMs / 1000, timeoutMs % 1000 * 1000};
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (player < 0 || setsockopt(player, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on) != 0 ||
      setsockopt(player, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout) != 0 ||
      !Connect(player, address, timeoutMs)) {
    if (player >= 0) close(player);
    return -1;
  }
  return player;
}

// The fuzzer's timer signal may interrupt a call; it is made again.
bool SendAll(int player, const void* bytes, int length) {
  for (int sent = 0; sent < length;) {
    const ssize_t now = send(player, static_cast<const char*>(bytes) + sent, size_t(length - sent), MSG_NOSIGNAL);
    if (now < 0 && errno != EINTR) return false;
    if (now > 0) sent += int(now);
  }
  return true;
}

int ReceiveSome(int player, void* into, int room) {
  while (true) {
    // Asked for again each time: the kernel may fall back to delayed acknowledgements.
    const int on = 1;
    setsockopt(player, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
    const ssize_t got = recv(player, into, size_t(room), 0);
    if (got >= 0 || errno != EINTR) return int(got);
  }
}

void ClosePlayer(int player) { close(player); }
