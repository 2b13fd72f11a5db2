// Connections from one local address that never say a word, each opened again as soon
// as the server lets it go: a client that tries to keep `count` newcomers' places on a
// server for as long as it likes.
#pragma once

#include <atomic>
#include <string>
#include <thread>

class Holders {
 public:
  // Starts holding at once, from `from` to port 16738 of `server`.
  Holders(const std::string& server, const std::string& from, int count);
  // Lets every connection go.
  ~Holders();
  Holders(const Holders&) = delete;
  Holders& operator=(const Holders&) = delete;

  // How many times the server let one of them go.
  long LetGo() const { return letGo_; }

 private:
  void Run(const std::string& server, const std::string& from, int count);

  std::atomic<bool> stop_{false};
  std::atomic<long> letGo_{0};
  std::thread thread_;
};
