// Stalled players: every player but one stops reading, one of them floods the chat so
// that the queues of the others fill, and the operator kicks them one after another.
// The one player who reads watches the server's tick through the projectiles of its
// world updates: while it is "it" and keeps them flying, each tick changes them. The
// tick must keep its period.
//
// The kicks are the operator's: the program prints "kick N" when slot N is to be kicked,
// and whoever runs the server passes the line on to the server's console.
#pragma once

#include <chrono>
#include <string>

struct StalledPlan {
  std::string server = "127.0.0.1";
  int stalled = 14;  // players who stop reading
  int kicks = 12;
  std::chrono::milliseconds floodBeforeKicks{300};
  std::chrono::milliseconds betweenKicks{150};
  std::chrono::milliseconds afterKicks{1000};
  std::chrono::milliseconds gapBound{50};
};

// Prints the figures; 0 when no gap between two ticks exceeded the bound.
int RunStalled(const StalledPlan& plan);
