#include "server/connection.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>

#include "protocol/messages.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr DWORD kSendTimeoutMs = 5000;
constexpr size_t kMostQueued = 256;
// A send to a player who reads ends at once; one on its way this long waits for a
// player who has stopped reading.
constexpr auto kStuckSend = std::chrono::seconds(1);

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
  Clock::time_point sendBegan;  // of the message on its way
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
      c.sendBegan = Clock::now();
    }
    if (!SendTaken(c, message)) return;
  }
}

void SenderThread(void* argument) {
  auto* connection = static_cast<std::shared_ptr<Connection>*>(argument);
  SendQueued(**connection);
  delete connection;
}

// Waits while the queue is full and the sender makes way, as it does for a player who
// reads: a burst of chat from one player slows that player down and drops nobody else.
// False when the connection closed, or when the player has stopped reading (a send
// stuck on it, or no room for as long as a send may take): then the send that waits
// for it is ended, and fails as a send does. Call with the mutex held.
bool AwaitRoom(std::unique_lock<std::mutex>& lock, Connection& c) {
  const Clock::time_point giveUp = Clock::now() + std::chrono::milliseconds(kSendTimeoutMs);
  while (!c.closed && c.queue.size() >= kMostQueued) {
    const Clock::time_point until = c.sending ? std::min(c.sendBegan + kStuckSend, giveUp) : giveUp;
    if (Clock::now() >= until) {
      closesocket(c.socket);  // handles are never reused, so closing twice is safe
      return false;
    }
    c.ready.wait_until(lock, until);
  }
  return !c.closed;
}

// Queues a message, and starts a sender unless one runs; call with the mutex held.
bool QueueLocked(std::unique_lock<std::mutex>& lock, Connection& c, const void* bytes, int length, Sent kind) {
  if (length <= 0 || length > kLongestMessage || !AwaitRoom(lock, c)) return false;
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
  std::unique_lock lock(c.mutex);
  return QueueLocked(lock, c, bytes, length, kind);
}

bool SendOrQueue(Connection& c, const void* bytes, int length, Sent kind) {
  Message message;
  {
    std::unique_lock lock(c.mutex);
    if (c.sending || !c.queue.empty()) return QueueLocked(lock, c, bytes, length, kind);
    if (c.closed || length <= 0 || length > kLongestMessage) return false;
    memcpy(message.bytes, bytes, size_t(length));
    message.length = length;
    message.kind = kind;
    c.sending = true;
    c.sendBegan = Clock::now();
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
