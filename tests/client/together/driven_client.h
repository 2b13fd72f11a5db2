// A whole client in a process of its own (client_driver), worked through its window
// procedure: one command a line, one answer a line. Several of them play together
// against one server, as several players on several machines would.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/support/child_process.h"

// The local player as its client knows it: the `me` answer.
struct LocalView {
  int slot, x, y, map, direction, it, connected;
};

class DrivenClient {
 public:
  // Starts the client, without a display or sound device, in a game folder of its own.
  DrivenClient();

  // The answer to one command of client_driver; "no answer" when none came in time.
  std::string Ask(const std::string& command);

  // An action, which the client answers "ok".
  testing::AssertionResult Does(const std::string& action);
  // Waits until the query's answer is `value`.
  testing::AssertionResult Shows(const std::string& query, const std::string& value);

  // Types the name and presses "Go!"; true once the client is connected.
  testing::AssertionResult Join(const std::string& name);
  // Enter, the line typed into the chat box, and "Say".
  testing::AssertionResult Say(const std::string& text);
  // Presses the arrow `key` and lets `ticks` game ticks pass with it held.
  testing::AssertionResult Walk(int key, int ticks);
  // Releases every arrow; the next tick, which makes the last step, leaves the player
  // standing.
  testing::AssertionResult Stop();

  LocalView Me();

  // Closes the client's window; its exit code.
  std::optional<int> Quit();

 private:
  testing::AssertionResult DoesAll(const std::vector<std::string>& actions);

  ChildProcess process_;
};
