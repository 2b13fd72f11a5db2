// Lockout: while other addresses try to hold as many newcomers' places as they can, an
// honest newcomer from yet another address joins again and again. Each time it must get
// its Welcome and its first WorldUpdate promptly.
#pragma once

#include <chrono>
#include <string>
#include <utility>
#include <vector>

struct LockoutPlan {
  std::string server = "127.0.0.1";
  // Each address, and how many connections it tries to hold.
  std::vector<std::pair<std::string, int>> holders = {
      {"127.0.0.2", 50}, {"127.0.0.3", 10}, {"127.0.0.4", 10}, {"127.0.0.5", 10}, {"127.0.0.6", 10}};
  std::string from = "127.0.0.10";  // the honest newcomer's address
  int joins = 40;
  std::chrono::milliseconds pause{250};  // between one join's leaving and the next
  std::chrono::milliseconds warmUp{2000};  // the holders alone, before the first join
  std::chrono::milliseconds welcomeBound{100};
  std::chrono::milliseconds updateBound{1000};
};

// Prints one line per join and a summary; 0 when every join kept within the bounds.
int RunLockout(const LockoutPlan& plan);
