#include "tools/bots/bot.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "client/world/actor.h"
#include "content/generator/level_table.h"
#include "protocol/stream.h"

namespace {

constexpr auto kTick = std::chrono::milliseconds(40);
constexpr int kMostTicksAtOnce = 25;  // after a stall, a bot catches up one second at most
constexpr int kFleeDistance = 600;
constexpr int kThrowReach = 400;
constexpr int kInLine = 16;
constexpr std::string_view kName = "Bot";  // and the bot's number from 1

const char* const kSayings[] = {
    "tag!", "you can't catch me", "over here", "run!", "nearly had you", "who is it?", "too slow", "hello",
};

long Distance2(int ax, int ay, int bx, int by) {
  long dx = ax - bx, dy = ay - by;
  return dx * dx + dy * dy;
}

// The direction from one point towards another, in eight directions.
short Towards(int dx, int dy) {
  int sx = (dx > kInLine) - (dx < -kInLine), sy = (dy > kInLine) - (dy < -kInLine);
  if (sx < 0) return sy < 0 ? DirUpLeft : sy > 0 ? DirDownLeft : DirLeft;
  if (sx > 0) return sy < 0 ? DirUpRight : sy > 0 ? DirDownRight : DirRight;
  return sy < 0 ? DirUp : DirDown;
}

// Takes a number off the front of `text`.
bool TakeNumber(std::string_view& text, int& number) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc()) return false;
  text.remove_prefix(size_t(end - text.data()));
  return true;
}

// Takes `prefix` off the front of `text`.
bool TakeText(std::string_view& text, std::string_view prefix) {
  if (!text.starts_with(prefix)) return false;
  text.remove_prefix(prefix.size());
  return true;
}

}  // namespace

Bot::Bot(int number, const Town& town, Stats& stats, ChatPause chatPause)
    : number_(number),
      name_(std::string(kName) + std::to_string(number + 1)),
      character_(BYTE(1 + number % 5)),
      town_(town),
      stats_(stats),
      chatPause_(chatPause),
      random_(unsigned(number) * 7919u + 17u) {}

bool Bot::Join(const std::string& address) {
  if (!link_.Connect(address)) return false;
  Welcome welcome;
  auto* bytes = reinterpret_cast<BYTE*>(&welcome);
  for (size_t have = 0; have < sizeof welcome; have++) {
    if (link_.Receive(bytes + have, 1) != 1) return false;
    if (have == 0 && bytes[0] == kServerFull) return false;
  }
  if (welcome.slot >= kSlotCount) return false;
  slot_ = welcome.slot;
  JoinReply reply = {character_, {}};
  memcpy(reply.name, name_.data(), std::min(name_.size(), sizeof reply.name));
  if (!link_.Send(&reply, sizeof reply)) return false;
  x_ = kSpawnPoints[slot_][0];
  y_ = kSpawnPoints[slot_][1];
  started_ = Clock::now();
  PlanChat(started_);
  stats_.Seated(number_, slot_);
  return true;
}

void Bot::Play() {
  MessageStream stream = {};
  BYTE received[sizeof stream.pending];
  BYTE message[kLongestMessage];
  while (true) {
    int got = link_.Receive(received, size_t(StreamRoom(&stream)));
    if (got <= 0) return;
    StreamAdd(&stream, received, got);
    for (int length; (length = StreamTake(&stream, MeasureFromServer, message)) > 0;) Handle(message, length);
  }
}

void Bot::Stop() { link_.Shut(); }

void Bot::Handle(const BYTE* message, int length) {
  if (message[0] == TypeWorldUpdate && length == int(sizeof(WorldUpdate))) {
    WorldUpdate update;
    memcpy(&update, message, sizeof update);
    TakeUpdate(update);
  } else if (message[0] == TypeNotice && message[1] == KindChatRelay && length == int(sizeof(ChatRelay))) {
    ChatRelay relay;
    memcpy(&relay, message, sizeof relay);
    Hear(relay);
  }
}

// A bot's line ("Bot3 #12 run!") tells who said it and its number.
void Bot::Hear(const ChatRelay& relay) {
  std::string_view text(relay.text, strnlen(relay.text, sizeof relay.text));
  int speaker, line;
  if (TakeText(text, kName) && TakeNumber(text, speaker) && speaker > 0 && TakeText(text, " #") &&
      TakeNumber(text, line)) {
    stats_.Heard(number_, relay.slot, speaker - 1, line);
  }
}

void Bot::TakeUpdate(const WorldUpdate& update) {
  Clock::time_point now = Clock::now();
  if (reportSent_ != Clock::time_point{}) stats_.Exchange(number_, now - reportSent_);
  seen_ = update;
  long due = long((now - started_) / kTick);
  Walk(int(std::min<long>(due - ticksDone_, kMostTicksAtOnce)));
  ticksDone_ = due;
  MaybeChat();
  MaybeThrow();
  SendReport();
}

void Bot::Walk(int ticks) {
  for (int tick = 0; tick < ticks; tick++) {
    short direction = Choose();
    Tick next = WalkTick(town_.Map(), {x_, y_}, direction);
    direction_ = direction;
    animation_++;
    // Bots stay in the town: a door is a wall to them.
    if (next.door >= 0) continue;
    if (next.to.x == x_ && next.to.y == y_) wanderTicks_ = 0, wander_ = kWalkDirections[random_() % 8];
    x_ = next.to.x;
    y_ = next.to.y;
  }
}

// Chases the nearest player while "it", flees from "it" when it comes near, and
// wanders otherwise; a way that leads nowhere is left for a random one for a while.
short Bot::Choose() {
  const bool chasing = seen_.it == slot_;
  int targetX = 0, targetY = 0;
  long best = -1;
  for (int k = 0; k < kSlotCount; k++) {
    const PlayerEntry& p = seen_.players[k];
    if (k == slot_ || p.state == 0 || MapOf(p.location) != 0) continue;
    if (!chasing && k != seen_.it) continue;
    long d = Distance2(x_, y_, p.x, p.y);
    if (best < 0 || d < best) best = d, targetX = p.x, targetY = p.y;
  }
  bool fleeing = !chasing && best >= 0 && best < long(kFleeDistance) * kFleeDistance;
  if (wanderTicks_ > 0 || (!chasing && !fleeing) || best < 0) {
    if (--wanderTicks_ <= 0) wanderTicks_ = 20, wander_ = kWalkDirections[random_() % 8];
    return wander_;
  }
  short choice = direction_;
  long chosen = -1;
  for (short d : kWalkDirections) {
    Tick t = WalkTick(town_.Map(), {x_, y_}, d);
    if (t.door >= 0 || (t.to.x == x_ && t.to.y == y_)) continue;
    long score = Distance2(t.to.x, t.to.y, targetX, targetY);
    if (chosen < 0 || (chasing ? score < chosen : score > chosen)) chosen = score, choice = d;
  }
  if (chosen < 0) wanderTicks_ = 20;
  return choice;
}

void Bot::MaybeThrow() {
  Clock::time_point now = Clock::now();
  if (seen_.it != slot_ || now < nextThrow_) return;
  for (int k = 0; k < kSlotCount; k++) {
    const PlayerEntry& p = seen_.players[k];
    if (k == slot_ || p.state == 0 || MapOf(p.location) != 0) continue;
    int dx = p.x - x_, dy = p.y - y_;
    bool inLine = std::abs(dx) < kInLine || std::abs(dy) < kInLine || std::abs(std::abs(dx) - std::abs(dy)) < kInLine;
    if (!inLine || std::abs(dx) + std::abs(dy) > kThrowReach) continue;
    PsiRequest request = {TypePsiRequest, BYTE(Towards(dx, dy))};
    link_.Send(&request, sizeof request);
    nextThrow_ = now + std::chrono::seconds(2);
    return;
  }
}

void Bot::MaybeChat() {
  Clock::time_point now = Clock::now();
  if (now < nextChat_) return;
  PlanChat(now);
  std::optional<int> line = stats_.Say(number_);
  if (!line) return;
  ChatRequest request = {};
  request.type = TypeChatRequest;
  snprintf(request.text, sizeof request.text, "%s #%d %s", name_.c_str(), *line,
           kSayings[random_() % std::size(kSayings)]);
  link_.Send(&request, sizeof request);
}

void Bot::PlanChat(Clock::time_point now) {
  nextChat_ = now + std::chrono::milliseconds(
                        std::uniform_int_distribution(chatPause_.least.count(), chatPause_.most.count())(random_));
}

bool Bot::SendReport() {
  BYTE frame = BYTE(animation_ / 3 % 2);
  PositionReport report = {TypePositionReport, WORD(x_), WORD(y_), LocationByte(0, BYTE(direction_)),
                           StateCode(1, frame, 1)};
  reportSent_ = Clock::now();
  return link_.Send(&report, sizeof report);
}
