#include "tools/bots/link.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace {
constexpr uint16_t kPort = 16738;
}

Link::~Link() {
  if (socket_ >= 0) close(socket_);
}

bool Link::Connect(const std::string& address) {
  sockaddr_in to = {};
  to.sin_family = AF_INET;
  to.sin_port = htons(kPort);
  if (inet_pton(AF_INET, address.c_str(), &to.sin_addr) != 1) return false;
  socket_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  return socket_ >= 0 && connect(socket_, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
}

bool Link::Send(const void* bytes, size_t length) {
  const char* at = static_cast<const char*>(bytes);
  while (length > 0) {
    ssize_t sent = send(socket_, at, length, MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    at += sent;
    length -= size_t(sent);
  }
  return true;
}

int Link::Receive(void* buffer, size_t room) {
  while (true) {
    ssize_t got = recv(socket_, buffer, room, 0);
    if (got < 0 && errno == EINTR) continue;
    return int(got);
  }
}

void Link::Shut() {
  if (socket_ >= 0) shutdown(socket_, SHUT_RDWR);
}
