#include "tools/siege/holders.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace {

constexpr uint16_t kPort = 16738;

// A connection on its way from `from` to `to`; -1 when none could be begun.
int Open(const sockaddr_in& from, const sockaddr_in& to) {
  int s = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (s < 0) return -1;
  if (bind(s, reinterpret_cast<const sockaddr*>(&from), sizeof from) != 0 ||
      (connect(s, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0 && errno != EINPROGRESS)) {
    close(s);
    return -1;
  }
  return s;
}

// Whether the connection is over: the server closed it, or it failed. What the server
// sends is read and dropped.
bool Over(int s) {
  char buffer[512];
  while (true) {
    ssize_t got = recv(s, buffer, sizeof buffer, 0);
    if (got > 0) continue;
    return got == 0 || (errno != EAGAIN && errno != EINTR);
  }
}

}  // namespace

Holders::Holders(const std::string& server, const std::string& from, int count)
    : thread_([this, server, from, count] { Run(server, from, count); }) {}

Holders::~Holders() {
  stop_ = true;
  thread_.join();
}

void Holders::Run(const std::string& server, const std::string& from, int count) {
  sockaddr_in source = {}, to = {};
  source.sin_family = to.sin_family = AF_INET;
  to.sin_port = htons(kPort);
  if (inet_pton(AF_INET, from.c_str(), &source.sin_addr) != 1 || inet_pton(AF_INET, server.c_str(), &to.sin_addr) != 1)
    return;
  std::vector<pollfd> held(size_t(count), pollfd{-1, POLLIN, 0});
  while (!stop_) {
    for (pollfd& p : held) {
      if (p.fd < 0) p.fd = Open(source, to);
    }
    if (poll(held.data(), held.size(), 20) <= 0) continue;
    for (pollfd& p : held) {
      if (p.fd < 0 || p.revents == 0 || !Over(p.fd)) continue;
      close(p.fd);
      p.fd = -1;
      letGo_++;
    }
  }
  for (pollfd& p : held) {
    if (p.fd >= 0) close(p.fd);
  }
}
