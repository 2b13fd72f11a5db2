// No peer can hold up the others: a newcomer that never answers, a player that goes
// silent, a player that never reads, and a refused connection that never closes.
#include <gtest/gtest.h>

#include "tests/server/server_process.h"

namespace {

// How long the server waits for a newcomer's JoinReply, and for a refused one to close,
// with room to spare.
constexpr std::chrono::milliseconds kJoinBound{5000 + 10000};
constexpr std::chrono::milliseconds kRefusalBound{3000 + 10000};
// How long a player may say nothing before the server lets it go, with room to spare.
constexpr std::chrono::milliseconds kSilenceBound{15000 + 10000};

TEST_F(HostTest, ASilentNewcomerDoesNotStopTheNext) {
  Player silent;
  std::optional<Welcome> welcome = ReadWelcome(silent);
  ASSERT_TRUE(welcome);
  EXPECT_EQ(welcome->slot, 0);
  Player next;
  EXPECT_TRUE(server_.Shows({"Socket Error..."}, kJoinBound));
  EXPECT_TRUE(silent.Ends());
  EXPECT_EQ(Join(next, 2, "Next"), 0);
}

// A player that stops in the middle of a report holds its slot only until the server
// has heard nothing for a while; the other player is answered meanwhile.
TEST_F(HostTest, APlayerThatGoesSilentMidMessageIsLetGo) {
  std::vector<std::unique_ptr<Player>> players = JoinPlayers(2);
  const PositionReport report = Report(10, 10, 0, 1);
  ASSERT_TRUE(players[1]->Send(&report, 3));
  const auto deadline = std::chrono::steady_clock::now() + kSilenceBound;
  while (!server_.Shows({"Error reading from a player."}, std::chrono::milliseconds(0))) {
    ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the silent player was never let go";
    ASSERT_EQ(Exchange(*players[0], Report(20, 20, 0, 1)).type, TypeWorldUpdate);
  }
  while (!NextMessage(*players[1]).empty()) {
  }
  EXPECT_TRUE(players[1]->Ended());
  EXPECT_EQ(server_.ListOnceItShows(Rows({"P0"})), Rows({"P0"}));
}

TEST_F(HostTest, APlayerWhoNeverReadsIsDroppedAndTheOthersPlayOn) {
  std::vector<std::unique_ptr<Player>> players = JoinPlayers(2);
  Player stuck(4096);
  ASSERT_EQ(Join(stuck, 1, "Stuck"), 2);
  for (auto& player : players) ASSERT_EQ(As<PlayerJoined>(NextNotice(*player)).slot, 2);

  // Player 0 chats on and on; both keep reading, and both stay served.
  const std::vector<std::string> dropped = {"Player disconnected!", "Error on send().", "Error reading from a player.",
                                            "Player left!"};
  constexpr int kBurst = 32;
  Bytes burst;
  for (int i = 0; i < kBurst; i++) {
    Bytes chat = Image(Chat("line " + std::to_string(i)));
    burst.insert(burst.end(), chat.begin(), chat.end());
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  bool gone = false;
  while (!gone && std::chrono::steady_clock::now() < deadline) {
    ASSERT_TRUE(players[0]->Send(burst.data(), burst.size()));
    for (auto& player : players) {
      for (int i = 0; i < kBurst; i++) ASSERT_EQ(As<ChatRelay>(NextNotice(*player)).slot, 0);
      ASSERT_EQ(Exchange(*player, Report(10, 10, 0, 1)).type, TypeWorldUpdate);
    }
    gone = server_.Shows(dropped, std::chrono::milliseconds(0)).has_value();
  }
  ASSERT_TRUE(gone);
  while (!NextMessage(stuck).empty()) {
  }
  EXPECT_TRUE(stuck.Ended());
  EXPECT_EQ(server_.ListOnceItShows(Rows({"P0", "P1"})), Rows({"P0", "P1"}));

  // The other two are still served, and slot 2 is free.
  for (auto& player : players) {
    ASSERT_TRUE(player->Send(Chat("still here")));
  }
  for (auto& player : players) {
    EXPECT_EQ(ChatText(As<ChatRelay>(NextNotice(*player))), "still here");
    EXPECT_EQ(ChatText(As<ChatRelay>(NextNotice(*player))), "still here");
  }
  Player newcomer;
  EXPECT_EQ(Join(newcomer, 1, "New"), 2);
}

TEST_F(HostTest, ARefusedConnectionThatNeverClosesDoesNotStopANewcomer) {
  std::vector<std::unique_ptr<Player>> players = JoinPlayers(kSlotCount);
  Player refused;
  ASSERT_EQ(refused.Receive(1), Bytes{kServerFull});

  // Slot 4 frees up while the server waits for the refused one.
  players[4].reset();
  std::vector<std::string> rows = Rows({});
  for (int i = 0; i < kSlotCount; i++) rows[size_t(i)] = i == 4 ? "-Empty-" : "P" + std::to_string(i);
  ASSERT_EQ(server_.ListOnceItShows(rows), rows);

  Player newcomer;
  EXPECT_EQ(Join(newcomer, 2, "Late"), 4);
  EXPECT_TRUE(refused.Ends(kRefusalBound));
}

}  // namespace
