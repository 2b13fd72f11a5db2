// Play: world updates answer reports, psi requests launch, chat lines go to everybody.
#include <gtest/gtest.h>

#include <functional>

#include "tests/server/server_process.h"

namespace {

// Exchanges reports and updates until an update satisfies `wanted` (the tick, every
// 35 ms, is what changes them); that update, or the last one when none did in time.
WorldUpdate ExchangeUntil(Player& player, const PositionReport& report,
                          const std::function<bool(const WorldUpdate&)>& wanted) {
  auto deadline = std::chrono::steady_clock::now() + kPrompt;
  WorldUpdate update = Exchange(player, report);
  while (update.type == TypeWorldUpdate && !wanted(update) && std::chrono::steady_clock::now() < deadline) {
    update = Exchange(player, report);
  }
  return update;
}

template <typename T>
void Append(Bytes& bytes, const T& record) {
  Bytes image = Image(record);
  bytes.insert(bytes.end(), image.begin(), image.end());
}

TEST_F(HostTest, EveryReportIsAnsweredOnceAndAPsiRequestBesideOneIsHandled) {
  std::vector<std::unique_ptr<Player>> players = JoinPlayers(2);
  // Both at (5000, 5000) but on maps 1 and 2, so that nobody is ever tagged.
  const PositionReport places[2] = {Report(5000, 5000, LocationByte(1, 3), 1),
                                    Report(5000, 5000, LocationByte(2, 3), 1)};
  EXPECT_EQ(Exchange(*players[1], places[1]).type, TypeWorldUpdate);
  // Wait until one of the two is "it" and the projectiles that fly after start-up are idle.
  auto ready = [](const WorldUpdate& u) {
    return u.it <= 1 && u.shots[0].mode == 2 && u.shots[1].mode == 2 && u.shots[2].mode == 2;
  };
  WorldUpdate update = ExchangeUntil(*players[0], places[0], ready);
  ASSERT_TRUE(ready(update));
  Player& it = *players[update.it];

  // In one send: a throw to the right, three reports (one with the state code 7) and a
  // chat line. The chat line comes back after the answers to the reports.
  const PositionReport reports[3] = {Report(5000, 5000, LocationByte(update.it + 1, 3), 2),
                                     Report(5001, 5002, LocationByte(update.it + 1, 9), 7),
                                     Report(5003, 5004, LocationByte(update.it + 1, 10), 3)};
  Bytes bytes = Image(PsiRequest{TypePsiRequest, 3});
  for (const PositionReport& report : reports) Append(bytes, report);
  Append(bytes, Chat("done"));
  ASSERT_TRUE(it.Send(bytes.data(), bytes.size()));
  std::vector<WorldUpdate> answers;
  Bytes message = NextMessage(it);
  for (; message.size() == sizeof(WorldUpdate); message = NextMessage(it)) answers.push_back(As<WorldUpdate>(message));
  EXPECT_EQ(message.size(), sizeof(ChatRelay));
  ASSERT_EQ(answers.size(), 3u);
  for (int i = 0; i < 3; i++) {
    const PlayerEntry& own = answers[size_t(i)].players[update.it];
    // Packed fields are compared by value.
    EXPECT_EQ(WORD(own.x), WORD(reports[i].x));
    EXPECT_EQ(WORD(own.y), WORD(reports[i].y));
    EXPECT_EQ(BYTE(own.location), BYTE(reports[i].location));
  }

  // The throw started from (5003, 5006), "it"'s place when it arrived, to the right.
  auto thrown = [](const WorldUpdate& u) {
    for (const ShotEntry& shot : u.shots) {
      if (shot.mode != 2 && shot.y == 5006 && shot.x > 5003) return true;
    }
    return false;
  };
  EXPECT_TRUE(thrown(ExchangeUntil(it, reports[2], thrown)));
}

TEST_F(HostTest, ChatIsRelayedToEverybodyCutAt190) {
  std::vector<std::unique_ptr<Player>> players = JoinPlayers(2);
  const struct {
    std::string sent;  // the 199 bytes after the type, zero after this text
    std::string relayed;
  } cases[] = {
      {"hello", "hello"},
      {"", ""},
      {std::string(149, 'a'), std::string(149, 'a')},
      {std::string(190, 'b'), std::string(190, 'b')},
      {std::string(195, 'c'), std::string(190, 'c')},
      {std::string(199, 'd'), std::string(190, 'd')},  // no zero at all
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sent.size());
    ASSERT_TRUE(players[1]->Send(Chat(c.sent)));
    for (auto& player : players) {
      auto relay = As<ChatRelay>(NextNotice(*player));
      EXPECT_EQ(relay.type, TypeNotice);
      EXPECT_EQ(relay.kind, KindChatRelay);
      EXPECT_EQ(relay.slot, 1);
      EXPECT_EQ(ChatText(relay), c.relayed);
      EXPECT_EQ(relay.end, 0);
    }
  }
}

}  // namespace
