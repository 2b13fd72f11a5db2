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
// Room beyond a full queue for the notices posted without waiting, so that a player who
// reads through a flood of chat still hears of a kick or an arrival.
constexpr size_t kNoticeRoom = 32;
// A send to a player who reads ends at once; one on its way this long waits for a
// player who has stopped reading.
constexpr auto kStuckSend = std::chrono::seconds(1);

struct Message {
  BYTE bytes[kLongestMessage];
  int length;
  Sent kind;
};

// What became of a message handed to a connection.
enum class Handed { kQueued, kClosed, kGivenUp };

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

  // Closes the socket unless it is closed already; true when this call closed it. Call
  // with the mutex held.
  bool CloseLocked() {
    if (closed) return false;
    closed = true;
    queue.clear();
    // The end of the stream goes first: a close alone, with a report of the player's
    // still unread, would reset the connection, and the player would read a failure.
    shutdown(socket, SD_SEND);
    closesocket(socket);
    ready.notify_all();
    return true;
  }
};

namespace {

Message MessageOf(const void* bytes, int length, Sent kind) {
  Message message;
  memcpy(message.bytes, bytes, size_t(length));
  message.length = length;
  message.kind = kind;
  return message;
}

bool Fits(int length) { return length > 0 && length <= kLongestMessage; }

// Sends one message that this thread has taken (c.sending is set), and what follows
// from it. False when the connection is over for this thread.
bool SendTaken(Connection& c, const Message& message) {
  const bool sent = send(c.socket, reinterpret_cast<const char*>(message.bytes), message.length, 0) != SOCKET_ERROR;
  bool failedHere = false, goOn;
  {
    std::lock_guard lock(c.mutex);
    c.sending = false;
    // A send that failed because another thread closed the connection is that thread's
    // to answer for.
    if (!sent) failedHere = c.CloseLocked();
    if (sent && c.queue.empty() && c.closeWhenSent) c.CloseLocked();
    // A sender may wait for the end of this send even with nothing queued yet: it may
    // have found it begun right after its own, and what is queued next relies on it.
    c.ready.notify_all();
    goOn = !c.closed;
  }
  if (failedHere) OnSendFailed(c.slot, c, message.kind);
  return goOn;
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

bool StartSender(Connection& c) {
  auto* forSender = new std::shared_ptr<Connection>(c.shared_from_this());
  if (_beginthread(SenderThread, 0, forSender) == uintptr_t(-1)) {
    delete forSender;
    return false;
  }
  c.senderRunning = true;
  return true;
}

// Whether the queue has room for one more message. With `wait`, waits while the queue
// is full and the sender makes way, as it does for a player who reads; there is no room
// for a player who has stopped reading (a send stuck on it, or no room for as long as a
// send may take). Call with the mutex held.
bool MakeRoom(std::unique_lock<std::mutex>& lock, Connection& c, bool wait) {
  if (!wait) return c.queue.size() < kMostQueued + kNoticeRoom;
  const Clock::time_point giveUp = Clock::now() + std::chrono::milliseconds(kSendTimeoutMs);
  while (!c.closed && c.queue.size() >= kMostQueued) {
    const Clock::time_point until = c.sending ? std::min(c.sendBegan + kStuckSend, giveUp) : giveUp;
    if (Clock::now() >= until) return false;
    c.ready.wait_until(lock, until);
  }
  return true;
}

// Queues a message, and starts a sender unless one runs. A player who cannot take it,
// or whom no sender can be started for, is given up on: the connection closes here.
// Call with the mutex held.
Handed QueueLocked(std::unique_lock<std::mutex>& lock, Connection& c, const Message& message, bool wait) {
  const bool room = MakeRoom(lock, c, wait);
  if (c.closed) return Handed::kClosed;
  if (room) {
    c.queue.push_back(message);
    if (c.senderRunning || StartSender(c)) return Handed::kQueued;
  }
  c.CloseLocked();
  return Handed::kGivenUp;
}

// The end of a hand-over, outside the mutex: a player given up on has its failure
// action run by the thread that gave up on it.
bool Finish(Connection& c, Handed handed, Sent kind) {
  if (handed == Handed::kGivenUp) OnSendFailed(c.slot, c, kind);
  return handed == Handed::kQueued;
}

bool Hand(Connection& c, const void* bytes, int length, Sent kind, bool wait) {
  if (!Fits(length)) return false;
  const Message message = MessageOf(bytes, length, kind);
  Handed handed;
  {
    std::unique_lock lock(c.mutex);
    handed = QueueLocked(lock, c, message, wait);
  }
  return Finish(c, handed, kind);
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

void SetReceiveTimeout(SOCKET socket, DWORD ms) {
  setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&ms), sizeof ms);
}

bool Queue(Connection& c, const void* bytes, int length, Sent kind) { return Hand(c, bytes, length, kind, true); }

bool Post(Connection& c, const void* bytes, int length, Sent kind) { return Hand(c, bytes, length, kind, false); }

bool SendOrQueue(Connection& c, const void* bytes, int length, Sent kind) {
  if (!Fits(length)) return false;
  const Message message = MessageOf(bytes, length, kind);
  {
    std::unique_lock lock(c.mutex);
    if (c.sending || !c.queue.empty()) {
      const Handed handed = QueueLocked(lock, c, message, true);
      lock.unlock();
      return Finish(c, handed, kind);
    }
    if (c.closed) return false;
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
