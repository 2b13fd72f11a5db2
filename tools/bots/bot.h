// One bot: a player that joins a server and plays by the client's rules. It walks the
// main map tick by tick with the client's collision code (never through a wall, never
// through a door), chases the nearest player and throws psi at players in line while
// it is "it", flees from "it" otherwise, and now and then says something. It answers
// every world update at once with its position, as the client does. Its chat lines
// start with its name and their number ("Bot3 #12 run!"), so that whoever hears them
// can tell whether one went missing.
#pragma once

#include <chrono>
#include <random>
#include <string>

#include "protocol/messages.h"
#include "tools/bots/link.h"
#include "tools/bots/stats.h"
#include "tools/bots/town.h"

// How long a bot waits between two chat lines: a random time between these two.
struct ChatPause {
  std::chrono::milliseconds least{15000}, most{45000};
};

class Bot {
 public:
  Bot(int number, const Town& town, Stats& stats, ChatPause chatPause = {});

  // Connects and joins with this bot's name and character; false when the server
  // could not be reached, was full, or ended the connection.
  bool Join(const std::string& address);
  // Plays until the connection ends or Stop is called.
  void Play();
  void Stop();

  const std::string& Name() const { return name_; }

 private:
  using Clock = std::chrono::steady_clock;

  void Handle(const BYTE* message, int length);
  void TakeUpdate(const WorldUpdate& update);
  void Walk(int ticks);
  short Choose();
  void MaybeThrow();
  void Hear(const ChatRelay& relay);
  void MaybeChat();
  void PlanChat(Clock::time_point now);
  bool SendReport();

  int number_;
  std::string name_;
  BYTE character_;
  const Town& town_;
  Stats& stats_;
  ChatPause chatPause_;
  Link link_;
  std::mt19937 random_;

  BYTE slot_ = 0;
  WorldUpdate seen_ = {};  // the last update: where everyone is, and who is "it"
  int x_ = 0, y_ = 0;
  short direction_ = 0;
  short wander_ = 0;     // a direction taken for a while when the greedy one is stuck
  int wanderTicks_ = 0;
  int animation_ = 0;    // ticks walked, for the walking frame
  Clock::time_point started_, reportSent_, nextThrow_, nextChat_;
  long ticksDone_ = 0;
};
