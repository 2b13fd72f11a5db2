// Admission: the handshake, the choice of slot, the full server and names.
#include <gtest/gtest.h>

#include "tests/server/server_process.h"

namespace {

Bytes NameField(const std::string& name) {
  Bytes field(kNameField, 0);
  std::copy(name.begin(), name.end(), field.begin());
  return field;
}

Bytes NameOf(const Welcome& welcome, int slot) { return Bytes(welcome.names[slot], welcome.names[slot] + kNameField); }

PlayerJoined Joined(int slot, const std::string& name, BYTE character) {
  PlayerJoined joined = {TypeNotice, KindPlayerJoined, BYTE(slot), {}, character};
  std::copy(name.begin(), name.end(), joined.name);
  return joined;
}

TEST_F(HostTest, TheHandshake) {
  Player ann;
  std::optional<Welcome> welcome = ReadWelcome(ann);
  ASSERT_TRUE(welcome);
  EXPECT_EQ(welcome->slot, 0);
  for (int k = 0; k < kSlotCount; k++) {
    EXPECT_EQ(NameOf(*welcome, k), NameField("")) << "slot " << k << " was never used";
    EXPECT_EQ(welcome->characters[k], 2);
  }
  EXPECT_TRUE(server_.Shows({"Client(s) connected!"}));
  ASSERT_TRUE(ann.Send(Reply(4, "Ann")));
  // Its own PlayerJoined and a first WorldUpdate come without anything more from it.
  Bytes first = NextMessage(ann), second = NextMessage(ann);
  if (first.size() != sizeof(PlayerJoined)) std::swap(first, second);
  EXPECT_EQ(first, Image(Joined(0, "Ann", 4)));
  ASSERT_EQ(second.size(), sizeof(WorldUpdate));
  EXPECT_EQ(second[0], TypeWorldUpdate);
  EXPECT_TRUE(server_.Shows({"Ann"}));

  // The next newcomer is told the last name and character of every slot.
  Player bob;
  welcome = ReadWelcome(bob);
  ASSERT_TRUE(welcome);
  EXPECT_EQ(welcome->slot, 1);
  EXPECT_EQ(NameOf(*welcome, 0), NameField("Ann"));
  EXPECT_EQ(welcome->characters[0], 4);
  EXPECT_EQ(NameOf(*welcome, 1), NameField(""));
  EXPECT_EQ(welcome->characters[1], 2);
  ASSERT_TRUE(bob.Send(Reply(1, "Bob")));
  EXPECT_EQ(NextNotice(ann), Image(Joined(1, "Bob", 1)));
  EXPECT_EQ(NextNotice(bob), Image(Joined(1, "Bob", 1)));
  EXPECT_TRUE(server_.Shows({"Bob"}));
}

TEST_F(HostTest, ANewcomerTakesTheLowestFreeSlot) {
  std::vector<std::unique_ptr<Player>> players = JoinPlayers(3);

  // Slot 1 is left by closing the connection...
  players[1].reset();
  EXPECT_TRUE(server_.Shows({"Player left!"}));
  ASSERT_EQ(server_.ListOnceItShows(Rows({"P0", "-Empty-", "P2"})), Rows({"P0", "-Empty-", "P2"}));
  Player dan;
  EXPECT_EQ(Join(dan, 3, "Dan"), 1);

  // ...and slot 2 by the state code 0, after which the server closes the connection
  // without answering.
  EXPECT_EQ(As<PlayerJoined>(NextNotice(*players[2])).slot, 1);
  ASSERT_TRUE(players[2]->Send(Report(100, 100, 0, 0)));
  EXPECT_TRUE(players[2]->Ends());
  Player eve;
  EXPECT_EQ(Join(eve, 3, "Eve"), 2);
  Player fay;
  EXPECT_EQ(Join(fay, 3, "Fay"), 3);
}

// Two newcomers answer their Welcomes at the same time: the one who joins second hears
// of the first before it hears of itself, as those who were in already hear of both.
TEST_F(HostTest, ANewcomerHearsOfWhoJoinedWhileItAnswered) {
  std::vector<std::unique_ptr<Player>> players = JoinPlayers(1);
  Player ann, bob;
  std::optional<Welcome> annWelcome = ReadWelcome(ann), bobWelcome = ReadWelcome(bob);
  ASSERT_TRUE(annWelcome && bobWelcome);
  EXPECT_EQ(annWelcome->slot, 1);
  EXPECT_EQ(bobWelcome->slot, 2);
  EXPECT_EQ(NameOf(*bobWelcome, 1), NameField(""));

  ASSERT_TRUE(ann.Send(Reply(3, "Ann")));
  EXPECT_EQ(NextNotice(ann), Image(Joined(1, "Ann", 3)));
  ASSERT_TRUE(bob.Send(Reply(4, "Bob")));
  EXPECT_EQ(NextNotice(bob), Image(Joined(1, "Ann", 3)));
  EXPECT_EQ(NextNotice(bob), Image(Joined(2, "Bob", 4)));
  EXPECT_EQ(NextNotice(ann), Image(Joined(2, "Bob", 4)));
  EXPECT_EQ(NextNotice(*players[0]), Image(Joined(1, "Ann", 3)));
  EXPECT_EQ(NextNotice(*players[0]), Image(Joined(2, "Bob", 4)));
}

TEST_F(HostTest, TheSixteenthGetsOneByteAndTheFifteenAreUndisturbed) {
  std::vector<std::unique_ptr<Player>> players = JoinPlayers(kSlotCount);
  Player sixteenth;
  EXPECT_EQ(sixteenth.Receive(1), Bytes{kServerFull});
  ASSERT_TRUE(sixteenth.Send("x", 1));
  EXPECT_TRUE(sixteenth.Ends());

  // Nobody was told of it: the next notice of each is a chat line, and each is served.
  ASSERT_TRUE(players[0]->Send(Chat("still here")));
  for (auto& player : players) {
    auto relay = As<ChatRelay>(NextNotice(*player));
    EXPECT_EQ(relay.kind, KindChatRelay);
    EXPECT_EQ(ChatText(relay), "still here");
    EXPECT_EQ(Exchange(*player, Report(10, 10, 0, 1)).type, TypeWorldUpdate);
  }
}

TEST_F(HostTest, NamesArriveWholeAndCut) {
  Player observer;
  ASSERT_EQ(Join(observer, 1, "Obs"), 0);
  const struct {
    std::string sent;  // the nine name bytes of the JoinReply
    std::string name;
  } cases[] = {
      {"Abcdefghi", "Abcdefghi"},  // nine characters: no terminator on the wire
      {std::string("Al\0garbag", 9), "Al"},
  };
  std::vector<std::unique_ptr<Player>> players;
  for (int i = 0; i < 2; i++) {
    SCOPED_TRACE(cases[i].name);
    players.push_back(std::make_unique<Player>());
    ASSERT_EQ(Join(*players.back(), BYTE(3 + i), cases[i].sent), i + 1);
    EXPECT_EQ(NextNotice(observer), Image(Joined(i + 1, cases[i].name, BYTE(3 + i))));
    EXPECT_TRUE(server_.Shows({cases[i].name}));
  }
  EXPECT_EQ(server_.ListOnceItShows(Rows({"Obs", "Abcdefghi", "Al"})), Rows({"Obs", "Abcdefghi", "Al"}));
  Player next;
  std::optional<Welcome> welcome = ReadWelcome(next);
  ASSERT_TRUE(welcome);
  EXPECT_EQ(NameOf(*welcome, 1), NameField("Abcdefghi"));
  EXPECT_EQ(NameOf(*welcome, 2), NameField("Al"));
  EXPECT_EQ(welcome->characters[2], 4);
}

}  // namespace
