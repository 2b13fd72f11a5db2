#include "tests/support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds left until `end` for poll, never negative.
int MsLeft(Clock::time_point end) {
  auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
  return int(std::max<decltype(left)>(left, 0));
}

// Whether `fd` becomes readable (or reaches its end) before `end`.
bool Readable(int fd, Clock::time_point end) {
  while (true) {
    pollfd p = {fd, POLLIN, 0};
    int n = poll(&p, 1, MsLeft(end));
    if (n > 0) return true;
    if (n == 0) return false;
    if (errno != EINTR) return false;
  }
}

// The environment of this process without the variables named in `unset`.
std::vector<std::string> EnvironmentWithout(const std::vector<std::string>& unset) {
  std::vector<std::string> kept;
  for (char** entry = environ; *entry; entry++) {
    std::string variable = *entry;
    std::string name = variable.substr(0, variable.find('='));
    if (std::find(unset.begin(), unset.end(), name) == unset.end()) kept.push_back(variable);
  }
  return kept;
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::string& folder,
                           const std::vector<std::string>& unset, Errors errors,
                           const std::vector<std::string>& arguments) {
  // A child that has gone must fail a write, not end the test with SIGPIPE.
  signal(SIGPIPE, SIG_IGN);
  std::vector<std::string> environment = EnvironmentWithout(unset);
  std::vector<char*> envp;
  for (std::string& variable : environment) envp.push_back(variable.data());
  envp.push_back(nullptr);
  std::string path = program;
  std::vector<std::string> words = arguments;
  std::vector<char*> argv = {path.data()};
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  int in[2], out[2];
  if (pipe2(in, O_CLOEXEC) != 0) return;
  if (pipe2(out, O_CLOEXEC) != 0) {
    close(in[0]);
    close(in[1]);
    return;
  }
  pid_t pid = fork();
  if (pid == 0) {
    // Only async-signal-safe calls between fork and exec. The child must not outlive
    // a test that crashed.
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0) _exit(126);
    if (dup2(in[0], STDIN_FILENO) < 0 || dup2(out[1], STDOUT_FILENO) < 0 || chdir(folder.c_str()) != 0) _exit(126);
    if (errors == Errors::kIntoOutput && dup2(out[1], STDERR_FILENO) < 0) _exit(126);
    execve(path.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  input_ = in[1];
  output_ = out[0];
  if (pid < 0) return;
  pid_ = pid;
  pidfd_ = int(syscall(SYS_pidfd_open, pid, 0));  // lets Wait poll for the end
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0 && !reaped_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, &status_, 0);
  }
  for (int fd : {pidfd_, input_, output_}) {
    if (fd >= 0) close(fd);
  }
}

bool ChildProcess::Write(const std::string& text) {
  for (size_t done = 0; done < text.size();) {
    ssize_t n = write(input_, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += size_t(n);
  }
  return true;
}

std::optional<std::string> ChildProcess::ReadLine(std::chrono::milliseconds timeout) {
  Clock::time_point end = Clock::now() + timeout;
  while (true) {
    size_t lineEnd = unread_.find('\n');
    if (lineEnd != std::string::npos) {
      std::string line = unread_.substr(0, lineEnd);
      unread_.erase(0, lineEnd + 1);
      return line;
    }
    if (outputEnded_ || !Readable(output_, end)) return std::nullopt;
    char buffer[4096];
    ssize_t n = read(output_, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      outputEnded_ = true;
    } else {
      unread_.append(buffer, size_t(n));
    }
  }
}

std::optional<std::string> ChildProcess::WaitForLine(const std::vector<std::string>& wanted,
                                                     std::chrono::milliseconds timeout) {
  Clock::time_point end = Clock::now() + timeout;
  while (std::optional<std::string> line = ReadLine(std::chrono::milliseconds(MsLeft(end)))) {
    if (std::find(wanted.begin(), wanted.end(), *line) != wanted.end()) return line;
  }
  return std::nullopt;
}

void ChildProcess::Signal(int signal) {
  if (pid_ > 0 && !reaped_) kill(pid_, signal);
}

std::optional<int> ChildProcess::Wait(std::chrono::milliseconds timeout) {
  if (pid_ <= 0) return std::nullopt;
  if (!reaped_) {
    if (!Readable(pidfd_, Clock::now() + timeout)) return std::nullopt;
    if (waitpid(pid_, &status_, 0) != pid_) return std::nullopt;
    reaped_ = true;
  }
  if (!WIFEXITED(status_)) return std::nullopt;
  return WEXITSTATUS(status_);
}
