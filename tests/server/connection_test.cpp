// quendlehost's connections: what a connection's sender thread and its player's own
// thread send reaches the player whole and in order, however the two meet.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "platform/testing.h"
#include "platform/windows.h"
#include "protocol/stream.h"
#include "server/connection.h"

// In quendlehost the slot table hears of a failed send; here it is counted.
std::atomic<int> failedSends{0};

void OnSendFailed(int, Connection&, Sent) { failedSends++; }

namespace {

constexpr DWORD kReadWaitMs = 5000;

// A connection of slot 0 on the game port of the loopback interface, and the player's
// end of it.
class ServerConnection : public testing::Test {
 protected:
  ServerConnection() {
    WSADATA data;
    WSAStartup(MAKEWORD(1, 1), &data);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(kGamePort);
    address.sin_addr.s_addr = inet_addr("127.0.0.1");
    const auto* name = reinterpret_cast<const sockaddr*>(&address);
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    player_ = socket(AF_INET, SOCK_STREAM, 0);
    EXPECT_EQ(bind(listener_, name, sizeof address), 0);
    EXPECT_EQ(listen(listener_, 1), 0);
    EXPECT_EQ(connect(player_, name, sizeof address), 0);
    DWORD wait = kReadWaitMs;
    setsockopt(player_, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&wait), sizeof wait);
    connection_ = OpenConnection(0, accept(listener_, nullptr, nullptr));
  }
  ~ServerConnection() override {
    Close(*connection_);
    closesocket(player_);
    closesocket(listener_);
    WSACleanup();
  }

  // How long a notice queued for the sender thread takes to reach the player here.
  std::chrono::nanoseconds SenderTime() {
    constexpr int kSamples = 20;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kSamples; i++) {
      const BYTE notice[2] = {TypeNotice, 0};
      BYTE got[sizeof notice];
      Queue(*connection_, notice, sizeof notice, Sent::PlayerKicked);
      ReadExactly(player_, got, sizeof got);
    }
    return (std::chrono::steady_clock::now() - start) / kSamples;
  }

  SOCKET listener_, player_;
  std::shared_ptr<Connection> connection_;
};

TEST_F(ServerConnection, AnAnswerSentAsTheSenderFinishesLeavesNoMessageBehind) {
  // Pairs of a notice queued for the sender thread and an answer sent from the player's
  // thread a little later each time, so that answers meet the sender at every point of
  // its work, the end of its send included. The player reads them all meanwhile.
  constexpr int kPairs = 50000, kSteps = 1000;
  const std::chrono::nanoseconds span = SenderTime();
  std::atomic<int> pairsRead = 0;
  std::atomic<bool> readerEnded = false;
  std::thread reader([&] {
    for (BYTE message[2]; pairsRead < kPairs; pairsRead++) {
      for (BYTE type : {TypeNotice, TypeWorldUpdate}) {
        if (ReadExactly(player_, message, sizeof message) != int(sizeof message)) {
          readerEnded = true;
          return;
        }
        EXPECT_EQ(message[0], type);
        EXPECT_EQ(message[1], BYTE(pairsRead)) << "in order";
      }
    }
  });
  for (int pair = 0; pair < kPairs && !readerEnded; pair++) {
    // A few pairs on their way at most, as a player who reads.
    while (pair - pairsRead >= 4 && !readerEnded) std::this_thread::yield();
    const BYTE notice[2] = {TypeNotice, BYTE(pair)}, answer[2] = {TypeWorldUpdate, BYTE(pair)};
    const auto answerAt = std::chrono::steady_clock::now() + span * (pair % kSteps) / kSteps;
    Queue(*connection_, notice, sizeof notice, Sent::PlayerKicked);
    while (std::chrono::steady_clock::now() < answerAt) {
    }
    SendOrQueue(*connection_, answer, sizeof answer, Sent::WorldUpdate);
  }
  reader.join();
  EXPECT_EQ(pairsRead, kPairs) << "every pair arrives";
  EXPECT_EQ(failedSends, 0);
}

// A burst far longer than the queue, queued faster than any sender sends it, as one
// player's flood of chat is relayed: a player who reads gets all of it, in order, and is
// never given up on. One who stops reading is given up on, once, and the queuing ends;
// the connection is closed once.
TEST_F(ServerConnection, ABurstLongerThanTheQueueReachesAPlayerWhoReads) {
  constexpr int kMessages = 20000;
  std::atomic<int> read = 0;
  std::thread reader([&] {
    for (BYTE message[kLongestMessage]; read < kMessages; read++) {
      if (ReadExactly(player_, message, sizeof message) != int(sizeof message)) return;
      EXPECT_EQ(message[1] | message[2] << 8, read % 65536) << "in order";
    }
  });
  BYTE relay[kLongestMessage] = {TypeNotice};
  int queued = 0;
  for (; queued < kMessages; queued++) {
    relay[1] = BYTE(queued), relay[2] = BYTE(queued >> 8);
    if (!Queue(*connection_, relay, sizeof relay, Sent::ChatRelay)) break;
  }
  reader.join();
  EXPECT_EQ(queued, kMessages);
  EXPECT_EQ(read, kMessages);
  EXPECT_EQ(failedSends, 0);

  // Now nobody reads: the socket's buffers fill, then the queue, and the send that waits
  // is given up on.
  while (Queue(*connection_, relay, sizeof relay, Sent::ChatRelay)) {
  }
  for (auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30); failedSends == 0;) {
    ASSERT_LT(std::chrono::steady_clock::now(), end) << "the stuck send never failed";
    std::this_thread::yield();
  }
  Close(*connection_);
  EXPECT_EQ(failedSends, 1);
  EXPECT_EQ(StaleSocketCloses(), 0);
}

// The window's thread and the admission of newcomers post without waiting: a player who
// stops reading is given up on, once, as soon as a notice finds no room for it.
TEST_F(ServerConnection, APlayerWhoCannotTakeAPostedNoticeIsGivenUpOnAtOnce) {
  const BYTE notice[3] = {TypeNotice, KindPlayerKicked, 0};
  while (Post(*connection_, notice, sizeof notice, Sent::PlayerKicked)) {
  }
  EXPECT_EQ(failedSends, 1);
  EXPECT_FALSE(Post(*connection_, notice, sizeof notice, Sent::PlayerKicked));
  Close(*connection_);
  EXPECT_EQ(failedSends, 1);
  EXPECT_EQ(StaleSocketCloses(), 0);
}

// A server that stops closes every connection, however many reports it has not read
// yet: the player reads the end of the stream, not a failure.
TEST_F(ServerConnection, APlayerWhoseReportIsUnreadReadsTheEndWhenItIsClosed) {
  const BYTE report[3] = {TypePositionReport, 0, 0};
  ASSERT_EQ(send(player_, reinterpret_cast<const char*>(report), sizeof report, 0), int(sizeof report));
  Close(*connection_);
  char got;
  EXPECT_EQ(recv(player_, &got, 1, 0), 0);
}

}  // namespace
