// For tests that run the whole client in their own process: a working folder that
// reaches the game data of the build, the client's window opened as the program opens
// it, and waits on what the network thread changes.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

#include "platform/windows.h"
#include "tests/client/render/picture_files.h"

// A fresh working folder (see TempFolder) with links to everything in the game folder
// of the build, so the client finds its data and writes its settings file here.
class GameFolder {
 public:
  GameFolder();

 private:
  TempFolder folder_;
};

// Opens the client's main window with the whole start-up, on the test desktop and
// without sound. Call once per process, inside a GameFolder.
void OpenClient();

// Pumps the message queue until `condition` holds; false when it still does not after
// `timeout`. The network thread's calls on the main window are answered meanwhile.
bool PumpUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));

// The text of a window or control.
std::string TextOf(HWND window);

// Pumps until the status box shows `text`.
testing::AssertionResult StatusBecomes(const std::string& text);
