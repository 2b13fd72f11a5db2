// Several whole clients, each in a process of its own and worked through its window
// procedure, play together against the real quendlehost.
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "tests/client/together/driven_client.h"
#include "tests/server/server_process.h"

namespace {

constexpr int kLeft = 37, kUp = 38, kRight = 39;

class PlayTogether : public HostTest {
 protected:
  // A new client, started at once; it joins when the test says.
  DrivenClient& Client() {
    clients_.push_back(std::make_unique<DrivenClient>());
    return *clients_.back();
  }

  // Every client must end cleanly, which also fails a test whose client a sanitizer
  // found fault with.
  void TearDown() override {
    for (const std::unique_ptr<DrivenClient>& client : clients_) EXPECT_EQ(client->Quit(), 0);
    HostTest::TearDown();
  }

 private:
  std::vector<std::unique_ptr<DrivenClient>> clients_;
};

// "X Y MAP DIRECTION ACTIVE MOVING" of a player in the game on the main map, as a
// `player` query answers.
std::string Seen(const LocalView& player, int direction, int moving) {
  return std::to_string(player.x) + " " + std::to_string(player.y) + " 0 " + std::to_string(direction) + " 1 " +
         std::to_string(moving);
}

// Reports `report` until the server's answer names `it` as "it".
testing::AssertionResult ReportUntilIt(Player& player, const PositionReport& report, int it) {
  auto deadline = std::chrono::steady_clock::now() + kPrompt;
  WorldUpdate update = {};
  while (std::chrono::steady_clock::now() < deadline) {
    update = Exchange(player, report);
    if (update.type != TypeWorldUpdate) return testing::AssertionFailure() << "no answer to a report";
    if (update.it == it) return testing::AssertionSuccess();
  }
  testing::AssertionResult failure = testing::AssertionFailure() << "\"it\" stayed " << int(update.it) << "; slots";
  for (const PlayerEntry& p : update.players) {
    failure << " (" << p.x << " " << p.y << " " << int(p.location) << " " << int(p.state) << ")";
  }
  return failure;
}

TEST_F(PlayTogether, EachSeesWhereTheOtherIsFacesAndWalks) {
  DrivenClient& ann = Client();
  DrivenClient& bob = Client();
  ASSERT_TRUE(ann.Join("Ann"));
  ASSERT_TRUE(bob.Join("Bob"));
  // Each stands at its slot's start point, facing down.
  EXPECT_TRUE(ann.Shows("player 1", "1100 230 0 0 1 0"));
  EXPECT_TRUE(bob.Shows("player 0", "350 200 0 0 1 0"));

  // Ann walks right: the first tick only turns her, the other five move her.
  ASSERT_TRUE(ann.Walk(kRight, 6));
  LocalView walking = ann.Me();
  EXPECT_EQ(walking.x, 350 + 5 * 7);
  EXPECT_TRUE(bob.Shows("player 0", Seen(walking, 3, 1)));
  ASSERT_TRUE(ann.Stop());
  EXPECT_TRUE(bob.Shows("player 0", Seen(ann.Me(), 3, 0)));

  // Bob walks left, then up and left, and stops facing up-left.
  ASSERT_TRUE(bob.Walk(kLeft, 8));
  EXPECT_TRUE(ann.Shows("player 1", Seen(bob.Me(), 1, 1)));
  ASSERT_TRUE(bob.Walk(kUp, 2));
  EXPECT_TRUE(ann.Shows("player 1", Seen(bob.Me(), 9, 1)));
  ASSERT_TRUE(bob.Stop());
  LocalView standing = bob.Me();
  EXPECT_LT(standing.y, 230);
  EXPECT_TRUE(ann.Shows("player 1", Seen(standing, 9, 0)));
}

TEST_F(PlayTogether, ChatLinesReachEveryoneAndTheFifthScrollsTheFirstOut) {
  DrivenClient& ann = Client();
  DrivenClient& bob = Client();
  ASSERT_TRUE(ann.Join("Ann"));
  ASSERT_TRUE(bob.Join("Bob"));
  struct Line {
    DrivenClient* writer;
    std::string name, text;
  };
  const Line lines[] = {{&ann, "Ann", "hello bob"},
                        {&bob, "Bob", "hi ann"},
                        {&ann, "Ann", "line three"},
                        {&bob, "Bob", "line 4"},
                        {&ann, "Ann", "and the fifth"}};
  std::deque<std::string> shown(4);
  for (const Line& line : lines) {
    ASSERT_TRUE(line.writer->Say(line.text));
    shown.pop_front();
    shown.push_back(line.name + ":&> " + line.text);
    const std::string expected = shown[0] + "|" + shown[1] + "|" + shown[2] + "|" + shown[3];
    // Each line is shown before the next is typed, which would otherwise join it.
    for (DrivenClient* reader : {&ann, &bob}) ASSERT_TRUE(reader->Shows("chat", expected));
  }
  EXPECT_EQ(ann.Ask("chat"), "Bob:&> hi ann|Ann:&> line three|Bob:&> line 4|Ann:&> and the fifth");
}

TEST_F(PlayTogether, ATouchPassesItAndOnlyTheTwoConcernedHearIt) {
  DrivenClient& ann = Client();
  DrivenClient& bob = Client();
  DrivenClient& cid = Client();
  // A player alone on the server becomes "it"; the three clients join after him, into
  // slots 1 (1100, 230), 2 (1600, 200) and 3 (500, 500). He waits on another map: until
  // a newcomer's first report, the server has it at (0, 0) on the main map.
  auto rex = std::make_unique<Player>();
  ASSERT_EQ(Join(*rex, 1, "Rex"), 0);
  ASSERT_TRUE(ReportUntilIt(*rex, Report(0, 0, 9 << 4, 1), 0));
  ASSERT_TRUE(ann.Join("Ann"));
  ASSERT_TRUE(bob.Join("Bob"));
  ASSERT_TRUE(cid.Join("Cid"));
  // Rex steps onto Ann, which makes her "it", and leaves before she can tag him back.
  ASSERT_TRUE(ReportUntilIt(*rex, Report(1100, 230, 0, 1), 1));
  rex.reset();
  for (DrivenClient* client : {&ann, &bob, &cid}) {
    ASSERT_TRUE(client->Shows("it", "1"));
    // An update after the one that passed "it" to Ann: any sound of that one has started.
    ASSERT_TRUE(client->Shows("player 0", "1100 230 0 0 0 0"));
    ASSERT_TRUE(client->Does("hush"));
  }

  // Bob walks left along the road until his box overlaps Ann's: the server passes
  // "it" to him. He steps back out at once, before she could tag him back.
  ASSERT_TRUE(bob.Walk(kLeft, 70));
  ASSERT_TRUE(bob.Stop());
  ASSERT_EQ(bob.Me().x, 1600 - 70 * 7) << "something stopped Bob on the road";
  ASSERT_TRUE(bob.Shows("it", "2"));
  ASSERT_TRUE(bob.Walk(kRight, 6));
  ASSERT_TRUE(bob.Stop());
  LocalView away = bob.Me();
  EXPECT_GE(away.x, 1100 + 32);

  EXPECT_TRUE(bob.Shows("sound", "Whop2"));
  EXPECT_TRUE(ann.Shows("sound", "Whop2"));
  for (DrivenClient* client : {&ann, &cid}) {
    EXPECT_TRUE(client->Shows("it", "2"));
    // Bob's steps back came after the tag, so Cid has handled the tag by now.
    EXPECT_TRUE(client->Shows("player 2", Seen(away, 3, 0)));
  }
  EXPECT_EQ(cid.Ask("sound"), "none");
}

TEST_F(PlayTogether, AKickEndsOnlyTheKickedPlayersConnection) {
  DrivenClient& ann = Client();
  DrivenClient& bob = Client();
  DrivenClient& cid = Client();
  ASSERT_TRUE(ann.Join("Ann"));
  ASSERT_TRUE(bob.Join("Bob"));
  ASSERT_TRUE(cid.Join("Cid"));
  // Ann and Bob have heard of everyone who came after them; Cid's welcome named them.
  ASSERT_TRUE(ann.Shows("status", "Cid has joined!!!"));
  ASSERT_TRUE(bob.Shows("status", "Cid has joined!!!"));
  for (DrivenClient* client : {&ann, &cid}) ASSERT_TRUE(client->Shows("player 1", "1100 230 0 0 1 0"));

  server_.Kick(1);
  for (DrivenClient* client : {&ann, &bob, &cid}) EXPECT_TRUE(client->Shows("status", "Bob was kicked!"));
  EXPECT_TRUE(bob.Shows("connected", "0"));
  for (DrivenClient* client : {&ann, &cid}) {
    // Their updates go on, and show Bob's slot free.
    EXPECT_TRUE(client->Shows("player 1", "1100 230 0 0 0 0"));
    EXPECT_EQ(client->Ask("connected"), "1");
  }
  EXPECT_EQ(server_.ListOnceItShows(Rows({"Ann", "-Empty-", "Cid"})), Rows({"Ann", "-Empty-", "Cid"}));
}

TEST_F(PlayTogether, ASixteenthClientIsTurnedAway) {
  DrivenClient& ed = Client();
  std::vector<std::unique_ptr<Player>> fifteen = JoinPlayers(15);
  ASSERT_TRUE(ed.Does("name Ed"));
  ASSERT_TRUE(ed.Does("go"));
  EXPECT_TRUE(ed.Shows("status", "Too many users on server"));
  EXPECT_EQ(ed.Ask("connected"), "0");
  std::vector<std::string> names;
  for (int i = 0; i < 15; i++) names.push_back("P" + std::to_string(i));
  EXPECT_EQ(server_.ListOnceItShows(Rows(names)), Rows(names));
}

TEST_F(PlayTogether, GoReconnectsOnceAStoppedServerIsBack) {
  DrivenClient& ann = Client();
  ASSERT_TRUE(ann.Join("Ann"));
  ASSERT_EQ(server_.ListOnceItShows(Rows({"Ann"})), Rows({"Ann"}));
  ASSERT_EQ(StopServer(), 0);
  EXPECT_TRUE(ann.Shows("status", "Server disconnected"));
  EXPECT_EQ(ann.Ask("connected"), "0");

  ServerProcess again;
  ASSERT_TRUE(again.Listening());
  ASSERT_TRUE(ann.Join("Ann"));
  EXPECT_EQ(again.ListOnceItShows(Rows({"Ann"})), Rows({"Ann"}));
  EXPECT_EQ(again.Stop(), 0);
}

}  // namespace
