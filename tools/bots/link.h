// One bot's TCP connection to a server, over plain POSIX sockets with their default
// options, as the game's client has them.
#pragma once

#include <cstddef>
#include <string>

class Link {
 public:
  Link() = default;
  ~Link();
  Link(const Link&) = delete;
  Link& operator=(const Link&) = delete;

  // Connects to port 16738 of a dotted IPv4 address.
  bool Connect(const std::string& address);
  // Sends every byte or fails.
  bool Send(const void* bytes, size_t length);
  // Receives what has arrived, waiting for at least one byte: the count, 0 at the end
  // of the connection, -1 on failure.
  int Receive(void* buffer, size_t room);
  // Ends the connection; a Receive blocked on it returns.
  void Shut();

 private:
  int socket_ = -1;
};
