// quendlehost run by a test: a child process in a fresh temporary folder, without a
// display, so that it prints every status text as one line on standard output and
// takes the operator's commands (`list`, `kick N`) on standard input.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/server/player.h"
#include "tests/support/child_process.h"

class ServerProcess {
 public:
  // Starts the server and waits until it listens.
  ServerProcess();
  // Kills the server if it still runs and removes its folder.
  ~ServerProcess();
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  bool Listening() const { return listening_; }

  // Waits for a status text that is one of `texts` and returns it.
  std::optional<std::string> Shows(const std::vector<std::string>& texts, std::chrono::milliseconds timeout = kPrompt);

  // The fifteen rows of the player list, asked for until they equal `expected` (the
  // list is refreshed a moment after the status text of a join or leave); the rows
  // last seen.
  std::vector<std::string> ListOnceItShows(const std::vector<std::string>& expected);

  // Kicks slot `slot` as selecting its row and pressing "Kick" does.
  void Kick(int slot);

  // Ends the server as closing its window does; its exit code.
  std::optional<int> Stop();

 private:
  std::vector<std::string> List();

  std::filesystem::path folder_;
  std::unique_ptr<ChildProcess> process_;
  bool listening_ = false;
};

// A test with a server of its own that listens on the game port. The server must end
// with exit code 0 when the test is over, which also fails a test whose server a
// sanitizer found fault with.
class HostTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.Listening()); }
  void TearDown() override {
    if (!stopped_) {
      EXPECT_EQ(server_.Stop(), 0);
    }
  }
  std::optional<int> StopServer() {
    stopped_ = true;
    return server_.Stop();
  }

  ServerProcess server_;

 private:
  bool stopped_ = false;
};

// Joins `count` players with the names "P0", "P1"... into slots 0, 1..., and takes
// from each the PlayerJoined of those who came after it, so that nothing is pending.
std::vector<std::unique_ptr<Player>> JoinPlayers(int count);

// The fifteen rows of a player list holding `names` in slots 0, 1... and the rest empty.
std::vector<std::string> Rows(const std::vector<std::string>& names);
