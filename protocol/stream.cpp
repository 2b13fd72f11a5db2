#include "protocol/stream.h"

#include <cstring>

int MeasureFromServer(const BYTE* bytes, int count) {
  if (count < 1) return 0;
  if (bytes[0] == TypeWorldUpdate) return sizeof(WorldUpdate);
  if (bytes[0] != TypeNotice) return -1;
  if (count < 2) return 0;
  switch (bytes[1]) {
    case KindPlayerKicked: return sizeof(PlayerKicked);
    case KindPlayerJoined: return sizeof(PlayerJoined);
    case KindChatRelay: return sizeof(ChatRelay);
    default: return -1;
  }
}

int MeasureFromClient(const BYTE* bytes, int count) {
  if (count < 1) return 0;
  switch (bytes[0]) {
    case TypePositionReport: return sizeof(PositionReport);
    case TypePsiRequest: return sizeof(PsiRequest);
    case TypeChatRequest: return sizeof(ChatRequest);
    default: return -1;
  }
}

int StreamRoom(const MessageStream* stream) { return int(sizeof stream->pending) - stream->count; }

void StreamAdd(MessageStream* stream, const BYTE* bytes, int count) {
  if (count <= 0 || count > StreamRoom(stream)) return;
  memcpy(stream->pending + stream->count, bytes, size_t(count));
  stream->count += count;
}

int StreamTake(MessageStream* stream, MeasureMessage measure, BYTE* message) {
  int length = measure(stream->pending, stream->count);
  if (length < 0) {
    // Whatever came with an unreadable byte cannot be placed either.
    stream->count = 0;
    return 0;
  }
  if (length == 0 || stream->count < length) return 0;
  memcpy(message, stream->pending, size_t(length));
  stream->count -= length;
  memmove(stream->pending, stream->pending + length, size_t(stream->count));
  return length;
}

int ReadMessage(SOCKET socket, MessageStream* stream, MeasureMessage measure, BYTE* message) {
  while (true) {
    int length = StreamTake(stream, measure, message);
    if (length > 0) return length;
    BYTE received[sizeof stream->pending];
    int got = recv(socket, reinterpret_cast<char*>(received), StreamRoom(stream), 0);
    if (got <= 0) return got;
    StreamAdd(stream, received, got);
  }
}

int ReadExactly(SOCKET socket, BYTE* message, int length) {
  for (int have = 0; have < length;) {
    int got = recv(socket, reinterpret_cast<char*>(message) + have, length - have, 0);
    if (got <= 0) return got;
    have += got;
  }
  return length;
}
