// quendlesiege against the real quendlehost: newcomers from other addresses who never
// answer cannot keep an honest newcomer out, and players who stop reading cannot hold
// up the tick, not even when the operator kicks them. The bounds here are far below
// what those faults cost (5 s a newcomer, a second a kicked player) and far above what
// a busy machine under a sanitizer adds; quendlesiege's own defaults are the goals.
#include <gtest/gtest.h>

#include "tests/server/server_process.h"

namespace {

// Runs quendlesiege with `arguments`, passing each "kick N" it asks for to the server,
// and returns its last line; empty when it did not end in time.
std::string Siege(ServerProcess& server, const std::vector<std::string>& arguments) {
  ChildProcess siege(QUENDLESIEGE, ".", {}, ChildProcess::Errors::kToTest, arguments);
  std::string last;
  while (std::optional<std::string> line = siege.ReadLine(std::chrono::seconds(60))) {
    if (line->starts_with("kick ")) server.Kick(atoi(line->c_str() + 5));
    last = *line;
  }
  return siege.Wait(kPrompt) == 0 ? last : "quendlesiege failed after: " + last;
}

TEST_F(HostTest, IdleNewcomersFromOtherAddressesKeepNobodyOut) {
  EXPECT_EQ(Siege(server_, {"lockout", "--holders", "127.0.0.2:12,127.0.0.3:4,127.0.0.4:4", "--joins", "10",
                            "--pause-ms", "100", "--warm-up-ms", "1000", "--welcome-ms", "2000", "--update-ms",
                            "3000"}),
            "lockout passed");
}

TEST_F(HostTest, TheTickKeepsItsPeriodWhilePlayersStallAndAreKicked) {
  EXPECT_EQ(Siege(server_, {"stalled", "--kicks", "6", "--gap-ms", "500"}), "stalled passed");
}

}  // namespace
