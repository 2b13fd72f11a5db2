// quendlesoak: a long run that shows that no client can break quendlehost or freeze the
// players in it. Steady bots play the whole run and chat numbered lines, while storm
// threads (storm.h) join and leave in bursts, send garbage, stop mid-message, stop
// reading, reset, and knock on a full server. It ends with exit code 1 and the reason
// as soon as a steady bot waits too long for an answer or loses its connection, a
// steady bot's chat line goes missing or comes out of order, or the server breaks a
// promise to a storm connection.
//
//   quendlesoak [--address A] [--seconds S] [--every S] [--data FOLDER] [--steady N]
//               [--seed K] [--kinds LETTERS] [--bound S] [--settle S]
//
// --address: the server's dotted IPv4 address (127.0.0.1). --seconds: how long the
// storm lasts (600). --every: seconds between two figure lines (10). --data: the game
// folder, for the town the bots walk (the working folder). --steady: steady bots,
// 1..14 (12); the storm works the other slots, and fills them all itself when it can
// (10 or more steady bots). --seed: the storm's random seed (1).
// --kinds: the storm's ways, from "abcdefg" (all); the first picks take them in the
// order given. --bound: the longest a steady bot may wait for an answer (2 s).
// --settle: seconds the steady bots play alone before and after the storm (5).
//
// The bound: the server answers in well under a millisecond, and the waits it allows
// a bad client are 3 s (a refused newcomer), 5 s (a newcomer's JoinReply, a send) and
// more (a silent player). Any of those leaking into a steady player's exchange would
// take at least 3 s; 2 s is below them all and far above the scheduling noise of a
// small, busy machine.
//
// It prints "steady bots joined" once they are in and "settling" once the storm is over
// and every steady line was heard; the steady bots then play alone for --settle
// seconds each time, so that a watcher can sample the server at rest.
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tools/bots/bot.h"
#include "tools/soak/storm.h"

namespace {

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

struct Options {
  StormPlan storm;
  double seconds = 600;
  double every = 10;
  std::string data = ".";
  int steady = 12;
  double bound = 2;
  double settle = 5;
};

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string name = argv[i], value = argv[i + 1];
    if (name == "--address") options.storm.address = value;
    else if (name == "--seconds") options.seconds = atof(value.c_str());
    else if (name == "--every") options.every = atof(value.c_str());
    else if (name == "--data") options.data = value;
    else if (name == "--steady") options.steady = atoi(value.c_str());
    else if (name == "--seed") options.storm.seed = unsigned(strtoul(value.c_str(), nullptr, 10));
    else if (name == "--kinds") options.storm.kinds = value;
    else if (name == "--bound") options.bound = atof(value.c_str());
    else if (name == "--settle") options.settle = atof(value.c_str());
    else return false;
  }
  options.storm.freeSlots = kSlotCount - options.steady;
  bool kindsKnown =
      !options.storm.kinds.empty() && options.storm.kinds.find_first_not_of("abcdefg") == std::string::npos;
  return argc % 2 == 1 && options.steady >= 1 && options.steady < kSlotCount && options.seconds > 0 &&
         options.every > 0 && options.bound > 0 && options.settle >= 0 && kindsKnown;
}

[[noreturn]] void Fail(const std::string& reason) {
  printf("soak FAILED: %s\n", reason.c_str());
  fflush(stdout);
  _exit(1);  // the bots and the storm end with the process, their connections with them
}

long Ms(std::chrono::nanoseconds time) {
  return long(std::chrono::duration_cast<std::chrono::milliseconds>(time).count());
}

// Watches the run: checks every 50 ms and prints the figures every `every` seconds,
// until `until` or until `done` says so.
class Watch {
 public:
  Watch(const Options& options, Stats& stats, Storm& storm, const std::atomic<int>& lost)
      : options_(options), stats_(stats), storm_(storm), lost_(lost) {}

  bool Until(Clock::time_point until, const std::function<bool()>& done = [] { return false; }) {
    while (Clock::now() < until) {
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      Check();
      Print();
    }
    return done();
  }

 private:
  void Check() {
    auto bound = std::chrono::duration_cast<std::chrono::nanoseconds>(Seconds(options_.bound));
    if (std::chrono::nanoseconds wait = stats_.LongestWait(Clock::now()); wait > bound) {
      Fail("a steady bot has waited " + std::to_string(Ms(wait)) + " ms for an answer");
    }
    if (std::chrono::nanoseconds wait = stats_.LongestRoundTrip(); wait > bound) {
      Fail("a steady bot's report was answered after " + std::to_string(Ms(wait)) + " ms");
    }
    if (lost_ > 0) Fail("a steady bot lost its connection");
    if (std::string fault = stats_.ChatFault(); !fault.empty()) Fail(fault);
    if (std::string fault = storm_.Fault(); !fault.empty()) Fail(fault);
  }

  void Print() {
    Clock::time_point now = Clock::now();
    double since = Seconds(now - last_).count();
    if (since < options_.every) return;
    printf("t %.0f %s | %s | chat-lines %ld\n", Seconds(now - start_).count(), stats_.Recent(since).c_str(),
           storm_.Counts().c_str(), stats_.LinesSaid());
    fflush(stdout);
    last_ = now;
  }

  const Options& options_;
  Stats& stats_;
  Storm& storm_;
  const std::atomic<int>& lost_;
  const Clock::time_point start_ = Clock::now();
  Clock::time_point last_ = start_;
};

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    fprintf(stderr,
            "usage: quendlesoak [--address A] [--seconds S] [--every S] [--data FOLDER] [--steady 1..14] "
            "[--seed K] [--kinds abcdefg] [--bound S] [--settle S]\n");
    return 2;
  }
  std::optional<Town> town = LoadTown(options.data);
  if (!town) {
    fprintf(stderr, "quendlesoak: cannot read the town in %s\n", options.data.c_str());
    return 1;
  }
  printf("soak seed %u steady %d seconds %.0f bound-ms %.0f\n", options.storm.seed, options.steady, options.seconds,
         options.bound * 1000);

  // Chatty, so that a short run has lines enough to lose.
  const ChatPause chatPause = {std::chrono::milliseconds(300), std::chrono::milliseconds(3000)};
  Stats stats(options.steady, false);
  std::vector<std::unique_ptr<Bot>> bots;
  for (int i = 0; i < options.steady; i++) {
    bots.push_back(std::make_unique<Bot>(i, *town, stats, chatPause));
    if (!bots.back()->Join(options.storm.address)) Fail(bots.back()->Name() + " could not join");
  }
  std::atomic<bool> stopping = false;
  std::atomic<int> lost = 0;
  std::vector<std::thread> threads;
  for (auto& bot : bots) {
    threads.emplace_back([&bot, &stopping, &lost] {
      bot->Play();
      if (!stopping) lost++;
    });
  }
  printf("steady bots joined\n");
  fflush(stdout);

  auto after = [](Clock::time_point from, double seconds) {
    return from + std::chrono::duration_cast<Clock::duration>(Seconds(seconds));
  };
  const Clock::time_point start = Clock::now(), begin = after(start, options.settle),
                          end = after(begin, options.seconds);
  stats.Reset();
  Storm storm(options.storm, begin, end);
  Watch watch(options, stats, storm, lost);
  watch.Until(end);
  stats.Quiet();
  const long exchanges = stats.Exchanges();
  storm.Wait();
  printf("storm over\n");
  fflush(stdout);
  if (!watch.Until(after(Clock::now(), 10), [&] { return stats.AllHeard(); })) {
    Fail("some steady bot's lines did not reach every steady bot");
  }
  printf("settling\n");
  fflush(stdout);
  watch.Until(after(Clock::now(), options.settle));

  double seconds = Seconds(end - start).count();
  printf("summary seconds %.0f exchanges %ld exchanges/s %.0f longest-wait-ms %.1f chat-lines %ld | %s\n", seconds,
         exchanges, double(exchanges) / seconds,
         std::chrono::duration<double, std::milli>(stats.LongestRoundTrip()).count(), stats.LinesSaid(),
         storm.Counts().c_str());
  printf("soak passed\n");
  fflush(stdout);
  stopping = true;
  for (auto& bot : bots) bot->Stop();
  for (std::thread& t : threads) t.join();
  return 0;
}
