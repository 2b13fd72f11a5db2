#include "tests/client/together/driven_client.h"

#include <filesystem>
#include <sstream>

namespace {

// Longer than any wait of the driver itself, which gives up after 10 s.
constexpr std::chrono::milliseconds kAnswer{20000};

}  // namespace

DrivenClient::DrivenClient()
    : process_(CLIENT_DRIVER, std::filesystem::temp_directory_path().string(), {"DISPLAY", "WAYLAND_DISPLAY"}) {}

std::string DrivenClient::Ask(const std::string& command) {
  if (!process_.Write(command + "\n")) return "no answer";
  return process_.ReadLine(kAnswer).value_or("no answer");
}

testing::AssertionResult DrivenClient::Does(const std::string& action) {
  std::string answer = Ask(action);
  if (answer == "ok") return testing::AssertionSuccess();
  return testing::AssertionFailure() << "\"" << action << "\" was answered \"" << answer << "\"";
}

testing::AssertionResult DrivenClient::Shows(const std::string& query, const std::string& value) {
  std::string answer = Ask("wait " + query + " == " + value);
  if (answer == "ok") return testing::AssertionSuccess();
  return testing::AssertionFailure() << "waited for " << query << " == " << value << ": " << answer;
}

testing::AssertionResult DrivenClient::DoesAll(const std::vector<std::string>& actions) {
  for (const std::string& action : actions) {
    if (testing::AssertionResult done = Does(action); !done) return done;
  }
  return testing::AssertionSuccess();
}

testing::AssertionResult DrivenClient::Join(const std::string& name) {
  testing::AssertionResult done = DoesAll({"name " + name, "go"});
  return done ? Shows("connected", "1") : done;
}

testing::AssertionResult DrivenClient::Say(const std::string& text) {
  return DoesAll({"press 13", "release 13", "type " + text, "say"});
}

testing::AssertionResult DrivenClient::Walk(int key, int ticks) {
  return DoesAll({"press " + std::to_string(key), "tick " + std::to_string(ticks)});
}

testing::AssertionResult DrivenClient::Stop() {
  return DoesAll({"release 37", "release 38", "release 39", "release 40", "tick 1"});
}

LocalView DrivenClient::Me() {
  std::string answer = Ask("me");
  std::istringstream in(answer);
  LocalView view;
  if (!(in >> view.slot >> view.x >> view.y >> view.map >> view.direction >> view.it >> view.connected)) {
    ADD_FAILURE() << "\"me\" was answered \"" << answer << "\"";
    return {-1, -1, -1, -1, -1, -1, -1};
  }
  return view;
}

std::optional<int> DrivenClient::Quit() {
  if (!process_.Write("quit\n") || !process_.WaitForLine({"bye"}, kAnswer)) return std::nullopt;
  return process_.Wait(kAnswer);
}
