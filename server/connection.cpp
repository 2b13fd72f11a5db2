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

struct Connection : std::enable_shared_from_this<Connection> {
  int slot;
  SOCKET socket;
  std::mutex mutex;
  std::condition_variable ready;  // a send on its way has ended, or the connection closed
  std::deque<Message> queue;
  bool closed = false;
  bool closeWhenSent = false;
  bool sending = false;        // a message is on its way, and nothing else may go now
  bool senderRunning = false;  // a sender thread works through the queue

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

// Sends one message that this thread has taken (c.sending is set), and what follows
// from it. False when the connection is over for this thread.
bool SendTaken(Connection& c, const Message& message) {
  bool sent = send(c.socket, reinterpret_cast<const char*>(message.bytes), message.length, 0) != SOCKET_ERROR;
  bool closedElsewhere;
  {
    std::lock_guard lock(c.mutex);
    c.sending = false;
    closedElsewhere = c.closed;
    if (sent && c.queue.empty() && c.closeWhenSent) c.CloseLocked();
    // A sender may wait for the end of this send even with nothing queued yet: it may
    // have found it begun right after its own, and what is queued next relies on it.
    c.ready.notify_all();
    if (c.closed) return false;
  }
  if (!sent && !closedElsewhere) OnSendFailed(c.slot, c, message.kind);
  return sent;
}

// The sender: sends what is queued, in order, and ends when nothing is left.
void SendQueued(Connection& c) {
  while (true) {
    Message message;
    {
      std::unique_lock lock(c.mutex);
      c.ready.wait(lock, [&] { return c.closed || !c.sending; });
      if (c.closed || c.queue.empty()) {
        c.senderRunning = false;
        return;
      }
      message = c.queue.front();
      c.queue.pop_front();
      c.sending = true;
    }
    if (!SendTaken(c, message)) return;
  }
}

void SenderThread(void* argument) {
  auto* connection = static_cast<std::shared_ptr<Connection>*>(argument);
  SendQueued(**connection);
  delete connection;
}

// Queues a message, and starts a sender unless one runs; call with the mutex held.
bool QueueLocked(Connection& c, const void* bytes, int length, Sent kind) {
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
  if (c.senderRunning) return true;
  auto* forSender = new std::shared_ptr<Connection>(c.shared_from_this());
  if (_beginthread(SenderThread, 0, forSender) == uintptr_t(-1)) {
    delete forSender;
    c.CloseLocked();
    return false;
  }
  c.senderRunning = true;
  return true;
}

}  // namespace

std::shared_ptr<Connection> OpenConnection(int slot, SOCKET socket) {
  auto connection = std::make_shared<Connection>();
  connection->slot = slot;
  connection->socket = socket;
  DWORD timeout = kSendTimeoutMs;
  setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
  return connection;
}

SOCKET SocketOf(const Connection& connection) { return connection.socket; }

bool Queue(Connection& c, const void* bytes, int length, Sent kind) {
  std::lock_guard lock(c.mutex);
  return QueueLocked(c, bytes, length, kind);
}

bool SendOrQueue(Connection& c, const void* bytes, int length, Sent kind) {
  Message message;
  {
    std::lock_guard lock(c.mutex);
    if (c.sending || !c.queue.empty()) return QueueLocked(c, bytes, length, kind);
    if (c.closed || length <= 0 || length > kLongestMessage) return false;
    memcpy(message.bytes, bytes, size_t(length));
    message.length = length;
    message.kind = kind;
    c.sending = true;
  }
  return SendTaken(c, message);
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
