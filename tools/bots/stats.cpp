#include "tools/bots/stats.h"

#include <algorithm>
#include <cstdio>

namespace {

// The value at fraction q of the values in order (nearest rank); 0 for none.
template <typename T>
double Quantile(std::vector<T> values, double q) {
  if (values.empty()) return 0;
  size_t rank = std::min(values.size() - 1, size_t(q * double(values.size())));
  std::nth_element(values.begin(), values.begin() + long(rank), values.end());
  return double(values[rank]);
}

}  // namespace

Stats::Stats(int bots, bool wholeRun)
    : recent_(bots),
      whole_(bots),
      wholeRun_(wholeRun),
      lastAnswer_(size_t(bots)),
      seats_(size_t(bots), -1),
      said_(size_t(bots), 0),
      heard_(size_t(bots), std::vector<int>(size_t(bots), 0)) {}

void Stats::Seated(int bot, int slot) {
  std::lock_guard lock(mutex_);
  seats_[size_t(bot)] = slot;
  lastAnswer_[size_t(bot)] = Clock::now();
}

void Stats::Exchange(int bot, std::chrono::nanoseconds roundTrip) {
  float ms = float(std::chrono::duration<double, std::milli>(roundTrip).count());
  Clock::time_point now = Clock::now();
  std::lock_guard lock(mutex_);
  recent_.exchanges[size_t(bot)]++;
  recent_.roundTripsMs.push_back(ms);
  whole_.exchanges[size_t(bot)]++;
  longest_ = std::max(longest_, roundTrip);
  lastAnswer_[size_t(bot)] = now;
  if (wholeRun_) whole_.roundTripsMs.push_back(ms);
}

std::string Stats::Recent(double seconds) {
  Window taken(int(recent_.exchanges.size()));
  {
    std::lock_guard lock(mutex_);
    std::swap(taken, recent_);
  }
  return Line(taken, seconds);
}

std::string Stats::Whole(double seconds) {
  std::lock_guard lock(mutex_);
  return Line(whole_, seconds);
}

void Stats::Reset() {
  std::lock_guard lock(mutex_);
  recent_ = Window(int(recent_.exchanges.size()));
  whole_ = Window(int(whole_.exchanges.size()));
  longest_ = {};
}

long Stats::Exchanges() {
  std::lock_guard lock(mutex_);
  long total = 0;
  for (long e : whole_.exchanges) total += e;
  return total;
}

std::chrono::nanoseconds Stats::LongestRoundTrip() {
  std::lock_guard lock(mutex_);
  return longest_;
}

std::chrono::nanoseconds Stats::LongestWait(Clock::time_point now) {
  std::lock_guard lock(mutex_);
  std::chrono::nanoseconds longest{0};
  for (size_t bot = 0; bot < seats_.size(); bot++) {
    if (seats_[bot] >= 0) longest = std::max(longest, std::chrono::nanoseconds(now - lastAnswer_[bot]));
  }
  return longest;
}

std::optional<int> Stats::Say(int bot) {
  std::lock_guard lock(mutex_);
  if (quiet_) return std::nullopt;
  return said_[size_t(bot)]++;
}

void Stats::Heard(int bot, int slot, int from, int line) {
  std::lock_guard lock(mutex_);
  if (from < 0 || size_t(from) >= seats_.size() || seats_[size_t(from)] != slot) return;
  int& next = heard_[size_t(bot)][size_t(from)];
  if (line != next && chatFault_.empty()) {
    chatFault_ = "bot " + std::to_string(bot + 1) + " heard line " + std::to_string(line) + " of bot " +
                 std::to_string(from + 1) + " where line " + std::to_string(next) + " was due";
  }
  next = line + 1;
}

void Stats::Quiet() {
  std::lock_guard lock(mutex_);
  quiet_ = true;
}

long Stats::LinesSaid() {
  std::lock_guard lock(mutex_);
  long total = 0;
  for (int n : said_) total += n;
  return total;
}

bool Stats::AllHeard() {
  std::lock_guard lock(mutex_);
  for (const std::vector<int>& listener : heard_) {
    if (listener != said_) return false;
  }
  return true;
}

std::string Stats::ChatFault() {
  std::lock_guard lock(mutex_);
  return chatFault_;
}

std::string Stats::Line(const Window& window, double seconds) {
  long total = 0;
  for (long e : window.exchanges) total += e;
  auto rate = [&](double count) { return seconds > 0 ? count / seconds : 0; };
  char line[256];
  snprintf(line, sizeof line,
           "bots %zu seconds %.1f exchanges %ld exchanges/s %.1f per-bot min %.1f median %.1f max %.1f "
           "rtt-ms median %.3f p99 %.3f max %.3f",
           window.exchanges.size(), seconds, total, rate(double(total)), rate(Quantile(window.exchanges, 0)),
           rate(Quantile(window.exchanges, 0.5)), rate(Quantile(window.exchanges, 1)),
           Quantile(window.roundTripsMs, 0.5), Quantile(window.roundTripsMs, 0.99), Quantile(window.roundTripsMs, 1));
  return line;
}
