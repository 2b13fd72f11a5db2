// Bots play on the real quendlehost while a player of the test's own watches them
// through its world updates: they walk the town, never into a wall, and every bot's
// reports are answered.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>

#include "tests/server/server_process.h"
#include "tests/support/child_process.h"
#include "tools/bots/town.h"

namespace {

using Clock = std::chrono::steady_clock;

// The number after `name` in a figure line, looking only past the word `from`.
double Figure(const std::string& line, const std::string& name, const std::string& from = "summary") {
  std::istringstream words(line.substr(line.find(from)));
  for (std::string word; words >> word;) {
    if (word == name && words >> word) return atof(word.c_str());
  }
  return -1;
}

TEST_F(HostTest, BotsWalkTheTownAndEveryOneIsAnswered) {
  std::optional<Town> town = LoadTown(GAME_DIR);
  ASSERT_TRUE(town);
  ChildProcess bots(QUENDLEBOTS, GAME_DIR, {}, ChildProcess::Errors::kIntoOutput,
                    {"--bots", "3", "--seconds", "4", "--every", "100"});
  // Once the bots are in, they hold slots 0..2 and the watcher takes slot 3.
  ASSERT_TRUE(server_.Shows({"Bot3"}));
  Player watcher;
  ASSERT_EQ(Join(watcher, 1, "Watcher"), 3);

  // A bot's slot shows in use from its first report on.
  auto allIn = [](const WorldUpdate& update) {
    return update.players[0].state && update.players[1].state && update.players[2].state;
  };
  for (Clock::time_point end = Clock::now() + kPrompt; !allIn(Exchange(watcher, Report(300, 300, 0, 1)));) {
    ASSERT_LT(Clock::now(), end) << "the bots never reported";
  }
  std::set<std::pair<int, int>> seen;
  for (Clock::time_point end = Clock::now() + std::chrono::seconds(2); Clock::now() < end;) {
    WorldUpdate update = Exchange(watcher, Report(300, 300, 0, 1));
    ASSERT_EQ(update.type, TypeWorldUpdate);
    for (int slot = 0; slot < 3; slot++) {
      const PlayerEntry& bot = update.players[slot];
      ASSERT_NE(bot.state, 0) << "bot " << slot;
      ASSERT_EQ(MapOf(bot.location), 0) << "bots stay in the town";
      ASSERT_TRUE(OnFreeGround(town->Map(), {bot.x, bot.y})) << "bot " << slot << " at " << bot.x << ", " << bot.y;
      seen.insert({bot.x, bot.y});
    }
  }
  EXPECT_GT(seen.size(), 30u) << "the bots walk";

  std::optional<std::string> summary;
  for (auto line = bots.ReadLine(kPrompt); line && !summary; line = bots.ReadLine(kPrompt)) {
    if (line->rfind("summary ", 0) == 0) summary = line;
  }
  ASSERT_TRUE(summary);
  EXPECT_EQ(Figure(*summary, "bots"), 3);
  EXPECT_GT(Figure(*summary, "min"), 0) << *summary;
  EXPECT_GT(Figure(*summary, "median", "rtt-ms"), 0) << *summary;
  EXPECT_GE(Figure(*summary, "p99", "rtt-ms"), Figure(*summary, "median", "rtt-ms")) << *summary;
  EXPECT_EQ(bots.Wait(kPrompt), 0);
}

}  // namespace
