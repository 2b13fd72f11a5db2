// The sockets half of the reference server: the listener on the game port with the
// options quendlehost uses (SO_REUSEADDR, backlog 15, nothing else: small sends keep
// the platform's default coalescing), non-blocking connections with a buffer each
// for what the peer has not taken yet, and SIGINT or SIGTERM ending it with code 0.
#include <netinet/in.h>
#include <signal.h>
#include <sys/epoll.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <unordered_map>
#include <vector>

#include "protocol/messages.h"
#include "tools/benchmarks/reference_server.h"

namespace {

// A peer that leaves this much unread has stopped reading: it is dropped, as
// quendlehost drops one whose queue of messages fills up.
constexpr size_t kMostUnsent = 256 * kLongestMessage;

struct Outbox {
  std::vector<BYTE> unsent;
  bool closing = false;
};

int poller = -1;
std::unordered_map<int, Outbox> outboxes;
std::vector<int> closing;  // closed once the current events are handled

void Watch(int op, int fd, uint32_t events) {
  epoll_event event = {};
  event.events = events;
  event.data.fd = fd;
  epoll_ctl(poller, op, fd, &event);
}

bool WouldBlock() { return errno == EAGAIN || errno == EWOULDBLOCK; }

// Sends what waits for `fd`; keeps the rest and asks to hear when there is room.
void Flush(int fd, Outbox& box) {
  ssize_t sent = send(fd, box.unsent.data(), box.unsent.size(), MSG_NOSIGNAL);
  if (sent < 0 && !WouldBlock()) {
    Close(fd);
    return;
  }
  box.unsent.erase(box.unsent.begin(), box.unsent.begin() + std::max<ssize_t>(sent, 0));
  Watch(EPOLL_CTL_MOD, fd, box.unsent.empty() ? EPOLLIN : EPOLLIN | EPOLLOUT);
}

// Takes every newcomer waiting; false when accepting failed for good.
bool AcceptAll(int listener) {
  while (true) {
    int fd = accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    // None waiting, or one that gave up before it was taken.
    if (fd < 0) return WouldBlock() || errno == ECONNABORTED;
    outboxes[fd] = {};
    Watch(EPOLL_CTL_ADD, fd, EPOLLIN);
    Arrived(fd);
  }
}

void Serve(int fd, uint32_t events) {
  auto found = outboxes.find(fd);
  if (found == outboxes.end() || found->second.closing) return;
  if ((events & EPOLLOUT) && !found->second.unsent.empty()) Flush(fd, found->second);
  if (found->second.closing) return;
  if (events & (EPOLLIN | EPOLLHUP | EPOLLERR)) {
    BYTE bytes[4096];
    ssize_t got = recv(fd, bytes, sizeof bytes, 0);
    if (got > 0) {
      Received(fd, bytes, int(got));
    } else if (got == 0 || !WouldBlock()) {
      Close(fd);
    }
  }
}

void CloseAll() {
  for (int fd : closing) {
    outboxes.erase(fd);
    close(fd);
    Departed(fd);
  }
  closing.clear();
}

int Listen() {
  int listener = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  int on = 1;
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_port = htons(kGamePort);
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  if (listener < 0 || setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
      bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, 15) != 0) {
    perror("reference_server: listening on port 16738");
    return -1;
  }
  return listener;
}

// SIGINT and SIGTERM, as events of the loop, even when the starting shell ignored them.
int StopSignals() {
  sigset_t stop;
  sigemptyset(&stop);
  for (int number : {SIGINT, SIGTERM}) {
    sigaddset(&stop, number);
    signal(number, SIG_DFL);
  }
  sigprocmask(SIG_BLOCK, &stop, nullptr);
  return signalfd(-1, &stop, SFD_CLOEXEC);
}

}  // namespace

void Send(int connection, const void* bytes, size_t length) {
  auto found = outboxes.find(connection);
  if (found == outboxes.end() || found->second.closing) return;
  Outbox& box = found->second;
  const BYTE* first = static_cast<const BYTE*>(bytes);
  if (box.unsent.empty()) {
    ssize_t sent = send(connection, first, length, MSG_NOSIGNAL);
    if (sent == ssize_t(length)) return;
    if (sent < 0 && !WouldBlock()) {
      Close(connection);
      return;
    }
    size_t taken = size_t(std::max<ssize_t>(sent, 0));
    first += taken;
    length -= taken;
    Watch(EPOLL_CTL_MOD, connection, EPOLLIN | EPOLLOUT);
  }
  if (box.unsent.size() + length > kMostUnsent) {
    Close(connection);
    return;
  }
  box.unsent.insert(box.unsent.end(), first, first + length);
}

void Close(int connection) {
  auto found = outboxes.find(connection);
  if (found == outboxes.end() || found->second.closing) return;
  found->second.closing = true;
  closing.push_back(connection);
}

int main() {
  int stop = StopSignals();
  int listener = Listen();
  poller = epoll_create1(EPOLL_CLOEXEC);
  if (stop < 0 || listener < 0 || poller < 0) return 1;
  Watch(EPOLL_CTL_ADD, listener, EPOLLIN);
  Watch(EPOLL_CTL_ADD, stop, EPOLLIN);
  printf("Listening on port %d\n", kGamePort);
  fflush(stdout);

  epoll_event events[64];
  while (true) {
    int count = epoll_wait(poller, events, 64, -1);
    for (int i = 0; i < count; i++) {
      int fd = events[i].data.fd;
      if (fd == stop) return 0;
      if (fd == listener) {
        if (!AcceptAll(listener)) {
          perror("reference_server: accepting");
          return 1;
        }
      } else {
        Serve(fd, events[i].events);
      }
    }
    // Closed only now, so that no descriptor is reused while events for it wait.
    CloseAll();
  }
}
