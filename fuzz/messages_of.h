// For the targets that feed a program its peer's bytes: the whole messages that the
// stream rule takes from bytes that have all arrived, received as the programs
// receive them, up to the room left each time.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "protocol/stream.h"

inline std::vector<std::vector<BYTE>> MessagesOf(const uint8_t* data, size_t size, MeasureMessage measure) {
  std::vector<std::vector<BYTE>> messages;
  MessageStream stream = {};
  BYTE message[kLongestMessage];
  for (size_t at = 0;;) {
    const int length = StreamTake(&stream, measure, message);
    if (length > 0) {
      messages.emplace_back(message, message + length);
      continue;
    }
    if (at == size) return messages;
    const size_t piece = std::min(size - at, size_t(StreamRoom(&stream)));
    StreamAdd(&stream, data + at, int(piece));
    at += piece;
  }
}
