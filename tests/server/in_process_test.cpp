// quendlehost's own code in this process, with its window on the test desktop: for what
// only happens when the system fails it, such as a thread that cannot be started.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "platform/testing.h"
#include "server/server.h"
#include "tests/server/player.h"

namespace {

// The rows of the player list.
std::vector<std::string> ListRows() {
  std::vector<std::string> rows;
  for (int i = 0; i < kSlotCount; i++) {
    char row[64] = "";
    if (SendMessageA(playerList, LB_GETTEXTLEN, WPARAM(i), 0) < LRESULT(sizeof row)) {
      SendMessageA(playerList, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(row));
    }
    rows.push_back(row);
  }
  return rows;
}

// The rows once they are `expected` (the list is refreshed a moment after a join or a
// leave), or the last rows seen.
std::vector<std::string> RowsOnceThey(const std::vector<std::string>& expected) {
  const auto deadline = std::chrono::steady_clock::now() + kPrompt;
  std::vector<std::string> rows = ListRows();
  while (rows != expected && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::yield();
    rows = ListRows();
  }
  return rows;
}

std::vector<std::string> RowsOf(const std::vector<std::string>& names) {
  std::vector<std::string> rows(kSlotCount, "-Empty-");
  std::copy(names.begin(), names.end(), rows.begin());
  return rows;
}

// Ann joins; Bob's client thread cannot be started; Cid comes after him.
void NewcomerWithoutAThread() {
  Player ann;
  ASSERT_EQ(Join(ann, 1, "Ann"), 0);
  RefuseThreadsOf(ClientLoop);
  Player bob;
  std::optional<Welcome> welcome = ReadWelcome(bob);
  ASSERT_TRUE(welcome);
  ASSERT_TRUE(bob.Send(Reply(2, "Bob")));
  while (!NextMessage(bob).empty()) {
  }
  EXPECT_TRUE(bob.Ended()) << "nobody would read Bob: the server lets him go";
  EXPECT_EQ(RowsOnceThey(RowsOf({"Ann"})), RowsOf({"Ann"}));

  RefuseThreadsOf(nullptr);
  Player cid;
  EXPECT_EQ(Join(cid, 3, "Cid"), 1) << "Bob's slot is free again";
  EXPECT_EQ(RowsOnceThey(RowsOf({"Ann", "Cid"})), RowsOf({"Ann", "Cid"}));
}

class ServerHere : public testing::Test {
 protected:
  void SetUp() override {
    UseTestDesktop();
    ASSERT_TRUE(OpenServerWindow(nullptr, SW_SHOW));
    ServerInit();
  }
  void TearDown() override {
    RefuseThreadsOf(nullptr);
    ServerShutdown();
  }

  // Runs the players' part on a thread of its own while this thread, the server's main
  // thread, runs its window: the server's other threads hand window calls to it.
  static void Play(const std::function<void()>& players) {
    std::atomic<bool> done = false;
    std::thread playing([&] {
      players();
      done = true;
    });
    while (!done) {
      PumpMessages();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    playing.join();
  }
};

TEST_F(ServerHere, ANewcomerWhoseThreadCannotStartLeavesNothingBehind) {
  Play(NewcomerWithoutAThread);
  EXPECT_EQ(StaleSocketCloses(), 0);
}

}  // namespace
