// quendlehost.exe, the same game code built for Windows, under Wine: Linux players play
// on it, its operator kicks one with the Kick button, and closing its window ends it.
#include <gtest/gtest.h>

#include "tests/server/server_process.h"
#include "tests/wine/wine_desktop.h"

namespace {

constexpr int kPlayers = 3;
constexpr int kExchanges = 200;

TEST(WindowsServer, LinuxPlayersPlayAndItsOperatorKicksAndClosesIt) {
  WineDesktop desktop;
  ASSERT_TRUE(desktop.Ready());
  std::unique_ptr<ChildProcess> server = desktop.Start("quendlehost.exe");
  std::optional<std::string> window = desktop.Window("Vellumstone Brambleduck Server");
  ASSERT_TRUE(window);

  std::vector<std::unique_ptr<Player>> players;
  players.push_back(ConnectOnceListening());
  ASSERT_TRUE(players[0]);
  ASSERT_EQ(Join(*players[0], 1, "P0"), 0);
  for (int i = 1; i < kPlayers; i++) {
    players.push_back(std::make_unique<Player>());
    ASSERT_EQ(Join(*players.back(), BYTE(1 + i), "P" + std::to_string(i)), i);
  }
  for (int i = 0; i < kPlayers; i++) {
    for (int later = i + 1; later < kPlayers; later++) {
      EXPECT_EQ(As<PlayerJoined>(NextNotice(*players[size_t(i)])).slot, later) << "player " << i;
    }
  }

  // Every report is answered, with the state the reports made.
  for (int round = 0; round < kExchanges; round++) {
    for (int i = 0; i < kPlayers; i++) {
      const WORD x = WORD(300 + 10 * i + round % 7);
      const WorldUpdate update = Exchange(*players[size_t(i)], Report(x, 200, 0, 1));
      ASSERT_EQ(update.type, TypeWorldUpdate) << "player " << i << ", round " << round;
      ASSERT_EQ(update.players[i].x, x) << "player " << i << ", round " << round;
    }
  }

  // Chat reaches everybody, in the order it was said.
  const std::vector<std::string> lines = {"one", "two & three", "four"};
  for (const std::string& line : lines) ASSERT_TRUE(players[2]->Send(Chat(line)));
  for (int i = 0; i < kPlayers; i++) {
    for (const std::string& line : lines) {
      const ChatRelay relay = As<ChatRelay>(NextNotice(*players[size_t(i)]));
      EXPECT_EQ(relay.slot, 2) << "player " << i;
      EXPECT_EQ(ChatText(relay), line) << "player " << i;
    }
  }

  // The operator selects P1's row in the list (300, 20, 175 x 100, rows 16 high) and
  // presses "Kick" (300, 130, 55 x 25).
  ASSERT_TRUE(desktop.Click(*window, 380, 45));
  ASSERT_TRUE(desktop.Click(*window, 327, 142));
  for (int i = 0; i < kPlayers; i++) {
    const PlayerKicked kicked = As<PlayerKicked>(NextNotice(*players[size_t(i)]));
    EXPECT_EQ(kicked.kind, KindPlayerKicked) << "player " << i;
    EXPECT_EQ(kicked.slot, 1) << "player " << i;
  }
  EXPECT_TRUE(players[1]->Ends());

  // Closing the window ends the server and every connection.
  ASSERT_TRUE(desktop.Xdotool({"key", "alt+F4"}));
  EXPECT_EQ(server->Wait(kPrompt), 0);
  EXPECT_TRUE(players[0]->Ends());
  EXPECT_TRUE(players[2]->Ends());
}

}  // namespace
