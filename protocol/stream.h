// Reading whole messages from a byte stream that arrives in pieces, or several at a
// time. A message's length follows from its first byte (and, for a notice, its
// second). A first or kind byte that names no message cannot be measured: it is
// dropped together with the rest of the bytes that arrived with it.
#pragma once

#include "platform/windows.h"
#include "protocol/messages.h"

// The length of the message that starts at `bytes`, of which `count` have arrived:
// 0 when more bytes are needed to tell, -1 when it names no message.
typedef int (*MeasureMessage)(const BYTE* bytes, int count);

// What the client reads after the handshake, and what the server reads after it.
int MeasureFromServer(const BYTE* bytes, int count);
int MeasureFromClient(const BYTE* bytes, int count);

// The bytes of one connection that are not yet part of a message taken out.
struct MessageStream {
  BYTE pending[2 * kLongestMessage];
  int count;
};

// Adds bytes as one receive delivered them; room for them is StreamRoom().
void StreamAdd(MessageStream* stream, const BYTE* bytes, int count);
int StreamRoom(const MessageStream* stream);

// Takes the next whole message into `message` (room for kLongestMessage bytes) and
// returns its length, or 0 when more bytes are needed.
int StreamTake(MessageStream* stream, MeasureMessage measure, BYTE* message);

// StreamTake, receiving from `socket` until a whole message is there. Returns its
// length, 0 when the peer closed, SOCKET_ERROR when a receive failed.
int ReadMessage(SOCKET socket, MessageStream* stream, MeasureMessage measure, BYTE* message);

// Receives exactly `length` bytes (a handshake message). Returns length, 0 when the
// peer closed first, SOCKET_ERROR when a receive failed.
int ReadExactly(SOCKET socket, BYTE* message, int length);
