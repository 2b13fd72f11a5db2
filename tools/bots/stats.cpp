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

void Stats::Exchange(int bot, std::chrono::nanoseconds roundTrip) {
  float ms = float(std::chrono::duration<double, std::milli>(roundTrip).count());
  std::lock_guard lock(mutex_);
  recent_.exchanges[size_t(bot)]++;
  recent_.roundTripsMs.push_back(ms);
  if (!wholeRun_) return;
  whole_.exchanges[size_t(bot)]++;
  whole_.roundTripsMs.push_back(ms);
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
}

std::string Stats::Line(const Window& window, double seconds) {
  long total = 0;
  for (long e : window.exchanges) total += e;
  auto rate = [&](double count) { return seconds > 0 ? count / seconds : 0; };
  char line[256];
  snprintf(line, sizeof line,
           "bots %zu seconds %.1f exchanges %ld exchanges/s %.1f per-bot min %.1f median %.1f max %.1f "
           "rtt-ms median %.3f p99 %.3f",
           window.exchanges.size(), seconds, total, rate(double(total)), rate(Quantile(window.exchanges, 0)),
           rate(Quantile(window.exchanges, 0.5)), rate(Quantile(window.exchanges, 1)),
           Quantile(window.roundTripsMs, 0.5), Quantile(window.roundTripsMs, 0.99));
  return line;
}
