// One storm connection speaking the protocol, as far as the storm needs it: the
// greeting, the join, and position reports with their answers.
#pragma once

#include "protocol/stream.h"
#include "tools/soak/timed_link.h"

class Probe {
 public:
  using Clock = TimedLink::Clock;
  static constexpr int kRefused = -2;  // the server was full

  // Reads the first message and answers a Welcome with a JoinReply: the slot it
  // gives, kRefused for the full-server byte alone, -1 when neither came by the
  // deadline.
  int Join(Clock::time_point deadline);
  // Reads messages until a WorldUpdate, which it keeps in `update` when one is given;
  // false when none came by the deadline.
  bool NextUpdate(Clock::time_point deadline, WorldUpdate* update = nullptr);
  // Sends a position report with state code `state` and, unless that leaves (0),
  // waits for its answer.
  bool Report(BYTE state, Clock::time_point deadline, WorldUpdate* update = nullptr);

  TimedLink link;

 private:
  int Greeting(Clock::time_point deadline);

  MessageStream stream_ = {};
};
