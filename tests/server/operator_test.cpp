// The operator: the player list, the kick, and closing the server.
#include <gtest/gtest.h>

#include "tests/server/server_process.h"

namespace {

TEST_F(HostTest, AKickReachesEveryPlayerAndEndsOnlyThatConnection) {
  std::vector<std::unique_ptr<Player>> players = JoinPlayers(3);
  ASSERT_EQ(server_.ListOnceItShows(Rows({"P0", "P1", "P2"})), Rows({"P0", "P1", "P2"}));

  server_.Kick(5);  // an empty row: nothing happens
  server_.Kick(1);
  const PlayerKicked kicked = {TypeNotice, KindPlayerKicked, 1};
  for (size_t i = 0; i < players.size(); i++) EXPECT_EQ(NextNotice(*players[i]), Image(kicked)) << "player " << i;
  EXPECT_TRUE(players[1]->Ends()) << "the server closes the kicked player's connection";
  // The kick's close makes that player's blocked read fail, as on Windows.
  EXPECT_EQ(server_.Shows({"Error reading from a player.", "Player left!"}), std::string("Error reading from a player."));
  EXPECT_EQ(server_.ListOnceItShows(Rows({"P0", "-Empty-", "P2"})), Rows({"P0", "-Empty-", "P2"}));

  // The others play on.
  for (int i : {0, 2}) EXPECT_EQ(Exchange(*players[size_t(i)], Report(10, 10, 0, 1)).type, TypeWorldUpdate);
  ASSERT_TRUE(players[2]->Send(Chat("bye")));
  EXPECT_EQ(As<ChatRelay>(NextNotice(*players[0])).slot, 2);
}

TEST_F(HostTest, SigtermEndsTheServerAndEveryConnection) {
  std::vector<std::unique_ptr<Player>> players = JoinPlayers(2);
  EXPECT_EQ(StopServer(), 0);
  for (auto& player : players) EXPECT_TRUE(player->Ends());
  // The accept that the shutdown cut short is no failure to report.
  EXPECT_FALSE(server_.Shows({"Big fat error at accept()!  Closing!"}));
}

}  // namespace
