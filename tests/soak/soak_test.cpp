// quendlesoak against the real quendlehost: steady bots play through a short storm in
// which every kind of bad client comes at least once. The soak must pass, and the
// server's threads must come back to what they were with only the steady bots in.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "tests/support/child_process.h"

namespace {

using Clock = std::chrono::steady_clock;

// Long enough for anything the server does at once, even under a sanitizer.
constexpr std::chrono::milliseconds kPrompt{10000};
// How long the steady bots play alone before the storm and after it: time enough to
// count the server's threads.
constexpr std::chrono::seconds kSettle{8};

// The threads of a running process; -1 when it cannot be read.
int Threads(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("Threads:")) return atoi(line.c_str() + 8);
  }
  return -1;
}

// Whether the process has exactly `count` threads at some moment within kPrompt: a
// sender thread may come and go at any time, but a thread that never ends keeps the
// count above `count` for good.
bool ComesTo(pid_t pid, int count) {
  for (Clock::time_point end = Clock::now() + kPrompt; Clock::now() < end;) {
    if (Threads(pid) == count) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return false;
}

// Reads the soak's lines until one that starts with `wanted` or tells of a failure,
// and returns it; empty when the output ended or the timeout passed first.
std::string Await(ChildProcess& soak, const std::string& wanted, std::chrono::milliseconds timeout) {
  Clock::time_point end = Clock::now() + timeout;
  while (auto line = soak.ReadLine(std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()))) {
    if (line->starts_with(wanted) || line->starts_with("soak FAILED")) return *line;
  }
  return "";
}

// The number after `name` in a line of words; -1 when there is none.
long Figure(const std::string& line, const std::string& name) {
  std::istringstream words(line);
  for (std::string word; words >> word;) {
    if (word == name && words >> word) return atol(word.c_str());
  }
  return -1;
}

TEST(Soak, NoBadClientBreaksTheServerOrHoldsUpThePlayers) {
  ChildProcess host(QUENDLEHOST, GAME_DIR, {"DISPLAY", "WAYLAND_DISPLAY"});
  ASSERT_TRUE(host.WaitForLine({"Waiting for connection..."}, kPrompt));
  // Once the console has answered, every thread of an idle server runs.
  ASSERT_TRUE(host.Write("list\n"));
  ASSERT_TRUE(host.WaitForLine({"14 -Empty-"}, kPrompt));
  const int idle = Threads(host.Pid());
  ASSERT_GT(idle, 0);

  ChildProcess soak(QUENDLESOAK, GAME_DIR, {}, ChildProcess::Errors::kIntoOutput,
                    {"--seconds", "15", "--every", "100", "--settle", std::to_string(kSettle.count()), "--steady",
                     std::to_string(STEADY_BOTS)});
  ASSERT_EQ(Await(soak, "steady bots joined", kPrompt), "steady bots joined");
  EXPECT_TRUE(ComesTo(host.Pid(), idle + STEADY_BOTS)) << "one thread per player";
  ASSERT_EQ(Await(soak, "settling", std::chrono::seconds(60)), "settling");
  EXPECT_TRUE(ComesTo(host.Pid(), idle + STEADY_BOTS)) << "the storm left threads behind";

  std::string summary = Await(soak, "summary ", kSettle + kPrompt);
  ASSERT_TRUE(summary.starts_with("summary ")) << summary;
  std::string storm = summary.substr(summary.find("| storm"));
  for (const char* kind : {"a", "b", "c", "d", "e", "f", "g", "joined", "refused"}) {
    EXPECT_GT(Figure(storm, kind), 0) << kind << " in " << summary;
  }
  EXPECT_GT(Figure(summary, "chat-lines"), 0) << summary;
  EXPECT_EQ(Await(soak, "soak passed", kPrompt), "soak passed");
  EXPECT_EQ(soak.Wait(kPrompt), 0);

  host.Signal(SIGTERM);
  EXPECT_EQ(host.Wait(kPrompt), 0);
}

}  // namespace
