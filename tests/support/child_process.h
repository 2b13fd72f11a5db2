// A program run by a test as a child process: the test writes its standard input and
// reads its standard output line by line; its standard error stays the test's own
// unless the test asks to read it with the output.
// Every wait has a deadline, so a child that hangs fails the test instead of stalling it.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

class ChildProcess {
 public:
  // Where the child's standard error goes.
  enum class Errors { kToTest, kIntoOutput };

  // Starts `program` with `arguments` in `folder`, with the test's environment less the
  // variables named in `unset`. Started() tells whether that worked.
  ChildProcess(const std::string& program, const std::string& folder, const std::vector<std::string>& unset,
               Errors errors = Errors::kToTest, const std::vector<std::string>& arguments = {});
  // Kills the child if it still runs.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return pid_ > 0; }
  // The child's process id, for looking at it under /proc.
  pid_t Pid() const { return pid_; }

  // Writes `text` to the child's standard input.
  bool Write(const std::string& text);

  // The next line of standard output without its line break; nothing when the output
  // ends or the timeout passes first.
  std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);

  // Reads lines until one equals one of `wanted` and returns it; nothing when the
  // output ends or the timeout passes first. The lines read before it are dropped.
  std::optional<std::string> WaitForLine(const std::vector<std::string>& wanted, std::chrono::milliseconds timeout);

  void Signal(int signal);

  // The exit code once the child has ended; nothing when it did not end within the
  // timeout or was ended by a signal.
  std::optional<int> Wait(std::chrono::milliseconds timeout);

 private:
  pid_t pid_ = -1;
  int pidfd_ = -1;
  int input_ = -1;
  int output_ = -1;
  std::string unread_;  // output received after the last line taken
  bool outputEnded_ = false;
  bool reaped_ = false;
  int status_ = 0;
};
