#include "tests/client/support/client_harness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "client/shell/shell.h"
#include "platform/testing.h"

GameFolder::GameFolder() {
  for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(GAME_DIR)) {
    std::filesystem::create_symlink(entry.path(), entry.path().filename());
  }
}

void OpenClient() {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  UseTestDesktop();
  RegisterClientClass(nullptr);
  OpenMainWindow(nullptr, SW_SHOW);
  PumpMessages();
}

bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (true) {
    PumpMessages();
    if (condition()) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

std::string TextOf(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

testing::AssertionResult StatusBecomes(const std::string& text, std::chrono::milliseconds timeout) {
  if (PumpUntil([&] { return TextOf(statusBox) == text; }, timeout)) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "the status shows \"" << TextOf(statusBox) << "\", not \"" << text << "\"";
}
