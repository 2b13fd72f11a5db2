// One player's connection: its socket, and the messages for it, each written with one
// send call and never two at once. A sender thread, started when something is queued
// and ended when the queue is empty, writes the messages in order. Queuing waits only
// while a full queue is being sent, so no thread is held up by a player who does not
// read: a send that cannot finish within a few seconds fails, and so does a full queue
// whose send is stuck.
#pragma once

#include <memory>

#include "platform/windows.h"

enum class Sent { WorldUpdate, PlayerJoined, ChatRelay, PlayerKicked };

struct Connection;

// Takes over an accepted socket of `slot`.
std::shared_ptr<Connection> OpenConnection(int slot, SOCKET socket);
SOCKET SocketOf(const Connection& connection);

// Queues a message (at most 200 bytes); false when the connection is closed or its
// player has stopped reading.
bool Queue(Connection& connection, const void* bytes, int length, Sent kind);

// For the connection's own client thread: sends the message at once when nothing is
// queued or on its way, which spares the hand-over to the sender; queues it otherwise.
// The bytes on the wire are the same either way. False when it could not go.
bool SendOrQueue(Connection& connection, const void* bytes, int length, Sent kind);

// Closes the connection once, whoever asks first; the queued messages are dropped.
void Close(Connection& connection);

// Closes the connection once the messages queued so far have been sent.
void CloseWhenSent(Connection& connection);

// Called on the thread that sent when a send to a connection that nobody closed fails.
void OnSendFailed(int slot, Connection& connection, Sent kind);
