#include "tests/client/net/fake_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "protocol/messages.h"
#include "tests/client/support/pump_until.h"

FakeServer::FakeServer() {
  int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  int on = 1;
  setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_port = htons(kGamePort);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(s, 4) != 0) {
    close(s);
    return;
  }
  listener_ = s;
}

FakeServer::~FakeServer() {
  Hang();
  if (listener_ >= 0) close(listener_);
}

bool FakeServer::Readable(int socket) {
  pollfd p = {socket, POLLIN, 0};
  return poll(&p, 1, 0) > 0;
}

bool FakeServer::ConnectionWaiting() { return listener_ >= 0 && Readable(listener_); }

bool FakeServer::Accept() {
  Hang();
  if (!PumpUntil([&] { return ConnectionWaiting(); })) return false;
  connection_ = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
  ended_ = false;
  pending_.clear();
  return connection_ >= 0;
}

bool FakeServer::Send(const Bytes& bytes) {
  return connection_ >= 0 && send(connection_, bytes.data(), bytes.size(), MSG_NOSIGNAL) == ssize_t(bytes.size());
}

Bytes FakeServer::Receive(size_t length, std::chrono::milliseconds timeout) {
  PumpUntil([&] {
    while (pending_.size() < length && !ended_ && connection_ >= 0 && Readable(connection_)) {
      uint8_t buffer[4096];
      ssize_t got = recv(connection_, buffer, sizeof buffer, 0);
      if (got <= 0) ended_ = true;
      if (got > 0) pending_.insert(pending_.end(), buffer, buffer + got);
    }
    return pending_.size() >= length || ended_;
  }, timeout);
  if (pending_.size() < length && !ended_) return {};
  size_t taken = std::min(length, pending_.size());
  Bytes bytes(pending_.begin(), pending_.begin() + long(taken));
  pending_.erase(pending_.begin(), pending_.begin() + long(taken));
  return bytes;
}

bool FakeServer::Ends() { return Receive(1).empty() && ended_; }

void FakeServer::Hang() {
  if (connection_ >= 0) close(connection_);
  connection_ = -1;
}
