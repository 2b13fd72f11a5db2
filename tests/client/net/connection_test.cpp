// The client's connection against a server scripted here: the join, what each message
// from the server does to the world and the window, what the client sends back, and
// every way a connection ends. The client runs in this process and is driven through
// its window procedure.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "client/net/net.h"
#include "client/shell/shell.h"
#include "client/world/level.h"
#include "client/world/world.h"
#include "platform/sound.h"
#include "platform/testing.h"
#include "protocol/messages.h"
#include "tests/client/net/fake_server.h"
#include "tests/client/support/client_harness.h"

namespace {

// A text field of the wire, zero after the text; a text as long as the field has no
// terminator.
template <size_t N>
void Put(char (&field)[N], std::string_view text) {
  memcpy(field, text.data(), std::min(N, text.size()));
}

struct Seat {
  int slot;
  const char* name;  // up to 10 characters
  BYTE character;
};

Welcome Greeting(BYTE slot, const std::vector<Seat>& others = {}) {
  Welcome welcome = {};
  welcome.slot = slot;
  for (const Seat& seat : others) {
    Put(welcome.names[seat.slot], seat.name);
    welcome.characters[seat.slot] = seat.character;
  }
  return welcome;
}

WorldUpdate Update(BYTE it) {
  WorldUpdate update = {};
  update.type = TypeWorldUpdate;
  update.it = it;
  for (ShotEntry& shot : update.shots) shot.mode = 2;
  return update;
}

Bytes Joined(BYTE slot, const char* name, BYTE character) {
  PlayerJoined join = {TypeNotice, KindPlayerJoined, slot, {}, character};
  Put(join.name, name);
  const auto* bytes = reinterpret_cast<const BYTE*>(&join);
  return Bytes(bytes, bytes + sizeof join);
}

ChatRelay Relay(BYTE slot, const std::string& text) {
  ChatRelay relay = {TypeNotice, KindChatRelay, slot, {}, 0, {}};
  Put(relay.text, text);
  return relay;
}

template <typename T>
Bytes Image(const T& record) {
  const auto* bytes = reinterpret_cast<const BYTE*>(&record);
  return Bytes(bytes, bytes + sizeof record);
}

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

template <typename F>
auto InWorld(F read) {
  std::lock_guard lock(worldLock);
  return read();
}

bool IsConnected() {
  return InWorld([] { return connected == 1; });
}

// Whether "Go!" works again: the attempt's last thread has ended.
bool AttemptOver() { return !ConnectionBusy(); }

// What the audio device was last handed: the tag sound, or nothing since StopSound.
bool TagSoundPlays() {
  return sound_internal::CurrentSamples() ==
         sound_internal::LoadWavSamples("sounds/Whop2.wav", sound_internal::kDeviceRate,
                                        sound_internal::kDeviceChannels);
}
void StopSound() { PlaySoundA(nullptr, nullptr, 0); }

class Connection : public testing::Test {
 protected:
  void SetUp() override {
    OpenClient();
    ASSERT_TRUE(server_.Listening());
  }

  static void PressGo() {
    ClickAt(mainWindow, 590, 390);
    PumpMessages();
  }
  static void PressSay() {
    ClickAt(mainWindow, 590, 443);
    PumpMessages();
  }
  // Enter in the play view, then the text typed into the chat box, which has the keys
  // once the Enter has been handled.
  static void TypeChat(const char* text) {
    PressKey(VK_RETURN);
    PumpMessages();
    ReleaseKey(VK_RETURN);
    TypeText(text);
    PumpMessages();
  }

  // "Go!", the greeting, and the JoinReply that answers it.
  JoinReply Join(const Welcome& welcome) {
    PressGo();
    if (!server_.Accept() || !server_.Send(welcome)) return {};
    JoinReply reply = server_.ReceiveRecord<JoinReply>();
    EXPECT_TRUE(PumpUntil(IsConnected));
    return reply;
  }

  // Passes over the reports that answer updates sent so far: a chat line asked for now
  // goes out after them, with the answer to a notice.
  void SkipReportsUntilChat() {
    TypeChat("sync");
    PressSay();
    ASSERT_TRUE(server_.Send(Relay(1, "sync")));
    for (Bytes type = server_.Receive(1); !type.empty(); type = server_.Receive(1)) {
      if (type[0] == TypeChatRequest) {
        ASSERT_EQ(server_.Receive(sizeof(ChatRequest) - 1).size(), sizeof(ChatRequest) - 1);
        return;
      }
      ASSERT_EQ(type[0], TypePositionReport);
      ASSERT_EQ(server_.Receive(sizeof(PositionReport) - 1).size(), sizeof(PositionReport) - 1);
    }
    FAIL() << "no chat line came";
  }

  // Sends `bytes` and takes the position report that answers them.
  PositionReport Answer(const Bytes& bytes) {
    EXPECT_TRUE(server_.Send(bytes));
    return server_.ReceiveRecord<PositionReport>();
  }

  // Frames of play with an arrow held: the local player walks and everybody is drawn.
  static void Walk(int arrow, int ticks) {
    PressKey(arrow);
    for (int tick = 0; tick < ticks; tick++) AdvanceClock(40), PumpMessages();
    ReleaseKey(arrow);
    PumpMessages();
  }

  GameFolder folder_;
  FakeServer server_;
};

TEST_F(Connection, TheJoinTellsWhoPlaysAndMakesTheGivenSlotWhollyTheLocalPlayers) {
  SetWindowTextA(nameBox, "Annabella Longname");
  ClickAt(mainWindow, 2 * 75 + 20, 359 + 10);  // the third character
  InWorld([] {
    // The player walked on slot 0; slot 4 last showed someone else walking on map 5.
    players[0].direction = DirRight, players[0].frame = 1, players[0].moving = 1;
    players[4].map = 5, players[4].direction = DirUp, players[4].frame = 1, players[4].moving = 1;
    return 0;
  });
  JoinReply reply = Join(Greeting(4, {{1, "Bob", 2}, {7, "ABCDEFGHIJ", 5}}));
  EXPECT_EQ(reply.character, 3);
  EXPECT_EQ(std::string(reply.name, sizeof reply.name), "Annabella");
  EXPECT_EQ(TextOf(mainWindow), "Annabella");
  EXPECT_EQ(TextOf(statusBox), "Host found!");
  InWorld([] {
    EXPECT_EQ(localSlot, 4);
    const Actor& me = players[4];
    EXPECT_EQ(me.x, SpawnTable[4].x);
    EXPECT_EQ(me.y, SpawnTable[4].y);
    EXPECT_EQ(scrollX, me.x - 310);
    EXPECT_EQ(scrollY, me.y - 200);
    EXPECT_EQ(me.map, 0);
    EXPECT_EQ(me.direction, DirRight);
    EXPECT_EQ(me.frame, 0);
    EXPECT_EQ(me.moving, 0);
    EXPECT_EQ(me.active, 1);
    EXPECT_EQ(me.character, 3);
    EXPECT_STREQ(me.name, "Annabella");
    EXPECT_STREQ(players[1].name, "Bob");
    EXPECT_EQ(players[1].character, 2);
    EXPECT_STREQ(players[7].name, "ABCDEFGHIJ");
    EXPECT_EQ(players[0].active, 0) << "the old slot is someone else's now";
    return 0;
  });
  PositionReport report = Answer(Image(Update(0)));
  EXPECT_EQ(report.type, TypePositionReport);
  EXPECT_EQ(int(report.x), SpawnTable[4].x);  // by value: the record is packed
  EXPECT_EQ(int(report.y), SpawnTable[4].y);
  EXPECT_EQ(report.location, LocationByte(0, DirRight));
  EXPECT_EQ(report.state, 1);
}

TEST_F(Connection, WithNoCharacterChosenTheServerHearsTheFirstAndThePlayerKeepsItsOwn) {
  SendMessageA(characterButtons[0], BM_SETCHECK, BST_UNCHECKED, 0);
  InWorld([] { return players[0].character = 4; });
  EXPECT_EQ(Join(Greeting(6, {{0, "Zoe", 2}})).character, 1);
  InWorld([] {
    EXPECT_EQ(players[6].character, 4);
    EXPECT_EQ(players[0].character, 2) << "slot 0 is Zoe's now";
    EXPECT_STREQ(players[0].name, "Zoe");
    return 0;
  });
}

TEST_F(Connection, MessagesArriveTogetherOrInPiecesAndTellWhatTheyCarry) {
  Join(Greeting(2, {{1, "Bob", 2}}));
  InWorld([] { return players[9].active = 1, players[9].frame = 1, players[9].moving = 1; });
  WorldUpdate update = Update(1);
  update.players[1] = {500, 600, LocationByte(3, DirDownRight), 3};
  update.players[2] = {1, 1, LocationByte(4, DirUp), 1};  // the local player's own entry
  update.players[5] = {10, 20, LocationByte(0, DirLeft), 2};
  update.players[6] = {30, 40, LocationByte(15, DirUp), 1};
  update.players[9] = {50, 60, LocationByte(0, DirDown), 7};  // names no state
  update.shots[0] = {70, 80, 0};
  update.shots[1] = {90, 100, 1};
  // An update and an arrival in one read: one report answers them.
  EXPECT_EQ(Answer(Image(update) + Joined(5, "Zed", 4)).type, TypePositionReport);
  EXPECT_TRUE(StatusBecomes("Zed has joined!!!"));
  InWorld([] {
    const Actor& bob = players[1];
    EXPECT_EQ(bob.x, 500);
    EXPECT_EQ(bob.y, 600);
    EXPECT_EQ(bob.map, 3);
    EXPECT_EQ(bob.direction, DirDownRight);
    EXPECT_EQ(bob.active, 1);
    EXPECT_EQ(bob.frame, 1);
    EXPECT_EQ(bob.moving, 1);
    EXPECT_EQ(players[2].x, SpawnTable[2].x) << "the local player's own entry is never applied";
    EXPECT_EQ(players[2].map, 0);
    EXPECT_EQ(players[5].moving, 1);
    EXPECT_EQ(players[5].frame, 0);
    EXPECT_STREQ(players[5].name, "Zed");
    EXPECT_EQ(players[5].character, 4);
    EXPECT_EQ(players[6].map, 15) << "the map nibble is read unsigned";
    EXPECT_EQ(players[6].moving, 0);
    EXPECT_EQ(players[9].x, 50);
    EXPECT_EQ(players[9].active, 1) << "an unknown state code leaves the flags alone";
    EXPECT_EQ(players[9].frame, 1);
    EXPECT_EQ(itSlot, 1);
    EXPECT_EQ(psiActors[0].direction, 0);
    EXPECT_EQ(psiActors[1].direction, 1);
    EXPECT_EQ(psiActors[2].direction, 2);
    EXPECT_EQ(psiActors[1].x, 90);
    return 0;
  });

  // A chat line waiting when a notice comes goes out alone: no report answers a notice.
  TypeChat("hi there");
  PressSay();
  ASSERT_TRUE(server_.Send(Relay(1, "yo")));
  ChatRequest chat = server_.ReceiveRecord<ChatRequest>();
  EXPECT_EQ(chat.type, TypeChatRequest);
  EXPECT_STREQ(chat.text, "hi there");
  EXPECT_TRUE(PumpUntil([] { return TextOf(chatBox).empty(); }));

  // An update a byte at a time; modes of the shots are read with their sign.
  update.shots[0].mode = 0xFF;
  update.shots[1].mode = 0x80;
  update.players[8] = {5, 5, LocationByte(0, DirDown), 1};
  for (BYTE byte : Image(update)) {
    ASSERT_TRUE(server_.Send(Bytes{byte}));
    PumpMessages();
  }
  EXPECT_EQ(server_.ReceiveRecord<PositionReport>().type, TypePositionReport);
  InWorld([] {
    EXPECT_EQ(players[8].active, 1);
    EXPECT_EQ(psiActors[0].direction, -1);
    EXPECT_EQ(psiActors[1].direction, -128);
    return 0;
  });
  for (int tick = 0; tick < 3; tick++) AdvanceClock(40), PumpMessages();  // and they are drawn
}

TEST_F(Connection, BytesThatNameNoMessageOrNoPlayerChangeNothing) {
  Join(Greeting(2, {{1, "Bob", 2}}));
  // Unknown type and kind bytes are dropped with whatever arrived with them; updates
  // sent after them, one at a time, are answered once the client has passed over them.
  ASSERT_TRUE(server_.Send(Bytes{9, 1, 2, 3, 4, 5}));
  ASSERT_TRUE(server_.Send(Bytes{TypeNotice, 7, 1, 1, 1}));
  bool answered = false;
  for (int attempt = 0; attempt < 100 && !answered; attempt++) {
    ASSERT_TRUE(server_.Send(Update(1)));
    answered = server_.Receive(sizeof(PositionReport), std::chrono::milliseconds(100)).size() > 0;
  }
  ASSERT_TRUE(answered);
  SkipReportsUntilChat();

  // Notices for slots that do not exist, and "it" on no player.
  PlayerKicked kick = {TypeNotice, KindPlayerKicked, 15};
  Bytes hostile = Image(kick) + Joined(200, "Ghost", 1) + Image(Relay(99, "boo")) + Image(Update(200));
  EXPECT_EQ(Answer(hostile).type, TypePositionReport);
  EXPECT_EQ(TextOf(statusBox), "Host found!");
  InWorld([] {
    EXPECT_EQ(itSlot, 200);
    EXPECT_EQ(ItPlayer(), nullptr);
    EXPECT_STREQ(chatLines[3], "Bob:&> sync");
    return 0;
  });
  PressKey(VK_SPACE);
  for (int tick = 0; tick < 3; tick++) AdvanceClock(40), PumpMessages();
  EXPECT_EQ(InWorld([] { return psiRequested; }), 0);
  EXPECT_TRUE(IsConnected());
}

TEST_F(Connection, ChatLinesScrollAndALongLineIsCut) {
  Join(Greeting(2, {{1, "Bob", 2}, {7, "ABCDEFGHIJ", 5}}));
  for (const char* text : {"one", "two", "three", "four", "five"}) ASSERT_TRUE(server_.Send(Relay(1, text)));
  ASSERT_TRUE(PumpUntil([] { return InWorld([] { return std::string(chatLines[3]) == "Bob:&> five"; }); }));
  InWorld([] {
    EXPECT_STREQ(chatLines[0], "Bob:&> two");
    EXPECT_STREQ(chatLines[2], "Bob:&> four");
    return 0;
  });
  // A text that runs on to the last byte of the message, behind a name of ten.
  ChatRelay longest = Relay(7, std::string(190, 'x'));
  longest.end = 'y';
  memset(longest.unused, 'z', sizeof longest.unused);
  ASSERT_TRUE(server_.Send(longest));
  const std::string expected = "ABCDEFGHIJ:&> " + std::string(190, 'x') + "y" + std::string(kChatLineBuffer, 'z');
  ASSERT_TRUE(PumpUntil([] { return InWorld([] { return chatLines[3][0] == 'A'; }); }));
  EXPECT_EQ(InWorld([] { return std::string(chatLines[3]); }), expected.substr(0, kChatLineBuffer - 1));
}

TEST_F(Connection, TheTagSoundPlaysOnlyWhenTheLocalPlayerIsTaggedOrTags) {
  Join(Greeting(2));
  struct Case {
    BYTE it;
    bool sound;
  } cases[] = {{5, false}, {6, false}, {2, true}, {2, false}, {5, true}, {200, false}};
  for (const Case& c : cases) {
    StopSound();
    Answer(Image(Update(c.it)));
    EXPECT_EQ(TagSoundPlays(), c.sound) << "it becomes " << int(c.it);
  }
}

TEST_F(Connection, ThrowsGoOutOncePerMessageAndOnlyWhileIt) {
  Join(Greeting(2));
  Answer(Image(Update(2)));
  InWorld([] { return players[2].direction = DirUpLeft; });
  for (int press = 0; press < 3; press++) PressKey(VK_SPACE), ReleaseKey(VK_SPACE);
  PumpMessages();
  ASSERT_TRUE(server_.Send(Update(2)));
  PsiRequest request = server_.ReceiveRecord<PsiRequest>();
  EXPECT_EQ(request.type, TypePsiRequest);
  EXPECT_EQ(request.direction, DirUpLeft);
  EXPECT_EQ(server_.ReceiveRecord<PositionReport>().type, TypePositionReport) << "one throw for three presses";
  // A throw asked for while "it", and "it" passes on before it can go.
  PressKey(VK_SPACE);
  PumpMessages();
  EXPECT_EQ(Answer(Image(Update(5))).type, TypePositionReport);
}

TEST_F(Connection, AKickEndsOnlyTheKickedPlayersConnection) {
  SetWindowTextA(nameBox, "Ann");
  Join(Greeting(2, {{1, "Bob", 2}}));
  PlayerKicked bob = {TypeNotice, KindPlayerKicked, 1};
  EXPECT_EQ(Answer(Image(bob) + Image(Update(0))).type, TypePositionReport);
  EXPECT_TRUE(StatusBecomes("Bob was kicked!"));
  // A chat line waiting when the kick comes never leaves.
  TypeChat("bye");
  PressSay();
  ASSERT_TRUE(server_.Send(PlayerKicked{TypeNotice, KindPlayerKicked, 2}));
  EXPECT_TRUE(server_.Ends());
  EXPECT_TRUE(StatusBecomes("Ann was kicked!"));
  EXPECT_FALSE(IsConnected());
  EXPECT_TRUE(PumpUntil([] { return TextOf(chatBox).empty(); }));
}

TEST_F(Connection, EveryEndOfAnAttemptIsShownAndGoTriesAgain) {
  PressGo();
  ASSERT_TRUE(server_.Accept());
  ASSERT_TRUE(server_.Send(Bytes{kServerFull}));
  EXPECT_TRUE(StatusBecomes("Too many users on server"));
  EXPECT_TRUE(server_.Ends()) << "no JoinReply to a full server";
  ASSERT_TRUE(PumpUntil(AttemptOver));

  PressGo();
  ASSERT_TRUE(server_.Accept());
  server_.Hang();
  EXPECT_TRUE(StatusBecomes("Disconnected"));
  ASSERT_TRUE(PumpUntil(AttemptOver));

  PressGo();
  ASSERT_TRUE(server_.Accept());
  ASSERT_TRUE(server_.Send(Greeting(15)));
  EXPECT_TRUE(StatusBecomes("Disconnected")) << "a slot the client has no record for";
  ASSERT_TRUE(PumpUntil(AttemptOver));

  // "Go!" while an attempt is under way is not a second attempt.
  PressGo();
  ASSERT_TRUE(server_.Accept());
  ASSERT_TRUE(StatusBecomes("Host found!"));
  PressGo();
  EXPECT_EQ(TextOf(statusBox), "Host found!");
  ASSERT_TRUE(server_.Send(Greeting(3)));
  EXPECT_EQ(server_.ReceiveRecord<JoinReply>().character, 1);
  ASSERT_TRUE(PumpUntil(IsConnected));
  TypeChat("unsent");

  server_.Hang();
  EXPECT_TRUE(StatusBecomes("Server disconnected"));
  EXPECT_FALSE(IsConnected());
  EXPECT_EQ(TextOf(nameBox), "");
  EXPECT_EQ(TextOf(chatBox), "");
  ASSERT_TRUE(PumpUntil(AttemptOver));

  JoinReply again = Join(Greeting(9));
  EXPECT_EQ(again.name[0], 0) << "the emptied name box";
  EXPECT_EQ(InWorld([] { return localSlot; }), 9);
}

// A server that goes silent, before its greeting or during play, ends the attempt or the
// connection after ten seconds, and "Go!" works again.
TEST_F(Connection, ASilentServerIsLeftAndGoWorksAgain) {
  PressGo();
  ASSERT_TRUE(server_.Accept());
  ASSERT_TRUE(server_.Send(Bytes{3, 'h', 'a'}));  // a Welcome cut off and never finished
  EXPECT_TRUE(StatusBecomes("Disconnected", std::chrono::seconds(20)));
  ASSERT_TRUE(PumpUntil(AttemptOver));

  Join(Greeting(2));
  EXPECT_EQ(Answer(Image(Update(0))).type, TypePositionReport);
  ASSERT_TRUE(server_.Send(Bytes{TypeWorldUpdate, 0, 1, 2}));  // an update never finished
  EXPECT_TRUE(StatusBecomes("Error reaching server.  (Server disconnected?)", std::chrono::seconds(20)));
  EXPECT_FALSE(IsConnected());
  ASSERT_TRUE(PumpUntil(AttemptOver));
  Join(Greeting(4));
  EXPECT_EQ(InWorld([] { return localSlot; }), 4);
}

// Names of ten bytes with no end, in any bytes, and characters that name no sheet, from
// the greeting and from later arrivals: every name is kept as its ten bytes and every
// character as it came, and those players are shown, drawn and talked about.
TEST_F(Connection, NamesWithoutEndAndCharactersWithoutSheetAreKeptShownAndDrawn) {
  const std::string kNames[] = {"ABCDEFGHIJ", "%s%n%s%n%s", "\xFF\xFE\x80\x7F\x01\n\r\t\b\x1B", "&>:&>:&>:&",
                                "\xC3\xA9\xE2\x80\xAE\xF0\x9F\x98\x80!"};
  const BYTE kCharacters[] = {0, 6, 255, 1, 5, 128};
  std::string names[kPlayerSlots];
  std::vector<Seat> seats;
  for (int k = 0; k < kPlayerSlots; k++) {
    names[k] = kNames[k % std::size(kNames)];
    seats.push_back({k, names[k].c_str(), kCharacters[k % std::size(kCharacters)]});
  }
  SetWindowTextA(nameBox, "Me");
  Join(Greeting(2, seats));  // the entry of the own slot is stale and ignored
  InWorld([&] {
    for (int k = 0; k < kPlayerSlots; k++) {
      if (k == 2) continue;
      EXPECT_EQ(players[k].name, names[k]) << k;
      EXPECT_EQ(players[k].character, seats[k].character) << k;
    }
    EXPECT_STREQ(players[2].name, "Me");
    EXPECT_EQ(players[2].character, 1);
    return 0;
  });

  // Everybody around the local player, walking, with "it" on a player with no sheet.
  WorldUpdate update = Update(6);
  for (int i = 0; i < kPlayerSlots; i++) {
    update.players[i] = {WORD(SpawnTable[2].x - 200 + 30 * i), SpawnTable[2].y, LocationByte(0, DirDown), 3};
  }
  EXPECT_EQ(Answer(Image(update)).type, TypePositionReport);
  Walk(VK_LEFT, 4);

  // Arrivals in slots already on screen; play goes on while their sheets load.
  struct Arrival {
    BYTE slot;
    const char* name;
    BYTE character;
  } arrivals[] = {
      {5, "%s%n%x%d%p", 0},
      {6, "\xFF\n\r\t\x01\x7F\x80\xFE\b\x1B", 255},
      {7, "NoSheet678", 6},
      {14, "LastSlot14", 3},
  };
  for (const Arrival& a : arrivals) {
    ASSERT_TRUE(server_.Send(Joined(a.slot, a.name, a.character)));
    const std::string status = a.name + std::string(" has joined!!!");
    EXPECT_TRUE(PumpUntil([&] { return AdvanceClock(40), TextOf(statusBox) == status; })) << int(a.slot);
    InWorld([&] {
      EXPECT_STREQ(players[a.slot].name, a.name);
      EXPECT_EQ(players[a.slot].character, a.character);
      return 0;
    });
  }
  // The own arrival, however it reads, changes nothing.
  EXPECT_EQ(Answer(Joined(2, "Intruder!!", 255) + Image(update)).type, TypePositionReport);
  EXPECT_EQ(TextOf(statusBox), "LastSlot14 has joined!!!");
  InWorld([] {
    EXPECT_STREQ(players[2].name, "Me");
    EXPECT_EQ(players[2].character, 1);
    return 0;
  });

  ASSERT_TRUE(server_.Send(PlayerKicked{TypeNotice, KindPlayerKicked, 6}));
  EXPECT_TRUE(StatusBecomes(arrivals[1].name + std::string(" was kicked!")));
  ASSERT_TRUE(server_.Send(Relay(5, "hi")));
  EXPECT_TRUE(PumpUntil([] { return InWorld([] { return std::string(chatLines[3]) == "%s%n%x%d%p:&> hi"; }); }));
  update.it = 2;
  EXPECT_EQ(Answer(Image(update)).type, TypePositionReport);
  Walk(VK_RIGHT, 4);
  EXPECT_TRUE(IsConnected());
}

// Every field of an update at the ends of its range, round after round: positions at 0
// and 0xFFFF, every direction nibble, maps with no level, state codes that name no state,
// "it" on the local player, on others and on no slot, and shots in every mode. Each
// update is answered and drawn while the local player walks; then the server goes, and
// "Go!" joins again and play goes on.
TEST_F(Connection, UpdatesAtEveryExtremeAreAnsweredAndDrawnAndPlayGoesOnAfterTheServerGoes) {
  Join(Greeting(0));
  struct Round {
    BYTE it;
    WORD x, y;     // of every entry, the local player's own included, and of every shot
    BYTE evenMap;  // the map of the even slots; the odd ones are on maps 10..15
    BYTE state;
    BYTE mode;  // of shot 0; shots 1 and 2 have the next two
  } rounds[] = {
      {0, 0, 0, 0, 1, 0},                 // the local player "it"; all at the origin
      {0, 0xFFFF, 0xFFFF, 0, 3, 1},       // all at the far corner
      {6, 0xFFFF, 0, 0, 4, 2},            // "it" on another player; flags kept
      {14, 400, 250, 0, 2, 0},            // shots in flight on the map of "it"
      {5, 0, 0xFFFF, 10, 255, 0x7F},      // "it" on a map with no level
      {4, 300, 200, 15, 2, 0x80},         // a shot mode below zero
      {15, 400, 250, 0, 0, 0xFE},         // "it" on no slot; everybody leaves
      {255, 0xFFFF, 0xFFFF, 9, 0x80, 3},  // nobody comes back
      {0, 380, 220, 0, 2, 0xFF},          // all back around the local player
  };
  struct Flags {
    BYTE active, frame, moving;
  } expected[kPlayerSlots];
  InWorld([&] {
    for (int i = 0; i < kPlayerSlots; i++) expected[i] = {players[i].active, players[i].frame, players[i].moving};
    return 0;
  });
  for (size_t r = 0; r < std::size(rounds); r++) {
    const Round& round = rounds[r];
    WorldUpdate update = Update(round.it);
    for (int i = 0; i < kPlayerSlots; i++) {
      BYTE map = i % 2 ? BYTE(10 + i / 2 % 6) : round.evenMap;
      update.players[i] = {round.x, round.y, LocationByte(map, BYTE(i + r)), round.state};
      if (round.state == 0) expected[i].active = 0;
      if (round.state >= 1 && round.state <= 3) expected[i] = {1, BYTE(round.state == 3), BYTE(round.state >= 2)};
    }
    for (int j = 0; j < kShotCount; j++) update.shots[j] = {round.x, round.y, BYTE(round.mode + j)};
    const Actor before = InWorld([] { return players[0]; });

    PositionReport report = Answer(Image(update));
    ASSERT_EQ(report.type, TypePositionReport) << "round " << r;
    EXPECT_EQ(int(report.x), before.x) << "round " << r;
    EXPECT_EQ(int(report.y), before.y) << "round " << r;
    EXPECT_EQ(report.location, LocationByte(before.map, BYTE(before.direction))) << "round " << r;
    InWorld([&] {
      EXPECT_EQ(itSlot, round.it) << "round " << r;
      for (int i = 1; i < kPlayerSlots; i++) {
        const Actor& p = players[i];
        const PlayerEntry& sent = update.players[i];
        EXPECT_EQ(p.x, sent.x) << "round " << r << " slot " << i;
        EXPECT_EQ(p.y, sent.y) << "round " << r << " slot " << i;
        EXPECT_EQ(p.map, MapOf(sent.location)) << "round " << r << " slot " << i;
        EXPECT_EQ(p.direction, DirectionOf(sent.location)) << "round " << r << " slot " << i;
        EXPECT_EQ(p.active, expected[i].active) << "round " << r << " slot " << i;
        EXPECT_EQ(p.frame, expected[i].frame) << "round " << r << " slot " << i;
        EXPECT_EQ(p.moving, expected[i].moving) << "round " << r << " slot " << i;
      }
      for (int j = 0; j < kShotCount; j++) {
        EXPECT_EQ(psiActors[j].x, round.x) << "round " << r;
        EXPECT_EQ(psiActors[j].y, round.y) << "round " << r;
        EXPECT_EQ(psiActors[j].direction, static_cast<signed char>(round.mode + j)) << "round " << r;
      }
      return 0;
    });
    Walk(r % 2 ? VK_LEFT : VK_RIGHT, 3);
  }

  // An update cut off by the server's going is never half applied.
  Bytes cut = Image(Update(9));
  cut.resize(50);
  ASSERT_TRUE(server_.Send(cut));
  server_.Hang();
  EXPECT_TRUE(StatusBecomes("Server disconnected"));
  EXPECT_EQ(InWorld([] { return itSlot; }), rounds[std::size(rounds) - 1].it);
  ASSERT_TRUE(PumpUntil(AttemptOver));
  Walk(VK_DOWN, 3);  // the game goes on alone
  SetWindowTextA(nameBox, "Again");
  EXPECT_STREQ(Join(Greeting(7, {{1, "Bob", 2}})).name, "Again");
  EXPECT_EQ(Answer(Image(Update(7))).type, TypePositionReport);
  Walk(VK_UP, 3);
  EXPECT_EQ(Answer(Image(Update(1))).type, TypePositionReport);
  EXPECT_TRUE(IsConnected());
  InWorld([] {
    EXPECT_EQ(localSlot, 7);
    EXPECT_EQ(itSlot, 1);
    return 0;
  });
}

// A player who walked into a room while the join was under way is back on the main map
// once joined, and the window's own next tick loads that level: the join holds the
// world only for moments, never for a whole load.
TEST_F(Connection, AJoinFromARoomLeavesTheMainLevelToTheNextTick) {
  PressGo();
  ASSERT_TRUE(server_.Accept());
  ASSERT_TRUE(StatusBecomes("Host found!"));
  ASSERT_EQ(LoadLevel(MapTable[5]), 0);
  const int roomWidth = mapWidth;
  InWorld([] { return LocalPlayer().map = 5; });
  ASSERT_TRUE(server_.Send(Greeting(3)));
  ASSERT_EQ(server_.Receive(sizeof(JoinReply)).size(), sizeof(JoinReply));
  ASSERT_TRUE(PumpUntil(IsConnected));
  EXPECT_EQ(mapWidth, roomWidth) << "the join loaded a level itself";
  EXPECT_EQ(InWorld([] { return LocalPlayer().map; }), 0);

  AdvanceClock(40);
  PumpMessages();
  EXPECT_NE(mapWidth, roomWidth);
  EXPECT_TRUE(MainLevelIntact());
  EXPECT_EQ(InWorld([] { return LocalPlayer().x; }), SpawnTable[3].x);
}

// Escape during play drops the connection, and the receive loop that then ends does
// not close the socket again.
TEST_F(Connection, EscapeClosesTheGameSocketOnce) {
  Join(Greeting(2));
  EXPECT_EQ(Answer(Image(Update(0))).type, TypePositionReport);
  PressKey(VK_ESCAPE);
  bool quit = false;
  PumpMessages(&quit);
  EXPECT_TRUE(quit);
  EXPECT_TRUE(server_.Ends());
  ASSERT_TRUE(PumpUntil(AttemptOver));
  EXPECT_EQ(StaleSocketCloses(), 0);
}

// Game data the join cannot load ends the program as a start-up failure does, from the
// window's own thread once it runs its messages, and not before. The whole client runs
// in the child that the death test makes, which starts its threads itself.
TEST(ConnectionFailure, ASheetMissingAtTheJoinEndsTheProgramFromTheWindow) {
  GameFolder folder;
  EXPECT_EXIT(
      {
        OpenClient();
        FakeServer server;
        InWorld([] {
          DeleteObject(players[7].bitmap);
          return players[7].bitmap = nullptr;
        });
        ClickAt(mainWindow, 590, 390);  // "Go!"
        PumpMessages();
        if (server.Accept() && server.Send(Greeting(3, {{7, "Nosheet", 0}}))) {
          // The network thread has a second to end the program, had that been its part;
          // without the window's messages, nothing ends it.
          std::this_thread::sleep_for(std::chrono::seconds(1));
          fprintf(stderr, "still here\n");
        }
        while (true) PumpMessages();
      },
      testing::ExitedWithCode(0), "still here\nBrambleduck error: Could not find a \\.bmp\\.");
}

class NoServer : public testing::Test {
 protected:
  void SetUp() override { OpenClient(); }
  GameFolder folder_;
};

TEST_F(NoServer, AnAttemptWithNobodyListeningOrNoAddressCannotConnect) {
  for (const char* address : {"127.0.0.1", "localhost", ""}) {
    SetWindowTextA(addressBox, address);
    ClickAt(mainWindow, 590, 390);
    PumpMessages();
    EXPECT_TRUE(StatusBecomes("Could not connect.")) << address;
    EXPECT_TRUE(PumpUntil(AttemptOver)) << address;
  }
}

}  // namespace
