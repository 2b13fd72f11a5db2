// The reference server, a yardstick for quendlehost: one thread, one epoll loop,
// non-blocking sockets, and only as much of the game as answering the protocol takes.
// Its two halves live in files of their own because the protocol's stream reader
// brings the socket layer's Windows names, which clash with the POSIX ones:
// reference_server.cpp owns the sockets, reference_server_game.cpp the game.
// A connection is known to both halves by its descriptor.
#pragma once

#include <cstddef>

#include "platform/wintypes.h"

// Asked of the sockets by the game.

// Sends the bytes now, or as soon as the peer takes them; never waits.
void Send(int connection, const void* bytes, size_t length);
// Ends the connection once the current events are handled; Departed follows.
void Close(int connection);

// Told to the game by the sockets.

// A new connection was accepted.
void Arrived(int connection);
// Bytes arrived, as one receive gave them.
void Received(int connection, const BYTE* bytes, int count);
// The connection is closed (by either side, or after an error) and its descriptor
// may be given to the next newcomer.
void Departed(int connection);
