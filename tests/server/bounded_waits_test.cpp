// No peer can hold up the others: newcomers that never answer, a player that goes
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

// A newcomer who never answers its Welcome keeps its slot until it is let go, and the
// next newcomer joins meanwhile.
TEST_F(HostTest, NewcomersDoNotWaitForOneAnother) {
  Player silent;
  std::optional<Welcome> welcome = ReadWelcome(silent);
  ASSERT_TRUE(welcome);
  EXPECT_EQ(welcome->slot, 0);
  Player next;
  EXPECT_EQ(Join(next, 2, "Next"), 1);
  EXPECT_FALSE(server_.Shows({"Socket Error..."}, std::chrono::milliseconds(0)))
      << "the next newcomer waited until the silent one was let go";

  EXPECT_TRUE(server_.Shows({"Socket Error..."}, kJoinBound));
  EXPECT_TRUE(silent.Ends());
  Player last;
  EXPECT_EQ(Join(last, 2, "Last"), 0);
}

// One address has two newcomers answering at most and two more waiting their turn;
// further ones are let go at once, and newcomers from elsewhere pass them all by.
TEST_F(HostTest, WhatOneAddressMayHoldWhileJoiningIsLimited) {
  constexpr char kBusy[] = "127.0.0.2";
  std::vector<std::unique_ptr<Player>> busy;
  for (int i = 0; i < 6; i++) busy.push_back(std::make_unique<Player>(0, kBusy));
  std::optional<Welcome> first = ReadWelcome(*busy[0]), second = ReadWelcome(*busy[1]);
  ASSERT_TRUE(first && second);
  EXPECT_EQ(first->slot, 0);
  EXPECT_EQ(second->slot, 1);
  for (int i : {4, 5}) EXPECT_TRUE(busy[size_t(i)]->Ends()) << "newcomer " << i;

  Player elsewhere(0, "127.0.0.3");
  EXPECT_EQ(Join(elsewhere, 1, "Far"), 2);
  for (int i : {2, 3}) EXPECT_TRUE(busy[size_t(i)]->Receive(1, std::chrono::milliseconds(200)).empty()) << i;

  // Each that joins or is let go makes way for one that waits.
  ASSERT_TRUE(busy[0]->Send(Reply(1, "One")));
  std::optional<Welcome> third = ReadWelcome(*busy[2]);
  ASSERT_TRUE(third);
  EXPECT_EQ(third->slot, 3);
  busy[1].reset();
  std::optional<Welcome> fourth = ReadWelcome(*busy[3]);
  ASSERT_TRUE(fourth);
  EXPECT_EQ(fourth->slot, 1);
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
