// A server scripted by a test, for a client that runs in the test's own process: it
// listens on the game port of the loopback interface, takes one connection at a time,
// sends bytes as the test gives them and reads what the client sends. Every wait
// pumps the client's messages (its network thread needs the main thread now and then)
// and has a deadline.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

using Bytes = std::vector<uint8_t>;

class FakeServer {
 public:
  FakeServer();  // listening, or not Listening() when the port could not be had
  ~FakeServer();
  FakeServer(const FakeServer&) = delete;
  FakeServer& operator=(const FakeServer&) = delete;

  bool Listening() const { return listener_ >= 0; }

  // Takes the next connection; false when none came in time.
  bool Accept();
  // Whether a connection is waiting to be taken, without waiting.
  bool ConnectionWaiting();

  bool Send(const Bytes& bytes);
  template <typename T>
  bool Send(const T& record) {
    Bytes bytes(sizeof record);
    memcpy(bytes.data(), &record, sizeof record);
    return Send(bytes);
  }

  // Exactly `length` bytes, or fewer when the connection ended or the time ran out;
  // bytes that came too late stay for the next call.
  Bytes Receive(size_t length, std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));
  template <typename T>
  T ReceiveRecord() {
    T record = {};
    Bytes bytes = Receive(sizeof record);
    if (bytes.size() == sizeof record) memcpy(&record, bytes.data(), sizeof record);
    return record;
  }
  // Whether the client closes the connection without sending anything more.
  bool Ends();

  // Closes the connection, as a server that goes away.
  void Hang();

 private:
  bool Readable(int socket);
  int listener_ = -1;
  int connection_ = -1;
  Bytes pending_;
  bool ended_ = false;
};
