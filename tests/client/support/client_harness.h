// For tests that run the whole client in their own process: a working folder that
// reaches the game data of the build, the client's window opened as the program opens
// it, and waits on what the network thread changes.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/windows.h"
#include "tests/client/render/picture_files.h"
#include "tests/client/support/pump_until.h"

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

// The text of a window or control.
std::string TextOf(HWND window);

// Pumps until the status box shows `text`.
testing::AssertionResult StatusBecomes(const std::string& text,
                                       std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));
