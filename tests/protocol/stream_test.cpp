#include <gtest/gtest.h>

#include <vector>

#include "protocol/stream.h"

namespace {

using Bytes = std::vector<BYTE>;

Bytes Message(int length, BYTE type, BYTE second = 0) {
  Bytes m(size_t(length), 0xAA);
  m[0] = type;
  if (length > 1) m[1] = second;
  return m;
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// Feeds `bytes` in receives of `piece` bytes and returns the lengths and first two
// bytes of the messages taken out, in order.
std::vector<Bytes> Read(const Bytes& bytes, size_t piece, MeasureMessage measure) {
  MessageStream stream = {};
  std::vector<Bytes> messages;
  BYTE message[kLongestMessage];
  for (size_t at = 0; at < bytes.size(); at += piece) {
    size_t n = std::min(piece, bytes.size() - at);
    StreamAdd(&stream, bytes.data() + at, int(n));
    while (int length = StreamTake(&stream, measure, message)) messages.push_back(Bytes(message, message + length));
  }
  return messages;
}

const Bytes kUpdate = Message(107, TypeWorldUpdate, 4);
const Bytes kJoined = Message(14, TypeNotice, KindPlayerJoined);
const Bytes kKicked = Message(3, TypeNotice, KindPlayerKicked);
const Bytes kChat = Message(200, TypeNotice, KindChatRelay);

TEST(Stream, WholeMessagesWhateverTheirPieces) {
  const Bytes all = Join({kUpdate, kJoined, kKicked, kChat, kJoined, kUpdate});
  const std::vector<Bytes> expected = {kUpdate, kJoined, kKicked, kChat, kJoined, kUpdate};
  // A receive delivers at most the room the stream has: 400 bytes.
  for (size_t piece : {size_t(1), size_t(2), size_t(13), size_t(107), size_t(400)}) {
    EXPECT_EQ(Read(all, piece, MeasureFromServer), expected) << "pieces of " << piece;
  }
}

TEST(Stream, ServerSideMessages) {
  const Bytes report = Message(7, TypePositionReport), psi = Message(2, TypePsiRequest, 8),
              chat = Message(200, TypeChatRequest);
  EXPECT_EQ(Read(Join({psi, report, chat}), 400, MeasureFromClient), (std::vector<Bytes>{psi, report, chat}));
  EXPECT_EQ(Read(Join({psi, report}), 1, MeasureFromClient), (std::vector<Bytes>{psi, report}));
}

TEST(Stream, AByteThatNamesNoMessageDropsWhatCameWithIt) {
  // Garbage in its own receive is dropped alone; the message after it is read.
  EXPECT_EQ(Read(Join({kKicked, {9, 1, 2}, kJoined}), 3, MeasureFromServer), (std::vector<Bytes>{kKicked, kJoined}));
  // An unknown kind drops the rest of its receive, the message after it included.
  EXPECT_EQ(Read(Join({kKicked, Message(5, TypeNotice, 7), kJoined}), 200, MeasureFromServer),
            (std::vector<Bytes>{kKicked}));
  // ...and reading goes on with the next receive.
  MessageStream stream = {};
  BYTE message[kLongestMessage];
  Bytes junk = {0xFF, TypeWorldUpdate};
  StreamAdd(&stream, junk.data(), 2);
  EXPECT_EQ(StreamTake(&stream, MeasureFromServer, message), 0);
  StreamAdd(&stream, kKicked.data(), 3);
  EXPECT_EQ(StreamTake(&stream, MeasureFromServer, message), 3);
  // The server reads a report after an unknown byte from another receive.
  EXPECT_EQ(Read(Join({{0, 0, 0}, Message(7, TypePositionReport)}), 3, MeasureFromClient).size(), 1u);
}

TEST(Stream, NeverTakesMoreThanThereIsRoomFor) {
  MessageStream stream = {};
  Bytes big(1000, TypeWorldUpdate);
  StreamAdd(&stream, big.data(), int(big.size()));
  EXPECT_EQ(stream.count, 0) << "more than the room is refused whole";
  StreamAdd(&stream, big.data(), StreamRoom(&stream));
  BYTE message[kLongestMessage];
  int taken = 0;
  while (StreamTake(&stream, MeasureFromServer, message)) taken++;
  EXPECT_EQ(taken, 3);
  EXPECT_EQ(stream.count, 400 - 3 * 107);
}

}  // namespace
