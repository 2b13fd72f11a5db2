// How the soak tells that a steady bot's chat line went missing: every bot must hear
// every bot's lines in the order they were said, and lines from a slot where no bot
// sits are somebody else's.
#include <gtest/gtest.h>

#include <vector>

#include "tools/bots/stats.h"

namespace {

struct Hearing {
  int bot, slot, from, line;
};

struct Case {
  const char* what;
  std::vector<Hearing> heard;
  bool allHeard;
  bool fault;
};

// Bot 0 sits in slot 0 and says lines 0 and 1; bot 1 sits in slot 5 and says line 0.
const std::vector<Hearing> kEverything = {{0, 0, 0, 0}, {0, 0, 0, 1}, {0, 5, 1, 0},
                                          {1, 0, 0, 0}, {1, 5, 1, 0}, {1, 0, 0, 1}};

const Case kCases[] = {
    {"everything in order", kEverything, true, false},
    {"the last line still on its way", {kEverything.begin(), kEverything.end() - 1}, false, false},
    {"a line missed", {{0, 0, 0, 1}}, false, true},
    {"a line twice", {{0, 0, 0, 0}, {0, 0, 0, 0}}, false, true},
    {"lines out of order", {{1, 0, 0, 1}, {1, 0, 0, 0}}, false, true},
    {"a look-alike from another slot", {{0, 3, 0, 7}}, false, false},
};

TEST(SoakChat, EveryLineMustReachEveryBotInOrder) {
  for (const Case& c : kCases) {
    Stats stats(2, false);
    stats.Seated(0, 0);
    stats.Seated(1, 5);
    ASSERT_EQ(stats.Say(0), 0);
    ASSERT_EQ(stats.Say(0), 1);
    ASSERT_EQ(stats.Say(1), 0);
    for (const Hearing& h : c.heard) stats.Heard(h.bot, h.slot, h.from, h.line);
    EXPECT_EQ(stats.AllHeard(), c.allHeard) << c.what;
    EXPECT_EQ(!stats.ChatFault().empty(), c.fault) << c.what << ": " << stats.ChatFault();
  }
}

TEST(SoakChat, QuietBotsSayNothingMore) {
  Stats stats(1, false);
  stats.Seated(0, 0);
  ASSERT_EQ(stats.Say(0), 0);
  stats.Quiet();
  EXPECT_EQ(stats.Say(0), std::nullopt);
  EXPECT_EQ(stats.LinesSaid(), 1);
}

}  // namespace
