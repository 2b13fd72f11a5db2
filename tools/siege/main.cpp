// quendlesiege: what hostile peers do to keep players out of a server or to hold its
// game up, measured as the players in it meet it.
//
//   quendlesiege lockout [--server A] [--holders A:N,A:N...] [--from A] [--joins K]
//                        [--pause-ms MS] [--warm-up-ms MS] [--welcome-ms MS] [--update-ms MS]
//   quendlesiege stalled [--server A] [--stalled N] [--kicks K] [--gap-ms MS]
//
// lockout: the holders (by default 127.0.0.2 trying to hold 50 idle connections and
// 127.0.0.3 to 127.0.0.6 ten each) keep opening connections that never answer their
// Welcome, while an honest newcomer from --from (127.0.0.10) joins --joins times (40),
// --pause-ms apart (250), after --warm-up-ms of the holders alone (2000). Each join
// must bring its Welcome within --welcome-ms (100) and its first WorldUpdate within
// --update-ms (1000) of the start of its connect.
// stalled: see stalled.h; no gap between two ticks may exceed --gap-ms (50).
//
// The holders need loopback addresses of their own; the server must be fresh (nobody
// in it). Exits 0 when the bounds held, 1 when they did not, 2 on a wrong command line.
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "tools/siege/lockout.h"
#include "tools/siege/stalled.h"

namespace {

std::chrono::milliseconds Millis(const std::string& value) { return std::chrono::milliseconds(atol(value.c_str())); }

// "A:N,A:N..."; empty when a part is not of that form.
std::vector<std::pair<std::string, int>> HoldersOf(const std::string& text) {
  std::vector<std::pair<std::string, int>> holders;
  std::istringstream parts(text);
  for (std::string part; std::getline(parts, part, ',');) {
    size_t colon = part.find(':');
    int count = colon == std::string::npos ? 0 : atoi(part.c_str() + colon + 1);
    if (count <= 0) return {};
    holders.emplace_back(part.substr(0, colon), count);
  }
  return holders;
}

bool ParseLockout(int argc, char** argv, LockoutPlan& plan) {
  for (int i = 2; i + 1 < argc; i += 2) {
    std::string name = argv[i], value = argv[i + 1];
    if (name == "--server") plan.server = value;
    else if (name == "--holders") plan.holders = HoldersOf(value);
    else if (name == "--from") plan.from = value;
    else if (name == "--joins") plan.joins = atoi(value.c_str());
    else if (name == "--pause-ms") plan.pause = Millis(value);
    else if (name == "--warm-up-ms") plan.warmUp = Millis(value);
    else if (name == "--welcome-ms") plan.welcomeBound = Millis(value);
    else if (name == "--update-ms") plan.updateBound = Millis(value);
    else return false;
  }
  return argc % 2 == 0 && !plan.holders.empty() && plan.joins > 0;
}

bool ParseStalled(int argc, char** argv, StalledPlan& plan) {
  for (int i = 2; i + 1 < argc; i += 2) {
    std::string name = argv[i], value = argv[i + 1];
    if (name == "--server") plan.server = value;
    else if (name == "--stalled") plan.stalled = atoi(value.c_str());
    else if (name == "--kicks") plan.kicks = atoi(value.c_str());
    else if (name == "--gap-ms") plan.gapBound = Millis(value);
    else return false;
  }
  return argc % 2 == 0 && plan.stalled >= 2 && plan.stalled <= 14 && plan.kicks >= 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string scenario = argc > 1 ? argv[1] : "";
  LockoutPlan lockout;
  StalledPlan stalled;
  if (scenario == "lockout" && ParseLockout(argc, argv, lockout)) return RunLockout(lockout);
  if (scenario == "stalled" && ParseStalled(argc, argv, stalled)) return RunStalled(stalled);
  fprintf(stderr,
          "usage: quendlesiege lockout [--server A] [--holders A:N,A:N...] [--from A] [--joins K] [--pause-ms MS]\n"
          "                            [--warm-up-ms MS] [--welcome-ms MS] [--update-ms MS]\n"
          "       quendlesiege stalled [--server A] [--stalled 2..14] [--kicks K] [--gap-ms MS]\n");
  return 2;
}
