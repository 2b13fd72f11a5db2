// A connection to the game port over plain POSIX sockets in which every wait has a
// deadline, so that a storm connection never hangs on a server that stays silent.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

class TimedLink {
 public:
  using Clock = std::chrono::steady_clock;

  TimedLink() = default;
  ~TimedLink();
  TimedLink(const TimedLink&) = delete;
  TimedLink& operator=(const TimedLink&) = delete;

  // Connects to port 16738 of a dotted IPv4 address within 5 s, from the local address
  // `from` when one is given; a `receiveBuffer` above 0 makes the socket's receive
  // buffer that small, so that a player who never reads falls behind quickly.
  bool Connect(const std::string& address, int receiveBuffer = 0, const std::string& from = "");
  // Sends every byte by the deadline; false when the connection failed or time ran out.
  bool Send(const void* bytes, size_t length, Clock::time_point deadline);
  template <typename T>
  bool Send(const T& record, Clock::time_point deadline) {
    return Send(&record, sizeof record, deadline);
  }
  // As recv, after waiting for a byte until the deadline: the count, 0 at the end of
  // the connection, -1 on failure or when none came.
  int Receive(void* buffer, size_t room, Clock::time_point deadline);
  // Whether the peer ends the connection by the deadline; `bytes` counts what came
  // before the end.
  bool Ends(Clock::time_point deadline, size_t& bytes);

  // Closes in order, or with a reset that drops whatever is unsent.
  void Close();
  void Reset();

 private:
  bool Readable(Clock::time_point deadline);

  int socket_ = -1;
};
