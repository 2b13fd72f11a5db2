// The stream-reading rule: either side's byte stream, added in pieces of the sizes the
// input picks (the last byte picks the side: odd for what the server sends), and
// taken out message by message after every piece.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <vector>

#include "fuzz/require.h"
#include "protocol/stream.h"

namespace {

// A measure reads only the bytes it is given, and more bytes never change a length
// it has found.
void CheckMeasure(MeasureMessage measure, const BYTE* bytes, int count) {
  const int found = measure(bytes, count);
  Require(found >= -1 && found <= kLongestMessage, "a measure is -1, 0 or a message length");
  for (int prefix = 0; prefix < count && prefix <= 2; prefix++) {
    std::vector<BYTE> exact(bytes, bytes + prefix);  // a block of exactly `prefix` bytes
    const int length = measure(exact.data(), prefix);
    if (length != 0) Require(length == found, "more bytes changed a measure");
  }
}

// Takes every whole message out; each is the head of what was pending, of the
// measured length, and the rest stays in order.
void TakeAll(MessageStream& stream, MeasureMessage measure) {
  BYTE message[kLongestMessage];
  while (true) {
    const std::vector<BYTE> before(stream.pending, stream.pending + stream.count);
    const int count = stream.count;
    CheckMeasure(measure, before.data(), count);
    const int measured = measure(before.data(), count);
    const int length = StreamTake(&stream, measure, message);
    Require(stream.count >= 0 && stream.count <= int(sizeof stream.pending), "the count stays inside the buffer");
    if (length == 0) {
      if (measured < 0) {
        Require(stream.count == 0, "an unreadable byte is dropped with everything pending");
      } else {
        Require(stream.count == count && (measured == 0 || measured > count), "a whole message is left behind");
      }
      // Room for the longest message, which a receive may bring next.
      Require(StreamRoom(&stream) >= kLongestMessage, "no room for the next message");
      return;
    }
    Require(length == measured && length > 0 && length <= kLongestMessage, "a message of its measured length");
    Require(memcmp(message, before.data(), size_t(length)) == 0, "a message is the head of the stream");
    Require(stream.count == count - length &&
                memcmp(stream.pending, before.data() + length, size_t(stream.count)) == 0,
            "the rest of the stream stays in order");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const MeasureMessage measure = input.ConsumeBool() ? MeasureFromServer : MeasureFromClient;
  MessageStream stream = {};
  while (input.remaining_bytes() > 0) {
    // A piece may be larger than the room left, which a receive never delivers.
    const int room = StreamRoom(&stream);
    const std::vector<BYTE> piece = input.ConsumeBytes<BYTE>(input.ConsumeIntegralInRange<int>(1, room + 1));
    if (piece.empty()) break;
    const std::vector<BYTE> before(stream.pending, stream.pending + stream.count);
    StreamAdd(&stream, piece.data(), int(piece.size()));
    if (int(piece.size()) > room) {
      Require(stream.count == int(before.size()), "a piece larger than the room is refused");
    } else {
      Require(stream.count == int(before.size() + piece.size()) &&
                  memcmp(stream.pending + before.size(), piece.data(), piece.size()) == 0,
              "a piece is added behind what was pending");
    }
    TakeAll(stream, measure);
  }
  return 0;
}
