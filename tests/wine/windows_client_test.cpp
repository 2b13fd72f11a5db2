// quendle.exe, the same game code built for Windows, under Wine: a person joins the
// Linux quendlehost with it, walks and leaves, and a Linux player in the game sees it all.
#include <gtest/gtest.h>

#include <functional>

#include "tests/server/server_process.h"
#include "tests/wine/wine_desktop.h"

namespace {

constexpr std::chrono::seconds kWalkDeadline{20};

// Reports from where the watcher stands until slot 1's entry is as `wanted` says, or
// the deadline passes; the last entry seen.
PlayerEntry WatchSlot1(Player& watcher, const std::function<bool(const PlayerEntry&)>& wanted) {
  const auto deadline = std::chrono::steady_clock::now() + kWalkDeadline;
  PlayerEntry seen = {};
  while (std::chrono::steady_clock::now() < deadline) {
    seen = Exchange(watcher, Report(350, 200, 0, 1)).players[1];
    if (wanted(seen)) break;
  }
  return seen;
}

TEST(WindowsClient, JoinsTheLinuxServerWalksAndLeavesAsAPersonWould) {
  ServerProcess server;
  ASSERT_TRUE(server.Listening());
  Player watcher;
  ASSERT_EQ(Join(watcher, 1, "Watch"), 0);

  WineDesktop desktop;
  ASSERT_TRUE(desktop.Ready());
  std::unique_ptr<ChildProcess> client = desktop.Start("quendle.exe");
  std::optional<std::string> window = desktop.Window("Vellumstone Brambleduck");
  ASSERT_TRUE(window);

  // The name box (0, 400, 600 x 18) holds "Anonymous": the name is typed over it.
  ASSERT_TRUE(desktop.Click(*window, 590, 409));
  ASSERT_TRUE(desktop.Xdotool({"key", "End"}));
  ASSERT_TRUE(desktop.Xdotool({"key", "--repeat", "9", "BackSpace"}));
  ASSERT_TRUE(desktop.Xdotool({"type", "Wyn"}));
  ASSERT_TRUE(desktop.Click(*window, 170, 369));  // "Gast", the third character
  ASSERT_TRUE(desktop.Click(*window, 592, 390));  // "Go!"

  const PlayerJoined joined = As<PlayerJoined>(NextNotice(watcher));
  EXPECT_EQ(joined.slot, 1);
  EXPECT_STREQ(joined.name, "Wyn");
  EXPECT_EQ(joined.character, 3);
  EXPECT_EQ(server.ListOnceItShows(Rows({"Watch", "Wyn"})), Rows({"Watch", "Wyn"}));

  // Slot 1 starts at (1100, 230).
  ASSERT_TRUE(desktop.Xdotool({"keydown", "Left"}));
  const PlayerEntry walked = WatchSlot1(watcher, [](const PlayerEntry& p) { return p.state >= 2 && p.x <= 1060; });
  ASSERT_TRUE(desktop.Xdotool({"keyup", "Left"}));
  EXPECT_LE(walked.x, 1060);
  EXPECT_EQ(walked.y, 230);
  EXPECT_EQ(MapOf(walked.location), 0);

  ASSERT_TRUE(desktop.Xdotool({"key", "Escape"}));
  EXPECT_EQ(client->Wait(kPrompt), 0);
  EXPECT_TRUE(server.Shows({"Player left!"}));
  EXPECT_EQ(WatchSlot1(watcher, [](const PlayerEntry& p) { return p.state == 0; }).state, 0);
  EXPECT_EQ(server.Stop(), 0);
}

}  // namespace
