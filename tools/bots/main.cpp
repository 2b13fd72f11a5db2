// quendlebots: up to fifteen bots that join a server and play tag, and print every few
// seconds how fast the server answers them.
//
//   quendlebots [--address A] [--bots N] [--seconds S] [--every S] [--data FOLDER]
//
// --address: the server's dotted IPv4 address (127.0.0.1). --bots: how many (15).
// --seconds: play that long once all have joined, print a summary line and end; 0 (the
// default) plays until interrupted. --every: seconds between two figure lines (5).
// --data: the game folder, for the town the bots walk (the working folder).
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tools/bots/bot.h"

namespace {

struct Options {
  std::string address = "127.0.0.1";
  int bots = 15;
  double seconds = 0;
  double every = 5;
  std::string data = ".";
};

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string name = argv[i], value = argv[i + 1];
    if (name == "--address") options.address = value;
    else if (name == "--bots") options.bots = atoi(value.c_str());
    else if (name == "--seconds") options.seconds = atof(value.c_str());
    else if (name == "--every") options.every = atof(value.c_str());
    else if (name == "--data") options.data = value;
    else return false;
  }
  return argc % 2 == 1 && options.bots >= 1 && options.bots <= kSlotCount && options.every > 0 &&
         options.seconds >= 0;
}

volatile sig_atomic_t interrupted = 0;
void OnSignal(int) { interrupted = 1; }

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    fprintf(stderr, "usage: quendlebots [--address A] [--bots 1..15] [--seconds S] [--every S] [--data FOLDER]\n");
    return 2;
  }
  std::optional<Town> town = LoadTown(options.data);
  if (!town) {
    fprintf(stderr, "quendlebots: cannot read the town in %s (levels/maps/main.lvl and its picture)\n",
            options.data.c_str());
    return 1;
  }
  Stats stats(options.bots, options.seconds > 0);
  std::vector<std::unique_ptr<Bot>> bots;
  for (int i = 0; i < options.bots; i++) {
    bots.push_back(std::make_unique<Bot>(i, *town, stats));
    if (!bots.back()->Join(options.address)) {
      fprintf(stderr, "quendlebots: %s could not join %s\n", bots.back()->Name().c_str(), options.address.c_str());
      return 1;
    }
  }
  signal(SIGINT, OnSignal);
  signal(SIGTERM, OnSignal);
  std::vector<std::thread> threads;
  for (auto& bot : bots) threads.emplace_back([&bot] { bot->Play(); });

  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  Clock::time_point last = start;
  stats.Reset();  // the joins are not part of the figures
  while (!interrupted) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    Clock::time_point now = Clock::now();
    if (options.seconds > 0 && now - start >= std::chrono::duration<double>(options.seconds)) break;
    double since = std::chrono::duration<double>(now - last).count();
    if (since >= options.every) {
      printf("%s\n", stats.Recent(since).c_str());
      fflush(stdout);
      last = now;
    }
  }
  if (options.seconds > 0) {
    printf("summary %s\n", stats.Whole(std::chrono::duration<double>(Clock::now() - start).count()).c_str());
    fflush(stdout);
  }
  for (auto& bot : bots) bot->Stop();
  for (std::thread& t : threads) t.join();
  return 0;
}
