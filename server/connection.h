// One player's connection: its socket, and the messages for it, each written with one
// send call and never two at once. A sender thread, started when something is queued
// and ended when the queue is empty, writes the messages in order. No thread is held
// up for long by a player who does not read: a send that cannot finish within a few
// seconds fails, and so does a full queue whose send is stuck. The socket is closed
// once, by whoever ends the connection first.
#pragma once

#include <memory>

#include "platform/windows.h"

enum class Sent { WorldUpdate, PlayerJoined, ChatRelay, PlayerKicked };

struct Connection;

// Takes over an accepted socket of `slot`.
std::shared_ptr<Connection> OpenConnection(int slot, SOCKET socket);
SOCKET SocketOf(const Connection& connection);

// Bounds every later recv on the socket to `ms` milliseconds.
void SetReceiveTimeout(SOCKET socket, DWORD ms);

// Queues a message (at most 200 bytes), waiting while a full queue is being sent, as
// for a player who reads: a burst of chat from one player slows that player's own
// thread down and drops nobody who reads. False when the connection is closed, or when
// the player has stopped reading and is given up on (OnSendFailed with `kind`).
bool Queue(Connection& connection, const void* bytes, int length, Sent kind);

// Queues a message without ever waiting, for the threads that must not wait on any
// player (the window's and the admission of newcomers). A few such notices fit beyond
// a full queue; a player who cannot take one even so is given up on (OnSendFailed with
// `kind`). False when the message will not go.
bool Post(Connection& connection, const void* bytes, int length, Sent kind);

// For the connection's own client thread: sends the message at once when nothing is
// queued or on its way, which spares the hand-over to the sender; queues it otherwise.
// The bytes on the wire are the same either way. False when it could not go.
bool SendOrQueue(Connection& connection, const void* bytes, int length, Sent kind);

// Closes the connection once, whoever asks first; the queued messages are dropped.
void Close(Connection& connection);

// Closes the connection once the messages queued so far have been sent.
void CloseWhenSent(Connection& connection);

// Called when a connection that nobody had closed fails: on the thread whose send
// failed, or on the thread that gave up on the player. The connection is closed by then.
void OnSendFailed(int slot, Connection& connection, Sent kind);
