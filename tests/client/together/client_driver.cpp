// One whole client in this process, driven by a test over standard input and output:
// one command a line in, one answer a line out. The client's messages are pumped all
// the while, so that its network thread's calls on its windows are answered.
//
// Actions, answered "ok":
//   name TEXT        the name box's text
//   go | say         a click on "Go!" or "Say"
//   press VK | release VK
//                    a key pressed or released, to whichever window has the focus
//   type TEXT        the text typed, key by key, to the focus
//   tick N           N game ticks: the clock moves on 40 ms, and the timer fires
//   hush             stops the sound that plays, so that `sound` tells of the next one
// Queries, answered with what the client holds now:
//   status           the status box's text
//   chat             the four chat lines, oldest first, joined by "|"
//   player SLOT      "X Y MAP DIRECTION ACTIVE MOVING" of a slot as this client knows it
//   me               "SLOT X Y MAP DIRECTION IT CONNECTED" of the local player
//   it | connected   itSlot, connected
//   sound            "Whop2" (the tag sound), "none" or "other": what the audio device
//                    was last handed to play
// A wait, answered "ok" or "timeout: " and the query's last answer:
//   wait QUERY == VALUE  until the query's answer is VALUE, for 10 s at most
// And "quit" (or the end of the input): the window is closed as the desktop closes it;
// answered "bye". The exit code is 0 when the connection's threads had ended by then.
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "client/net/net.h"
#include "client/shell/shell.h"
#include "client/world/world.h"
#include "platform/files.h"
#include "platform/sound.h"
#include "platform/testing.h"
#include "tests/client/support/client_harness.h"

namespace {

// Lines of standard input, read while the client's messages are pumped.
class Input {
 public:
  // The next line without its break; nothing once the input has ended.
  std::optional<std::string> NextLine();

 private:
  std::string unread_;
  bool ended_ = false;
};

std::optional<std::string> Input::NextLine() {
  while (true) {
    size_t end = unread_.find('\n');
    if (end != std::string::npos) {
      std::string line = unread_.substr(0, end);
      unread_.erase(0, end + 1);
      return line;
    }
    if (ended_) return std::nullopt;
    PumpMessages();
    pollfd p = {STDIN_FILENO, POLLIN, 0};
    if (poll(&p, 1, 1) <= 0) continue;
    char buffer[4096];
    ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ended_ = true;
    } else {
      unread_.append(buffer, size_t(n));
    }
  }
}

void Answer(const std::string& line) {
  fprintf(stdout, "%s\n", line.c_str());
  fflush(stdout);
}

// The whole of `text` as a number from `low` to `high`.
std::optional<int> Number(const std::string& text, int low, int high) {
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) return std::nullopt;
  return value;
}

// A command split at its first space: the word and the rest.
struct Words {
  std::string word, rest;
};

Words Split(const std::string& line) {
  size_t space = line.find(' ');
  if (space == std::string::npos) return {line, ""};
  return {line.substr(0, space), line.substr(space + 1)};
}

std::string Numbers(const std::vector<int>& values) {
  std::string text;
  for (int v : values) text += (text.empty() ? "" : " ") + std::to_string(v);
  return text;
}

std::string ChatLines() {
  std::lock_guard lock(worldLock);
  std::string text = chatLines[0];
  for (int line = 1; line < kChatLines; line++) text += std::string("|") + chatLines[line];
  return text;
}

std::string PlayerState(int slot) {
  std::lock_guard lock(worldLock);
  const Actor& p = players[slot];
  return Numbers({p.x, p.y, p.map, p.direction, p.active, p.moving});
}

std::string LocalState() {
  std::lock_guard lock(worldLock);
  const Actor& p = LocalPlayer();
  return Numbers({localSlot, p.x, p.y, p.map, p.direction, itSlot, connected});
}

std::string WorldByte(const BYTE& value) {
  std::lock_guard lock(worldLock);
  return std::to_string(value);
}

std::string Sound() {
  static const std::vector<int16_t> tag = sound_internal::LoadWavSamples(
      ResolvePath("sounds\\Whop2.wav").c_str(), sound_internal::kDeviceRate, sound_internal::kDeviceChannels);
  std::vector<int16_t> current = sound_internal::CurrentSamples();
  if (current.empty()) return "none";
  return !tag.empty() && current == tag ? "Whop2" : "other";
}

// The answer to a query; nothing when `line` is none.
std::optional<std::string> Query(const std::string& line) {
  Words q = Split(line);
  if (q.word == "player") {
    std::optional<int> slot = Number(q.rest, 0, kPlayerSlots - 1);
    return slot ? std::optional(PlayerState(*slot)) : std::nullopt;
  }
  if (!q.rest.empty()) return std::nullopt;
  if (q.word == "status") return TextOf(statusBox);
  if (q.word == "chat") return ChatLines();
  if (q.word == "me") return LocalState();
  if (q.word == "it") return WorldByte(itSlot);
  if (q.word == "connected") return WorldByte(connected);
  if (q.word == "sound") return Sound();
  return std::nullopt;
}

// "wait QUERY == VALUE".
std::string Wait(const std::string& condition) {
  size_t at = condition.find(" == ");
  if (at == std::string::npos) return "error: no == in \"" + condition + "\"";
  const std::string query = condition.substr(0, at), value = condition.substr(at + 4);
  if (!Query(query)) return "error: unknown query \"" + query + "\"";
  std::string seen;
  auto holds = [&] {
    seen = *Query(query);
    return seen == value;
  };
  return PumpUntil(holds) ? "ok" : "timeout: " + seen;
}

void Tick(int count) {
  for (int i = 0; i < count; i++) {
    AdvanceClock(40);
    PumpMessages();
  }
}

// The answer to an action; nothing when `line` is none.
std::optional<std::string> Act(const std::string& line) {
  Words a = Split(line);
  std::optional<int> number = Number(a.rest, 0, 10000);
  if (a.word == "name") {
    SetWindowTextA(nameBox, a.rest.c_str());
  } else if (a.word == "go" && a.rest.empty()) {
    ClickAt(mainWindow, 555 + 37, 381 + 9);
  } else if (a.word == "say" && a.rest.empty()) {
    ClickAt(mainWindow, 555 + 37, 434 + 9);
  } else if (a.word == "press" && number && *number < 256) {
    PressKey(*number);
  } else if (a.word == "release" && number && *number < 256) {
    ReleaseKey(*number);
  } else if (a.word == "type") {
    TypeText(a.rest.c_str());
  } else if (a.word == "tick" && number) {
    Tick(*number);
  } else if (a.word == "hush" && a.rest.empty()) {
    PlaySoundA(nullptr, nullptr, 0);
  } else {
    return std::nullopt;
  }
  PumpMessages();
  return "ok";
}

std::string Handle(const std::string& line) {
  Words w = Split(line);
  if (w.word == "wait") return Wait(w.rest);
  if (std::optional<std::string> answer = Act(line)) return *answer;
  if (std::optional<std::string> answer = Query(line)) return *answer;
  return "error: unknown command \"" + line + "\"";
}

// Closes the window as the desktop does, and lets the connection's thread end.
bool Close() {
  SendMessageA(mainWindow, WM_CLOSE, 0, 0);
  return PumpUntil([] { return !ConnectionBusy(); });
}

}  // namespace

int main() {
  GameFolder folder;
  OpenClient();
  Input input;
  while (std::optional<std::string> line = input.NextLine()) {
    if (*line == "quit") break;
    Answer(Handle(*line));
  }
  bool closed = Close();
  Answer("bye");
  return closed ? 0 : 1;
}
