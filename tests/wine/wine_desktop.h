// The Windows programs under Wine, on an X server of the test's own (Xvfb), worked with
// real X input through xdotool. Wine uses the fresh prefix that the wine_prefix test
// made in the build folder. Every wait has a deadline.
#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/child_process.h"

class WineDesktop {
 public:
  // Starts the X server and points Wine at it.
  WineDesktop();
  // Ends every Windows program, Wine's server and the X server, and removes the folders.
  ~WineDesktop();
  WineDesktop(const WineDesktop&) = delete;
  WineDesktop& operator=(const WineDesktop&) = delete;

  bool Ready() const { return ready_; }

  // Starts `program` ("quendle.exe" or "quendlehost.exe", or the path of another
  // Windows program) in a folder of its own that holds the game data, as a player
  // unpacks the release.
  std::unique_ptr<ChildProcess> Start(const std::filesystem::path& program);

  // The folder that Start made for `program`, where it reads and writes its files.
  std::filesystem::path FolderOf(const std::filesystem::path& program) const;

  // Starts our Linux `program` ("quendle" or "quendlehost") on the same desktop, in a
  // folder of its own that holds the game data.
  std::unique_ptr<ChildProcess> StartOurs(const std::string& program);

  // The X window of a visible top-level window with exactly this title; nothing when
  // none shows within the deadline.
  std::optional<std::string> Window(const std::string& title);

  // Runs xdotool with these arguments on this display; false when it failed.
  bool Xdotool(const std::vector<std::string>& arguments);

  // Clicks the point (x, y) of the window's inside with the left button.
  bool Click(const std::string& window, int x, int y);

 private:
  // Runs `program` to its end, its standard output kept; nothing when it failed.
  std::optional<std::string> Run(const std::string& program, const std::vector<std::string>& arguments);

  // A new folder named `name` that holds the game data.
  std::filesystem::path GameFolder(const std::string& name);

  std::filesystem::path folder_;
  std::unique_ptr<ChildProcess> xvfb_;
  bool ready_ = false;
};
