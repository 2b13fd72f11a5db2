// One player's connection: its socket, and a sender thread that writes the messages
// queued for it in order, each with one send call. Queuing never waits, so no thread
// is held up by a player who does not read: a send that cannot finish within a few
// seconds fails, and so does a queue that grows past its bound.
#pragma once

#include <memory>

#include "platform/windows.h"

enum class Sent { WorldUpdate, PlayerJoined, ChatRelay, PlayerKicked };

struct Connection;

// Takes over an accepted socket of `slot` and starts its sender.
std::shared_ptr<Connection> OpenConnection(int slot, SOCKET socket);
SOCKET SocketOf(const Connection& connection);

// Queues a message (at most 200 bytes); false when the connection is closed.
bool Queue(Connection& connection, const void* bytes, int length, Sent kind);

// Closes the connection once, whoever asks first; the queued messages are dropped.
void Close(Connection& connection);

// Closes the connection once the messages queued so far have been sent.
void CloseWhenSent(Connection& connection);

// Called on the sender thread when a send to a connection that nobody closed fails.
void OnSendFailed(int slot, Connection& connection, Sent kind);
