#include "server/connection.h"

#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>

#include "protocol/messages.h"

namespace {

constexpr DWORD kSendTimeoutMs = 5000;
constexpr size_t kMostQueued = 256;

struct Message {
  BYTE bytes[kLongestMessage];
  int length;
  Sent kind;
};

}  // namespace

struct Connection {
  int slot;
  SOCKET socket;
  std::mutex mutex;
  std::condition_variable ready;
  std::deque<Message> queue;
  bool closed = false;
  bool closeWhenSent = false;
  bool sending = false;  // a message taken from the queue is on its way

  // Closes the socket, once; call with the mutex held.
  void CloseLocked() {
    if (closed) return;
    closed = true;
    queue.clear();
    closesocket(socket);
    ready.notify_all();
  }
};

namespace {

void SendQueued(Connection& c) {
  while (true) {
    Message message;
    {
      std::unique_lock lock(c.mutex);
      c.ready.wait(lock, [&] { return c.closed || !c.queue.empty(); });
      if (c.closed) return;
      message = c.queue.front();
      c.queue.pop_front();
      c.sending = true;
    }
    bool sent = send(c.socket, reinterpret_cast<const char*>(message.bytes), message.length, 0) != SOCKET_ERROR;
    bool closedElsewhere;
    {
      std::lock_guard lock(c.mutex);
      c.sending = false;
      closedElsewhere = c.closed;
      if (sent && c.queue.empty() && c.closeWhenSent) c.CloseLocked();
      if (c.closed) return;
    }
    if (!sent) {
      if (!closedElsewhere) OnSendFailed(c.slot, c, message.kind);
      return;
    }
  }
}

void SenderThread(void* argument) {
  auto* connection = static_cast<std::shared_ptr<Connection>*>(argument);
  SendQueued(**connection);
  delete connection;
}

}  // namespace

std::shared_ptr<Connection> OpenConnection(int slot, SOCKET socket) {
  auto connection = std::make_shared<Connection>();
  connection->slot = slot;
  connection->socket = socket;
  DWORD timeout = kSendTimeoutMs;
  setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
  auto* forSender = new std::shared_ptr<Connection>(connection);
  if (_beginthread(SenderThread, 0, forSender) == uintptr_t(-1)) {
    delete forSender;
    Close(*connection);
  }
  return connection;
}

SOCKET SocketOf(const Connection& connection) { return connection.socket; }

bool Queue(Connection& c, const void* bytes, int length, Sent kind) {
  std::lock_guard lock(c.mutex);
  if (c.closed || length <= 0 || length > kLongestMessage) return false;
  if (c.queue.size() >= kMostQueued) {
    // The player stopped reading long ago: end the send that waits for it, which
    // then fails as a send does. Handles are never reused, so closing twice is safe.
    closesocket(c.socket);
    return false;
  }
  Message message;
  memcpy(message.bytes, bytes, size_t(length));
  message.length = length;
  message.kind = kind;
  c.queue.push_back(message);
  c.ready.notify_one();
  return true;
}

void Close(Connection& c) {
  std::lock_guard lock(c.mutex);
  c.CloseLocked();
}

void CloseWhenSent(Connection& c) {
  std::lock_guard lock(c.mutex);
  c.closeWhenSent = true;
  if (c.queue.empty() && !c.sending) c.CloseLocked();
}
