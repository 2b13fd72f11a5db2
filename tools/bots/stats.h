// What the bots measure: exchanges (a position report answered by a world update) per
// bot, and the round trip from a report to the update that answers it; over the last
// few seconds, and over a whole run.
#pragma once

#include <chrono>
#include <mutex>
#include <string>
#include <vector>

class Stats {
 public:
  // `wholeRun`: also keep every figure until Whole is asked.
  Stats(int bots, bool wholeRun) : recent_(bots), whole_(bots), wholeRun_(wholeRun) {}

  // One bot's report was answered after `roundTrip`.
  void Exchange(int bot, std::chrono::nanoseconds roundTrip);

  // The figures over `seconds` as one line: "bots N seconds S exchanges E exchanges/s R
  // per-bot min A median B max C rtt-ms median M p99 P". Recent starts counting afresh.
  std::string Recent(double seconds);
  std::string Whole(double seconds);
  // Forgets everything counted so far.
  void Reset();

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
};
