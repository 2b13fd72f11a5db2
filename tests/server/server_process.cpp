#include "tests/server/server_process.h"

#include <signal.h>
#include <stdlib.h>

namespace {

std::filesystem::path NewFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quendlehost-XXXXXX").string();
  if (!mkdtemp(pattern.data())) return {};
  return pattern;
}

}  // namespace

ServerProcess::ServerProcess() : folder_(NewFolder()) {
  if (folder_.empty()) return;
  process_ = std::make_unique<ChildProcess>(QUENDLEHOST, folder_.string(),
                                            std::vector<std::string>{"DISPLAY", "WAYLAND_DISPLAY"});
  listening_ = process_->Started() && Shows({"Waiting for connection..."});
}

ServerProcess::~ServerProcess() {
  process_.reset();
  if (!folder_.empty()) std::filesystem::remove_all(folder_);
}

std::optional<std::string> ServerProcess::Shows(const std::vector<std::string>& texts,
                                                std::chrono::milliseconds timeout) {
  return process_->WaitForLine(texts, timeout);
}

std::vector<std::string> ServerProcess::List() {
  std::vector<std::string> rows;
  if (!process_->Write("list\n")) return rows;
  while (std::optional<std::string> line = process_->ReadLine(kPrompt)) {
    std::string number = std::to_string(rows.size()) + ' ';
    if (line->starts_with(number)) {
      rows.push_back(line->substr(number.size()));
      if (rows.size() == kSlotCount) break;
    }
  }
  return rows;
}

std::vector<std::string> ServerProcess::ListOnceItShows(const std::vector<std::string>& expected) {
  auto deadline = std::chrono::steady_clock::now() + kPrompt;
  std::vector<std::string> rows = List();
  while (rows != expected && std::chrono::steady_clock::now() < deadline) rows = List();
  return rows;
}

void ServerProcess::Kick(int slot) { process_->Write("kick " + std::to_string(slot) + "\n"); }

std::optional<int> ServerProcess::Stop() {
  process_->Signal(SIGTERM);
  return process_->Wait(kPrompt);
}

std::vector<std::unique_ptr<Player>> JoinPlayers(int count) {
  std::vector<std::unique_ptr<Player>> players;
  for (int i = 0; i < count; i++) {
    players.push_back(std::make_unique<Player>());
    EXPECT_EQ(Join(*players.back(), BYTE(1 + i % 5), "P" + std::to_string(i)), i);
  }
  for (int i = 0; i < count; i++) {
    for (int later = i + 1; later < count; later++) {
      EXPECT_EQ(As<PlayerJoined>(NextNotice(*players[size_t(i)])).slot, later) << "player " << i;
    }
  }
  return players;
}

std::vector<std::string> Rows(const std::vector<std::string>& names) {
  std::vector<std::string> rows(kSlotCount, "-Empty-");
  std::copy(names.begin(), names.end(), rows.begin());
  return rows;
}
