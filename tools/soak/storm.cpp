#include "tools/soak/storm.h"

#include <algorithm>
#include <memory>

#include "tools/soak/probe.h"

namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

// Behind the other storm newcomers of its address who answer first, each of whom the
// server may wait 5 s for.
constexpr seconds kGreetingWait{60};
constexpr seconds kAnswerWait{10};
// The server waits 3 s for a refused newcomer to answer or close.
constexpr seconds kRefusalEnd{3 + 10};

milliseconds RandomTime(std::mt19937& random, int leastMs, int mostMs) {
  return milliseconds(std::uniform_int_distribution(leastMs, mostMs)(random));
}

bool Chance(std::mt19937& random) { return std::bernoulli_distribution(0.5)(random); }

// The loopback address that this storm thread's connections come from, when the server is
// on this machine: each thread is a client of its own to the server, which limits what
// one address may hold while joining.
thread_local std::string stormAddress;

template <typename T>
void Append(std::vector<BYTE>& bytes, const T& record) {
  const auto* first = reinterpret_cast<const BYTE*>(&record);
  bytes.insert(bytes.end(), first, first + sizeof record);
}

}  // namespace

// Room for `count` storm connections for as long as it lives; none when the run ended
// first.
class Storm::Held {
 public:
  Held(Storm& storm, int count) : storm_(storm), count_(storm.Open(count) ? count : 0) {}
  ~Held() { storm_.Closed(count_); }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  explicit operator bool() const { return count_ > 0; }

 private:
  Storm& storm_;
  int count_;
};

Storm::Storm(const StormPlan& plan, Clock::time_point begin, Clock::time_point end) : plan_(plan), end_(end) {
  for (int i = 0; i < plan_.threads; i++) {
    threads_.emplace_back([this, i, begin] { Run(i, plan_.seed + 7919u * unsigned(i), begin); });
  }
}

Storm::~Storm() { Wait(); }

void Storm::Wait() {
  for (std::thread& thread : threads_) {
    if (thread.joinable()) thread.join();
  }
}

std::string Storm::Counts() const {
  std::string line = "storm";
  for (int kind = 0; kind < kKinds; kind++) {
    line += ' ' + std::string(1, char('a' + kind)) + ' ' + std::to_string(attempts_[size_t(kind)].load());
  }
  return line + " joined " + std::to_string(joined_) + " refused " + std::to_string(refused_) + " dropped " +
         std::to_string(dropped_);
}

std::string Storm::Fault() {
  std::lock_guard lock(mutex_);
  return fault_;
}

void Storm::Broke(const std::string& promise) {
  if (Over()) return;  // cut short by the end of the run
  std::lock_guard lock(mutex_);
  if (fault_.empty()) fault_ = promise;
}

void Storm::Dropped() {
  if (!Over()) dropped_++;
}

bool Storm::Open(int count) {
  std::unique_lock lock(mutex_);
  if (!room_.wait_until(lock, end_, [&] { return open_ + count <= plan_.mostOpen; })) return false;
  open_ += count;
  return true;
}

void Storm::Closed(int count) {
  {
    std::lock_guard lock(mutex_);
    open_ -= count;
  }
  room_.notify_all();
}

Storm::Clock::time_point Storm::Within(Clock::duration wait) const { return std::min(Clock::now() + wait, end_); }

void Storm::Pause(milliseconds wait) const { std::this_thread::sleep_until(Within(wait)); }

void Storm::Run(int thread, unsigned seed, Clock::time_point begin) {
  if (plan_.address.starts_with("127.")) stormAddress = "127.0.0." + std::to_string(2 + thread);
  std::this_thread::sleep_until(begin);
  std::mt19937 random(seed);
  while (!Over()) {
    int kind = Pick(random);
    attempts_[size_t(kind)]++;
    switch (kind) {
      case 0: Burst(random); break;
      case 1: Garbage(random); break;
      case 2: HalfMessage(random); break;
      case 3: SilentNewcomer(random); break;
      case 4: Flood(random); break;
      case 5: FullServer(random); break;
      default: Reset(random); break;
    }
  }
}

int Storm::Pick(std::mt19937& random) {
  size_t n = size_t(picks_++);
  size_t at = n < plan_.kinds.size() ? n : std::uniform_int_distribution<size_t>(0, plan_.kinds.size() - 1)(random);
  return plan_.kinds[at] - 'a';
}

bool Storm::Connect(Probe& probe, int receiveBuffer) {
  if (probe.link.Connect(plan_.address, receiveBuffer, stormAddress)) return true;
  Broke("a newcomer could not connect");
  return false;
}

int Storm::Join(Probe& probe) {
  int slot = probe.Join(Within(kGreetingWait));
  if (slot >= 0) {
    joined_++;
  } else if (slot == Probe::kRefused) {
    refused_++;
  } else {
    Broke("a newcomer got neither a Welcome nor the one full-server byte within 60 s");
  }
  return slot;
}

void Storm::Burst(std::mt19937& random) {
  int count = std::uniform_int_distribution(2, 4)(random);
  Held held(*this, count);
  if (!held) return;
  std::vector<std::unique_ptr<Probe>> players;
  for (int i = 0; i < count; i++) {
    auto player = std::make_unique<Probe>();
    if (!Connect(*player)) return;
    if (Join(*player) >= 0 && player->NextUpdate(Within(kAnswerWait))) players.push_back(std::move(player));
  }
  // The others do not read while one plays: the server may give up on one of them
  // when a flood of chat lines comes at that moment.
  for (int round = std::uniform_int_distribution(1, 20)(random); round > 0; round--) {
    std::erase_if(players, [&](const std::unique_ptr<Probe>& player) {
      if (player->Report(1, Within(kAnswerWait))) return false;
      Dropped();
      return true;
    });
  }
  for (auto& player : players) player->Report(0, Within(kAnswerWait));
}

void Storm::Garbage(std::mt19937& random) {
  Held held(*this, 1);
  Probe player;
  if (!held || !Connect(player) || Join(player) < 0) return;
  std::vector<BYTE> junk(size_t(std::uniform_int_distribution(1, 4000)(random)));
  for (BYTE& b : junk) b = BYTE(random());
  // The junk may hold a report that leaves, after which the server reads no more.
  player.link.Send(junk.data(), junk.size(), Within(kAnswerWait));
}

void Storm::HalfMessage(std::mt19937& random) {
  Held held(*this, 1);
  Probe player;
  if (!held || !Connect(player) || Join(player) < 0) return;
  player.NextUpdate(Within(kAnswerWait));
  PositionReport report = {TypePositionReport, 500, 500, 0, 1};
  ChatRequest chat = {TypeChatRequest, "half", {}};
  if (Chance(random)) {
    player.link.Send(&report, size_t(std::uniform_int_distribution(1, 6)(random)), Within(kAnswerWait));
  } else {
    player.link.Send(&chat, size_t(std::uniform_int_distribution(1, 199)(random)), Within(kAnswerWait));
  }
  // Often beyond the time the server gives a silent player.
  Pause(Chance(random) ? RandomTime(random, 500, 10000) : RandomTime(random, 20000, 36000));
  size_t bytes = 0;
  if (player.link.Ends(Clock::now(), bytes)) Dropped();
}

void Storm::SilentNewcomer(std::mt19937& random) {
  Held held(*this, 1);
  Probe newcomer;
  if (!held || !Connect(newcomer)) return;
  JoinReply reply = {2, "Half"};
  if (Chance(random)) newcomer.link.Send(&reply, 5, Within(kAnswerWait));
  Pause(RandomTime(random, 200, 7000));
  size_t bytes = 0;
  if (newcomer.link.Ends(Clock::now(), bytes)) Dropped();
}

void Storm::Flood(std::mt19937& random) {
  Held held(*this, 1);
  Probe player;
  if (!held || !Connect(player, Chance(random) ? 4096 : 0) || Join(player) < 0) return;
  std::vector<BYTE> batch;
  for (int i = 0; i < 16; i++) {
    if (Chance(random)) {
      Append(batch, ChatRequest{TypeChatRequest, "flood", {}});
    } else {
      WORD x = WORD(random() % 4000), y = WORD(random() % 4000);
      Append(batch, PositionReport{TypePositionReport, x, y, 0, BYTE(1 + i % 3)});
    }
  }
  Clock::time_point stop = Within(RandomTime(random, 2000, 15000));
  while (Clock::now() < stop) {
    if (!player.link.Send(batch.data(), batch.size(), stop)) {
      if (Clock::now() < stop) Dropped();  // the server gave up on it
      return;
    }
  }
}

void Storm::FullServer(std::mt19937& random) {
  // Fills the free slots with players who never read, then knocks once more.
  int count = std::min(plan_.mostOpen, plan_.freeSlots + 1);
  Held held(*this, count);
  if (!held) return;
  std::vector<std::unique_ptr<Probe>> fillers;
  for (int i = 0; i < count; i++) {
    auto newcomer = std::make_unique<Probe>();
    if (!Connect(*newcomer)) return;
    int slot = Join(*newcomer);
    if (slot == Probe::kRefused) return Refused(*newcomer, random);
    if (slot < 0) return;
    fillers.push_back(std::move(newcomer));
  }
}

void Storm::Refused(Probe& newcomer, std::mt19937& random) {
  switch (std::uniform_int_distribution(0, 2)(random)) {
    case 0: {  // answers; the server closes, and says nothing more
      size_t bytes = 0;
      BYTE answer = 0;
      if (!newcomer.link.Send(answer, Within(kAnswerWait)) || !newcomer.link.Ends(Within(kRefusalEnd), bytes) ||
          bytes > 0) {
        Broke("a refused newcomer got more than the one full-server byte, or was not let go");
      }
      break;
    }
    case 1:  // closes at once
      break;
    default:  // never reads, and stays past the server's wait for it
      Pause(RandomTime(random, 1000, 6000));
      break;
  }
}

void Storm::Reset(std::mt19937& random) {
  Held held(*this, 1);
  Probe player;
  if (!held || !Connect(player) || Join(player) < 0) return;
  player.NextUpdate(Within(kAnswerWait));
  for (int n = std::uniform_int_distribution(0, 20)(random); n > 0 && player.Report(1, Within(kAnswerWait)); n--) {
  }
  PositionReport report = {TypePositionReport, 500, 500, 0, 1};
  if (Chance(random)) player.link.Send(&report, 3, Within(kAnswerWait));
  player.link.Reset();
}
