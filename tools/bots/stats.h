// What the bots measure: exchanges (a position report answered by a world update) per
// bot, and the round trip from a report to the update that answers it; over the last
// few seconds, and over a whole run. Also whether every bot's numbered chat lines reach
// every bot, in order and none missing.
#pragma once

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class Stats {
 public:
  using Clock = std::chrono::steady_clock;

  // `wholeRun`: also keep every round trip until Whole is asked.
  Stats(int bots, bool wholeRun);

  // A bot joined into `slot`; its wait for answers counts from now.
  void Seated(int bot, int slot);
  // One bot's report was answered after `roundTrip`.
  void Exchange(int bot, std::chrono::nanoseconds roundTrip);

  // The figures over `seconds` as one line: "bots N seconds S exchanges E exchanges/s R
  // per-bot min A median B max C rtt-ms median M p99 P max X". Recent starts counting
  // afresh.
  std::string Recent(double seconds);
  std::string Whole(double seconds);
  // Forgets every exchange counted so far.
  void Reset();

  // Exchanges since the last Reset, and the longest round trip among them.
  long Exchanges();
  std::chrono::nanoseconds LongestRoundTrip();
  // The longest time any seated bot has now gone without an answer.
  std::chrono::nanoseconds LongestWait(Clock::time_point now);

  // The number of the next line `bot` says, or nothing once the bots are quiet.
  std::optional<int> Say(int bot);
  // `bot` heard line `line` of bot `from` from the player in `slot`; a line from a
  // slot where `from` does not sit is somebody else's and not counted.
  void Heard(int bot, int slot, int from, int line);
  // No bot says anything from now on.
  void Quiet();
  // Lines said, and whether every bot has heard each of them.
  long LinesSaid();
  bool AllHeard();
  // The first line heard out of order or missed, or empty.
  std::string ChatFault();

 private:
  struct Window {
    explicit Window(int bots) : exchanges(size_t(bots), 0) {}
    std::vector<long> exchanges;      // by bot
    std::vector<float> roundTripsMs;  // every exchange's
  };
  static std::string Line(const Window& window, double seconds);

  std::mutex mutex_;
  Window recent_, whole_;
  bool wholeRun_;
  std::chrono::nanoseconds longest_{0};
  std::vector<Clock::time_point> lastAnswer_;  // by bot; unset until seated
  std::vector<int> seats_;                     // by bot; -1 until seated
  std::vector<int> said_;                      // lines said, by bot
  std::vector<std::vector<int>> heard_;        // [listener][speaker]: lines heard in order
  bool quiet_ = false;
  std::string chatFault_;
};
