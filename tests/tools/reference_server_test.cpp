// The reference server answers the game protocol as quendlehost does.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>

#include "tests/server/server_process.h"

namespace {

class ReferenceServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Started());
    ASSERT_TRUE(server_.WaitForLine({"Listening on port 16738"}, kPrompt));
  }
  void TearDown() override {
    server_.Signal(SIGTERM);
    EXPECT_EQ(server_.Wait(kPrompt), 0);
  }

  ChildProcess server_{REFERENCE_SERVER, std::filesystem::temp_directory_path().string(), {}};
};

TEST_F(ReferenceServerTest, JoinsAnswersEachReportOnceAndRelaysChat) {
  std::vector<std::unique_ptr<Player>> players = JoinPlayers(2);
  Player& ann = *players[0];
  Player& bob = *players[1];

  ASSERT_EQ(Exchange(bob, Report(350, 200, LocationByte(0, 3), 2)).type, TypeWorldUpdate);
  WorldUpdate seen = Exchange(ann, Report(10, 20, LocationByte(4, 1), 1));
  ASSERT_EQ(seen.type, TypeWorldUpdate);
  EXPECT_EQ(Image(seen.players[1]), Image(PlayerEntry{350, 200, LocationByte(0, 3), 2}));
  EXPECT_EQ(Image(seen.players[0]), Image(PlayerEntry{10, 20, LocationByte(4, 1), 1}));
  EXPECT_EQ(seen.players[2].state, 0);

  // A second answer to either report would come before the chat line.
  ASSERT_TRUE(ann.Send(Chat("hello")));
  for (Player* player : {&ann, &bob}) {
    Bytes message = NextMessage(*player);
    ASSERT_EQ(message.size(), sizeof(ChatRelay));
    ChatRelay relay = As<ChatRelay>(message);
    EXPECT_EQ(relay.slot, 0);
    EXPECT_EQ(ChatText(relay), "hello");
  }
}

TEST_F(ReferenceServerTest, TheSixteenthGetsOneByteAndIsClosedAfterItsAnswer) {
  std::vector<std::unique_ptr<Player>> players = JoinPlayers(kSlotCount);
  Player sixteenth;
  EXPECT_EQ(sixteenth.Receive(1), Bytes{kServerFull});
  ASSERT_TRUE(sixteenth.Send(BYTE(0)));
  EXPECT_TRUE(sixteenth.Ends());

  // A freed slot goes to the next newcomer, once the server has seen it freed.
  players[4].reset();
  auto deadline = std::chrono::steady_clock::now() + kPrompt;
  WorldUpdate update;
  do {
    update = Exchange(*players[0], Report(0, 0, 0, 1));
    ASSERT_EQ(update.type, TypeWorldUpdate);
  } while (update.players[4].state != 0 && std::chrono::steady_clock::now() < deadline);
  ASSERT_EQ(update.players[4].state, 0);
  Player next;
  std::optional<Welcome> welcome = ReadWelcome(next);
  ASSERT_TRUE(welcome);
  EXPECT_EQ(welcome->slot, 4);
  EXPECT_STREQ(welcome->names[3], "P3");
  EXPECT_EQ(welcome->characters[3], 4);
}

}  // namespace
