// The storm: threads that, until the end of the run, keep picking one way to treat
// the server badly and doing it, with the slots the steady bots leave free and with a
// full server:
//   a  a burst of players who join, play a few exchanges and leave properly;
//   b  a player who joins, sends random bytes and closes;
//   c  a player who joins, sends part of a message and goes silent (up to 36 s);
//   d  a newcomer who never answers the Welcome, or answers half of it;
//   e  a player who sends reports and chat lines as fast as it can and never reads;
//   f  a newcomer to a full server (the storm fills it first), who answers the
//      full-server byte, closes at once, or never reads;
//   g  a player who plays a little and resets the connection.
// At most a handful of storm connections are open at once, so that the machine is
// left to the server and the steady bots. On this machine each storm thread comes from a
// loopback address of its own (127.0.0.2 and up), as another client would.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

struct StormPlan {
  std::string address = "127.0.0.1";
  int freeSlots = 3;  // the slots the steady bots leave
  int threads = 6;
  int mostOpen = 6;  // storm connections open at once
  unsigned seed = 1;
  std::string kinds = "abcdefg";  // the first picks go through them in order
};

class Probe;

class Storm {
 public:
  using Clock = std::chrono::steady_clock;

  // Starts the storm threads; they begin at `begin` and end by `end`.
  Storm(const StormPlan& plan, Clock::time_point begin, Clock::time_point end);
  // Waits for the threads.
  ~Storm();
  Storm(const Storm&) = delete;
  Storm& operator=(const Storm&) = delete;

  void Wait();

  // "storm a A b B ... g G joined J refused R dropped D": attempts by kind, storm
  // connections that joined or were refused, and those the server gave up on.
  std::string Counts() const;
  // The first promise the server broke to a storm connection, or empty.
  std::string Fault();

 private:
  static constexpr int kKinds = 7;
  class Held;

  // Storm thread number `thread`.
  void Run(int thread, unsigned seed, Clock::time_point begin);
  int Pick(std::mt19937& random);
  // At most `mostOpen` connections: waits for room for `count` more; false at the end.
  bool Open(int count);
  void Closed(int count);
  // `wait` from now, or the end of the run if that comes first.
  Clock::time_point Within(Clock::duration wait) const;
  void Pause(std::chrono::milliseconds wait) const;
  bool Over() const { return Clock::now() >= end_; }
  // Records a promise the server broke, unless the end of the run cut the wait short.
  void Broke(const std::string& promise);
  // Counts a connection the server ended on its own, unless the run was over.
  void Dropped();
  bool Connect(Probe& probe, int receiveBuffer = 0);
  // Probe::Join, counted: the slot, or below 0.
  int Join(Probe& probe);

  void Burst(std::mt19937& random);
  void Garbage(std::mt19937& random);
  void HalfMessage(std::mt19937& random);
  void SilentNewcomer(std::mt19937& random);
  void Flood(std::mt19937& random);
  void FullServer(std::mt19937& random);
  void Refused(Probe& newcomer, std::mt19937& random);
  void Reset(std::mt19937& random);

  const StormPlan plan_;
  const Clock::time_point end_;
  std::array<std::atomic<long>, kKinds> attempts_{};
  std::atomic<long> picks_{0}, joined_{0}, refused_{0}, dropped_{0};

  std::mutex mutex_;
  std::condition_variable room_;
  int open_ = 0;
  std::string fault_;
  std::vector<std::thread> threads_;
};
