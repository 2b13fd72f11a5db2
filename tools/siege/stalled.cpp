#include "tools/siege/stalled.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "tools/soak/probe.h"

namespace {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

constexpr std::chrono::seconds kAnswerWait{10};
constexpr int kStalledReceiveBuffer = 4096;

constexpr int kShotStep = 15;
constexpr int kShotFlight = 35;

// How many ticks lie between two world updates whose projectiles differ: a projectile
// in flight in both has moved up one step a tick. One when no projectile shows it.
int TicksBetween(const WorldUpdate& before, const WorldUpdate& after) {
  int ticks = kShotFlight;
  for (int j = 0; j < kShotCount; j++) {
    const ShotEntry &a = before.shots[j], &b = after.shots[j];
    const int steps = WORD(a.y - b.y) / kShotStep;
    if (a.mode != 2 && b.mode != 2 && a.x == b.x && steps > 0 && WORD(a.y - b.y) % kShotStep == 0) {
      ticks = std::min(ticks, steps);
    }
  }
  return ticks == kShotFlight ? 1 : ticks;
}

// The watcher's view of the ticks: each world update whose projectiles differ from the
// last one's shows one tick or more, and the time since the last one shows how long
// they took. The watcher may miss a tick, but never hides a late one: a tick that comes
// late is the only one in its time.
class TickWatch {
 public:
  void Saw(const WorldUpdate& update, Clock::time_point at) {
    exchanges_++;
    if (seen_ && memcmp(update.shots, last_.shots, sizeof last_.shots) == 0) return;
    if (seen_) {
      const int ticks = TicksBetween(last_, update);
      ticks_ += ticks;
      longest_ = std::max(longest_, (at - lastAt_) / ticks);
    }
    seen_ = true;
    last_ = update;
    lastAt_ = at;
  }
  // The watch ends at `at`: the time since the last tick counts too.
  void End(Clock::time_point at) {
    if (seen_) longest_ = std::max(longest_, at - lastAt_);
  }
  long Exchanges() const { return exchanges_; }
  long Ticks() const { return ticks_; }
  Clock::duration Longest() const { return longest_; }

 private:
  bool seen_ = false;
  WorldUpdate last_ = {};
  Clock::time_point lastAt_;
  Clock::duration longest_{};
  long ticks_ = 0, exchanges_ = 0;
};

// The watcher: exchanges every millisecond, which shows every tick without taking the
// processor from the tick it watches, and throws whenever a projectile is idle.
bool Watch(Probe& watcher, TickWatch& ticks, Clock::time_point until) {
  for (; Clock::now() < until; std::this_thread::sleep_for(std::chrono::milliseconds(1))) {
    WorldUpdate update;
    if (!watcher.Report(1, Clock::now() + kAnswerWait, &update)) return false;
    ticks.Saw(update, Clock::now());
    bool idle = false;
    for (const ShotEntry& shot : update.shots) idle = idle || shot.mode == 2;
    const PsiRequest up = {TypePsiRequest, 2};
    if (idle && !watcher.link.Send(up, Clock::now() + kAnswerWait)) return false;
  }
  return true;
}

// The watcher joins first, into slot 0, which is "it" until the server draws another.
bool JoinWatcher(Probe& watcher, const StalledPlan& plan) {
  const Clock::time_point deadline = Clock::now() + kAnswerWait;
  if (!watcher.link.Connect(plan.server) || watcher.Join(deadline) != 0) return false;
  // Its reports keep it far from the others, who never report and so stand at (0, 0).
  WorldUpdate update;
  do {
    if (!watcher.Report(1, deadline, &update)) return false;
  } while (update.it != 0);
  return true;
}

}  // namespace

int RunStalled(const StalledPlan& plan) {
  Probe watcher;
  if (!JoinWatcher(watcher, plan)) {
    printf("stalled FAILED: the watcher could not join into slot 0 and be \"it\"\n");
    return 1;
  }
  std::vector<std::unique_ptr<Probe>> stalled;
  for (int i = 0; i < plan.stalled; i++) {
    stalled.push_back(std::make_unique<Probe>());
    if (!stalled.back()->link.Connect(plan.server, kStalledReceiveBuffer) ||
        stalled.back()->Join(Clock::now() + kAnswerWait) != i + 1) {
      printf("stalled FAILED: stalled player %d could not join\n", i);
      return 1;
    }
  }
  // The first stalled player floods until the end, or until the server lets it go.
  std::atomic<bool> over = false;
  std::thread flood([&] {
    const ChatRequest chat = {TypeChatRequest, "flood", {}};
    while (!over) {
      const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(100);
      if (!stalled[0]->link.Send(chat, deadline) && Clock::now() < deadline) return;
    }
  });
  TickWatch ticks;
  bool watched = Watch(watcher, ticks, Clock::now() + plan.floodBeforeKicks);
  int kicked = 0;
  for (int slot = 2; watched && kicked < plan.kicks && slot <= plan.stalled; slot++, kicked++) {
    printf("kick %d\n", slot);
    fflush(stdout);
    watched = Watch(watcher, ticks, Clock::now() + plan.betweenKicks);
  }
  watched = watched && Watch(watcher, ticks, Clock::now() + plan.afterKicks);
  ticks.End(Clock::now());
  over = true;
  flood.join();

  const double longest = Ms(ticks.Longest()).count();
  printf("stalled players %d kicks %d exchanges %ld ticks %ld longest-gap-ms %.1f\n", plan.stalled, kicked,
         ticks.Exchanges(), ticks.Ticks(), longest);
  const bool kept = watched && longest <= Ms(plan.gapBound).count();
  printf("stalled %s\n", kept ? "passed" : (watched ? "FAILED: the tick stalled" : "FAILED: the watcher lost its server"));
  return kept ? 0 : 1;
}
