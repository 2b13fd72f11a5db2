#include "platform/sockets.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <iterator>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

constexpr uint16_t kPort = 16738;

sockaddr_in TestAddress() {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(kPort);
  a.sin_addr.s_addr = inet_addr("127.0.0.1");
  return a;
}

int BindTestPort(SOCKET s) {
  sockaddr_in a = TestAddress();
  return bind(s, reinterpret_cast<const sockaddr*>(&a), sizeof a);
}

int ConnectTestPort(SOCKET s) {
  sockaddr_in a = TestAddress();
  return connect(s, reinterpret_cast<const sockaddr*>(&a), sizeof a);
}

// A socket listening on the test port, or INVALID_SOCKET.
SOCKET Listener() {
  SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  if (s != INVALID_SOCKET && (BindTestPort(s) != 0 || listen(s, 4) != 0)) {
    closesocket(s);
    return INVALID_SOCKET;
  }
  return s;
}

// How many descriptors this process has open.
std::ptrdiff_t OpenDescriptors() {
  std::filesystem::directory_iterator entries("/proc/self/fd");
  return std::distance(entries, std::filesystem::directory_iterator());
}

// Whether thread `tid` of this process sleeps in the kernel, or has ended.
bool Asleep(pid_t tid) {
  std::ifstream stat("/proc/self/task/" + std::to_string(tid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return true;
  // The state follows the command name, which is in parentheses and may hold any byte.
  size_t end = line.rfind(')');
  return end == std::string::npos || end + 2 >= line.size() || line[end + 2] == 'S';
}

// Starts `call` on another thread, runs `interrupt` once that thread sleeps (blocked
// in the call, as nothing else there sleeps), and returns what the call returned.
// Should the interrupt still land before the call, the call must fail as well.
template <typename Call, typename Interrupt>
auto InterruptCall(Call call, Interrupt interrupt) {
  std::promise<pid_t> starting;
  auto result = std::async(std::launch::async, [&] {
    starting.set_value(gettid());
    return call();
  });
  pid_t tid = starting.get_future().get();
  while (!Asleep(tid)) std::this_thread::yield();
  interrupt();
  return result.get();
}

// Every call that takes a socket, each returning whether it failed.
const std::vector<std::pair<const char*, std::function<bool(SOCKET)>>> kSocketCalls = {
    {"bind", [](SOCKET s) { return BindTestPort(s) == SOCKET_ERROR; }},
    {"listen", [](SOCKET s) { return listen(s, 1) == SOCKET_ERROR; }},
    {"accept", [](SOCKET s) { return accept(s, nullptr, nullptr) == INVALID_SOCKET; }},
    {"connect", [](SOCKET s) { return ConnectTestPort(s) == SOCKET_ERROR; }},
    {"send", [](SOCKET s) { return send(s, "x", 1, 0) == SOCKET_ERROR; }},
    {"recv",
     [](SOCKET s) {
       char c;
       return recv(s, &c, 1, 0) == SOCKET_ERROR;
     }},
    {"setsockopt",
     [](SOCKET s) {
       DWORD ms = 10;
       return setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&ms), sizeof ms) ==
              SOCKET_ERROR;
     }},
    {"shutdown", [](SOCKET s) { return shutdown(s, SD_SEND) == SOCKET_ERROR; }},
    {"closesocket", [](SOCKET s) { return closesocket(s) == SOCKET_ERROR; }},
};

void ExpectEveryCallFails(SOCKET s, int error) {
  for (const auto& [name, call] : kSocketCalls) {
    EXPECT_TRUE(call(s)) << name << " on " << s;
    EXPECT_EQ(WSAGetLastError(), error) << name << " on " << s;
  }
}

class SocketsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    descriptors_ = OpenDescriptors();
    WSADATA data;
    ASSERT_EQ(WSAStartup(0x0101, &data), 0);
  }
  // Also closes whatever the test left open.
  void TearDown() override {
    EXPECT_EQ(WSACleanup(), 0);
    EXPECT_EQ(OpenDescriptors(), descriptors_) << "a descriptor was left open";
  }

 private:
  std::ptrdiff_t descriptors_ = 0;
};

// A connection over loopback; the listener stays open.
class ConnectedTest : public SocketsTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(SocketsTest::SetUp());
    listener = Listener();
    ASSERT_NE(listener, INVALID_SOCKET);
    client = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    ASSERT_NE(client, INVALID_SOCKET);
    ASSERT_EQ(ConnectTestPort(client), 0);
    sockaddr_in peer{};
    int len = sizeof peer;
    server = accept(listener, reinterpret_cast<sockaddr*>(&peer), &len);
    ASSERT_NE(server, INVALID_SOCKET);
    EXPECT_EQ(len, int(sizeof peer));
    EXPECT_EQ(peer.sin_family, AF_INET);
    EXPECT_EQ(peer.sin_addr.s_addr, inet_addr("127.0.0.1"));
  }

  void SetTimeout(SOCKET s, int option, DWORD ms) {
    ASSERT_EQ(setsockopt(s, SOL_SOCKET, option, reinterpret_cast<const char*>(&ms), sizeof ms), 0);
  }

  SOCKET listener = INVALID_SOCKET;
  SOCKET client = INVALID_SOCKET;
  SOCKET server = INVALID_SOCKET;
};

TEST(InetAddrTest, ReadsDottedDecimalInNetworkOrder) {
  struct Case {
    const char* text;
    uint8_t bytes[4];
  };
  for (const Case& c : {Case{"127.0.0.1", {127, 0, 0, 1}}, Case{"0.0.0.0", {0, 0, 0, 0}},
                        Case{"10.200.3.45", {10, 200, 3, 45}}, Case{"255.255.255.254", {255, 255, 255, 254}},
                        Case{"001.02.0.9", {1, 2, 0, 9}}}) {
    uint32_t addr = inet_addr(c.text);
    EXPECT_EQ(std::memcmp(&addr, c.bytes, 4), 0) << c.text;
  }
}

TEST(InetAddrTest, RefusesEverythingElse) {
  for (const char* text :
       {"localhost", "1.2.3", "1.2.3.4x", "", "256.1.1.1", "1.2.3.4.5", " 1.2.3.4", "1.2.3.4 ", "1..3.4",
        "-1.2.3.4", "+1.2.3.4", "1.2.3.", ".1.2.3", "0x7f.0.0.1", "99999999999.1.1.1", "1.2.3.1000"}) {
    EXPECT_EQ(inet_addr(text), INADDR_NONE) << '"' << text << '"';
  }
  EXPECT_EQ(inet_addr(nullptr), INADDR_NONE);
}

TEST(HtonsTest, PutsTheHighByteFirst) {
  uint16_t port = htons(0x1234);
  uint8_t bytes[2];
  std::memcpy(bytes, &port, 2);
  EXPECT_EQ(bytes[0], 0x12);
  EXPECT_EQ(bytes[1], 0x34);
}

TEST(WinsockStartupTest, GivesVersion11AndNests) {
  WSADATA data;
  EXPECT_EQ(WSAStartup(0x0001, &data), WSAVERNOTSUPPORTED);
  EXPECT_EQ(WSAStartup(0x0101, nullptr), WSAEFAULT);
  for (WORD version : {WORD(0x0101), WORD(0x0202)}) {
    std::memset(&data, 0xee, sizeof data);
    ASSERT_EQ(WSAStartup(version, &data), 0);
    EXPECT_EQ(data.wVersion, 0x0101);
    EXPECT_EQ(data.wHighVersion, 0x0101);
    EXPECT_NE(std::memchr(data.szDescription, '\0', sizeof data.szDescription), nullptr);
    EXPECT_NE(std::memchr(data.szSystemStatus, '\0', sizeof data.szSystemStatus), nullptr);
  }
  EXPECT_EQ(WSACleanup(), 0);
  EXPECT_NE(socket(AF_INET, SOCK_STREAM, 0), INVALID_SOCKET) << "one startup is still in effect";
  EXPECT_EQ(WSACleanup(), 0);
}

TEST(WinsockStartupTest, CallsOutsideStartupFail) {
  EXPECT_EQ(socket(AF_INET, SOCK_STREAM, 0), INVALID_SOCKET);
  EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
  EXPECT_EQ(WSACleanup(), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
  ExpectEveryCallFails(1, WSANOTINITIALISED);
}

TEST(WinsockStartupTest, LastCleanupClosesEverySocketAndWakesAccept) {
  std::ptrdiff_t descriptors = OpenDescriptors();
  WSADATA data;
  ASSERT_EQ(WSAStartup(0x0101, &data), 0);
  ASSERT_EQ(WSAStartup(0x0101, &data), 0);
  SOCKET listener = Listener();
  ASSERT_NE(listener, INVALID_SOCKET);
  SOCKET idle = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_NE(idle, INVALID_SOCKET);
  ASSERT_EQ(WSACleanup(), 0);

  SOCKET accepted =
      InterruptCall([&] { return accept(listener, nullptr, nullptr); }, [] { EXPECT_EQ(WSACleanup(), 0); });
  EXPECT_EQ(accepted, INVALID_SOCKET);

  ASSERT_EQ(WSAStartup(0x0101, &data), 0);
  ExpectEveryCallFails(idle, WSAENOTSOCK);
  EXPECT_NE(Listener(), INVALID_SOCKET) << "the port is free again";
  EXPECT_EQ(WSACleanup(), 0);
  EXPECT_EQ(OpenDescriptors(), descriptors);
}

TEST_F(SocketsTest, SocketTakesOnlyTcpOverIpv4) {
  struct Case {
    int af, type, protocol, error;
  };
  for (const Case& c : {Case{23, SOCK_STREAM, 0, WSAEAFNOSUPPORT}, Case{AF_INET, 2, 0, WSAESOCKTNOSUPPORT},
                        Case{AF_INET, SOCK_STREAM, 17, WSAEPROTONOSUPPORT}}) {
    EXPECT_EQ(socket(c.af, c.type, c.protocol), INVALID_SOCKET);
    EXPECT_EQ(WSAGetLastError(), c.error) << c.af << ' ' << c.type << ' ' << c.protocol;
  }
}

TEST_F(SocketsTest, HandlesAreNeverReused) {
  SOCKET first = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_NE(first, INVALID_SOCKET);
  ASSERT_EQ(closesocket(first), 0);
  SOCKET second = socket(AF_INET, SOCK_STREAM, 0);
  EXPECT_NE(second, INVALID_SOCKET);
  EXPECT_NE(second, first);
  ExpectEveryCallFails(first, WSAENOTSOCK);
  ExpectEveryCallFails(987654321, WSAENOTSOCK);
  ExpectEveryCallFails(INVALID_SOCKET, WSAENOTSOCK);
}

TEST_F(SocketsTest, CloseWakesBlockedAccept) {
  SOCKET listener = Listener();
  ASSERT_NE(listener, INVALID_SOCKET);
  auto [accepted, error] = InterruptCall(
      [&] {
        SOCKET s = accept(listener, nullptr, nullptr);
        return std::pair(s, WSAGetLastError());
      },
      [&] { EXPECT_EQ(closesocket(listener), 0); });
  EXPECT_EQ(accepted, INVALID_SOCKET);
  EXPECT_EQ(error, WSA_OPERATION_ABORTED) << "as on Windows";
  EXPECT_NE(Listener(), INVALID_SOCKET) << "the port is free again";
}

TEST_F(SocketsTest, PortAnotherSocketListensOnCannotBeBound) {
  ASSERT_NE(Listener(), INVALID_SOCKET);
  SOCKET second = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_NE(second, INVALID_SOCKET);
  EXPECT_EQ(BindTestPort(second), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEADDRINUSE);
}

TEST_F(SocketsTest, RefusedConnectGives10061AndErrorsArePerThread) {
  SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_NE(s, INVALID_SOCKET);
  EXPECT_EQ(ConnectTestPort(s), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), 10061);

  auto [before, after] = std::async(std::launch::async, [] {
                           int fresh = WSAGetLastError();
                           socket(23, SOCK_STREAM, 0);
                           return std::pair(fresh, WSAGetLastError());
                         }).get();
  EXPECT_EQ(before, 0);
  EXPECT_EQ(after, WSAEAFNOSUPPORT);
  EXPECT_EQ(WSAGetLastError(), 10061);
}

TEST_F(ConnectedTest, CloseWakesBlockedRecv) {
  auto [got, error] = InterruptCall(
      [&] {
        char c;
        int r = recv(server, &c, 1, 0);
        return std::pair(r, WSAGetLastError());
      },
      [&] { EXPECT_EQ(closesocket(server), 0); });
  // A failure, not the end of the stream, and WSAEINVAL, as on Windows.
  EXPECT_EQ(got, SOCKET_ERROR);
  EXPECT_EQ(error, WSAEINVAL);
  char c;
  EXPECT_EQ(recv(client, &c, 1, 0), 0) << "the peer sees the connection end";
}

TEST_F(ConnectedTest, CloseWakesBlockedSend) {
  // Far more than the two sides' buffers hold while nobody reads.
  std::vector<char> data(64 << 20);
  auto [sent, error] = InterruptCall(
      [&] {
        int r = send(client, data.data(), int(data.size()), 0);
        return std::pair(r, WSAGetLastError());
      },
      [&] { EXPECT_EQ(closesocket(client), 0); });
  EXPECT_EQ(sent, SOCKET_ERROR);
  EXPECT_EQ(error, WSA_OPERATION_ABORTED) << "as on Windows";
}

TEST_F(ConnectedTest, SendAndRecvCarryBytes) {
  ASSERT_EQ(send(client, "hello", 5, 0), 5);
  char buf[16];
  int got = 0;
  while (got < 5) {
    int r = recv(server, buf + got, sizeof buf - got, 0);
    ASSERT_GT(r, 0);
    got += r;
  }
  EXPECT_EQ(std::string(buf, got), "hello");
}

TEST_F(ConnectedTest, SendDeliversTheWholeOfALargeBuffer) {
  std::vector<char> data(8 << 20);
  for (size_t i = 0; i < data.size(); ++i) data[i] = char(i * 7 + i / 4096);
  auto sent = std::async(std::launch::async, [&] { return send(client, data.data(), int(data.size()), 0); });

  std::vector<char> received(data.size());
  size_t got = 0;
  while (got < received.size()) {
    int r = recv(server, received.data() + got, int(received.size() - got), 0);
    ASSERT_GT(r, 0);
    got += size_t(r);
  }
  EXPECT_EQ(sent.get(), int(data.size()));
  EXPECT_TRUE(received == data);
}

TEST_F(ConnectedTest, ResetConnectionFailsRecvAndSendWithoutSignal) {
  ASSERT_EQ(send(client, "ab", 2, 0), 2);
  char c;
  ASSERT_EQ(recv(server, &c, 1, 0), 1);
  ASSERT_EQ(closesocket(server), 0);  // with "b" unread, closing resets the connection
  EXPECT_EQ(recv(client, &c, 1, 0), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAECONNRESET);
  EXPECT_EQ(send(client, "c", 1, 0), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAECONNRESET);
}

TEST_F(ConnectedTest, ShutdownBeforeCloseEndsTheStreamEvenWithBytesUnread) {
  ASSERT_EQ(send(client, "ab", 2, 0), 2);
  ASSERT_EQ(shutdown(server, SD_SEND), 0);
  ASSERT_EQ(closesocket(server), 0);
  char c;
  EXPECT_EQ(recv(client, &c, 1, 0), 0);
}

TEST_F(ConnectedTest, RecvTimesOut) {
  ASSERT_NO_FATAL_FAILURE(SetTimeout(server, SO_RCVTIMEO, 50));
  auto start = std::chrono::steady_clock::now();
  char c;
  EXPECT_EQ(recv(server, &c, 1, 0), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAETIMEDOUT);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));

  ASSERT_EQ(send(client, "x", 1, 0), 1);
  EXPECT_EQ(recv(server, &c, 1, 0), 1) << "the socket still works";
}

TEST_F(ConnectedTest, SendTimesOutWhenThePeerStopsReading) {
  ASSERT_NO_FATAL_FAILURE(SetTimeout(client, SO_SNDTIMEO, 50));
  std::vector<char> chunk(1 << 20);
  int r;
  while ((r = send(client, chunk.data(), int(chunk.size()), 0)) == int(chunk.size())) {
  }
  EXPECT_EQ(r, SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAETIMEDOUT);
}

TEST_F(ConnectedTest, PortCanBeBoundAgainAfterItsListenerCloses) {
  // The accepted side closes first, so the port is held by a closing connection.
  ASSERT_EQ(closesocket(server), 0);
  ASSERT_EQ(closesocket(client), 0);
  ASSERT_EQ(closesocket(listener), 0);
  EXPECT_NE(Listener(), INVALID_SOCKET);
}

TEST_F(ConnectedTest, BadArgumentsAreRefused) {
  sockaddr_in good = TestAddress();
  sockaddr_in wrongFamily = good;
  wrongFamily.sin_family = 23;
  const auto* goodName = reinterpret_cast<const sockaddr*>(&good);
  const auto* wrongName = reinterpret_cast<const sockaddr*>(&wrongFamily);
  DWORD ms = 10;
  const char* opt = reinterpret_cast<const char*>(&ms);
  SOCKET fresh = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_NE(fresh, INVALID_SOCKET);
  sockaddr_in peer;
  auto* peerName = reinterpret_cast<sockaddr*>(&peer);
  int shortLen = 8;
  char byte[1];

  struct Case {
    const char* name;
    std::function<bool()> fails;
    int error;
  };
  const Case cases[] = {
      {"bind short", [&] { return bind(fresh, goodName, 8) == SOCKET_ERROR; }, WSAEFAULT},
      {"bind null", [&] { return bind(fresh, nullptr, sizeof good) == SOCKET_ERROR; }, WSAEFAULT},
      {"bind family", [&] { return bind(fresh, wrongName, sizeof good) == SOCKET_ERROR; }, WSAEAFNOSUPPORT},
      {"connect short", [&] { return connect(fresh, goodName, 15) == SOCKET_ERROR; }, WSAEFAULT},
      {"connect family", [&] { return connect(fresh, wrongName, sizeof good) == SOCKET_ERROR; },
       WSAEAFNOSUPPORT},
      {"accept short", [&] { return accept(listener, peerName, &shortLen) == INVALID_SOCKET; }, WSAEFAULT},
      {"send flags", [&] { return send(client, "x", 1, 1) == SOCKET_ERROR; }, WSAEOPNOTSUPP},
      {"send length", [&] { return send(client, "x", -1, 0) == SOCKET_ERROR; }, WSAEFAULT},
      {"recv flags", [&] { return recv(server, byte, 1, 2) == SOCKET_ERROR; }, WSAEOPNOTSUPP},
      {"recv buffer", [&] { return recv(server, nullptr, 1, 0) == SOCKET_ERROR; }, WSAEFAULT},
      {"setsockopt level", [&] { return setsockopt(client, 6, SO_RCVTIMEO, opt, 4) == SOCKET_ERROR; },
       WSAEINVAL},
      {"setsockopt option", [&] { return setsockopt(client, SOL_SOCKET, 4, opt, 4) == SOCKET_ERROR; },
       WSAENOPROTOOPT},
      {"shutdown how", [&] { return shutdown(client, 2) == SOCKET_ERROR; }, WSAEINVAL},
      {"shutdown unconnected", [&] { return shutdown(fresh, SD_SEND) == SOCKET_ERROR; }, WSAENOTCONN},
      {"setsockopt length",
       [&] { return setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, opt, 2) == SOCKET_ERROR; }, WSAEFAULT},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(c.fails()) << c.name;
    EXPECT_EQ(WSAGetLastError(), c.error) << c.name;
  }
}

}  // namespace
