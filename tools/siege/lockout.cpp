#include "tools/siege/lockout.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <thread>

#include "tools/siege/holders.h"
#include "tools/soak/probe.h"

namespace {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

// However slow a server, the client itself gives up after 10 s.
constexpr std::chrono::seconds kGiveUp{10};

struct Timing {
  bool joined;
  double welcomeMs, updateMs;  // from the start of the connect; until it gave up, if it did
};

Timing JoinOnce(const LockoutPlan& plan) {
  Probe newcomer;
  const Clock::time_point start = Clock::now(), deadline = start + kGiveUp;
  auto since = [&] { return Ms(Clock::now() - start).count(); };
  Timing timing = {false, 0, 0};
  const bool welcomed = newcomer.link.Connect(plan.server, 0, plan.from) && newcomer.Join(deadline) >= 0;
  timing.welcomeMs = since();
  timing.joined = welcomed && newcomer.NextUpdate(deadline);
  timing.updateMs = since();
  return timing;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::nth_element(values.begin(), values.begin() + long(values.size() / 2), values.end());
  return values[values.size() / 2];
}

}  // namespace

int RunLockout(const LockoutPlan& plan) {
  std::vector<std::unique_ptr<Holders>> holders;
  int held = 0;
  for (const auto& [address, count] : plan.holders) {
    holders.push_back(std::make_unique<Holders>(plan.server, address, count));
    held += count;
  }
  std::this_thread::sleep_for(plan.warmUp);
  std::vector<double> welcomes, updates;
  int failed = 0;
  for (int i = 0; i < plan.joins; i++) {
    const Timing t = JoinOnce(plan);
    printf("join %d %s welcome-ms %.2f update-ms %.2f\n", i, t.joined ? "joined" : "FAILED", t.welcomeMs, t.updateMs);
    fflush(stdout);
    failed += !t.joined;
    welcomes.push_back(t.welcomeMs);
    updates.push_back(t.updateMs);
    std::this_thread::sleep_for(plan.pause);
  }
  long letGo = 0;
  for (auto& h : holders) letGo += h->LetGo();
  const double welcomeMax = *std::max_element(welcomes.begin(), welcomes.end());
  const double updateMax = *std::max_element(updates.begin(), updates.end());
  printf("lockout holders %zu trying-to-hold %d let-go %ld joins %d failed %d welcome-ms median %.2f max %.2f "
         "update-ms median %.2f max %.2f\n",
         plan.holders.size(), held, letGo, plan.joins, failed, Median(welcomes), welcomeMax, Median(updates),
         updateMax);
  const bool kept = failed == 0 && welcomeMax < Ms(plan.welcomeBound).count() && updateMax < Ms(plan.updateBound).count();
  printf("lockout %s\n", kept ? "passed" : "FAILED");
  return kept ? 0 : 1;
}
