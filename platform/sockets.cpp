// The Windows socket calls over posix_net. A SOCKET is a handle into a table of
// descriptors rather than a descriptor, so that closing it while another thread is
// blocked on it can wake that thread without the descriptor's number being reused
// under it: the descriptor is really closed when the last call using it returns.
#include "platform/sockets.h"

#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/posix_net.h"
#include "platform/testing.h"

namespace {

thread_local int lastError = 0;

struct Entry {
  int fd;
  int users = 0;        // calls using fd right now
  bool closed = false;  // closesocket ran; fd is closed when users drops to 0
  DWORD sendTimeoutMs = 0;
};

struct SocketTable {
  std::mutex mutex;  // guards everything below; never held across a blocking call
  int startups = 0;
  SOCKET nextHandle = 1;
  std::unordered_map<SOCKET, Entry> entries;
  int staleCloses = 0;  // closesocket calls that found no open socket
};

// Never destroyed: detached threads may still be in socket calls while the process exits.
SocketTable& Table() {
  static SocketTable* table = new SocketTable;
  return *table;
}

int Fail(int code) {
  lastError = code;
  return SOCKET_ERROR;
}

SOCKET FailSocket(int code) {
  lastError = code;
  return INVALID_SOCKET;
}

constexpr struct {
  int posix;
  int wsa;
} kErrorCodes[] = {
    {EINTR, WSAEINTR},
    {EACCES, WSAEACCES},
    {EPERM, WSAEACCES},
    {EFAULT, WSAEFAULT},
    {EINVAL, WSAEINVAL},
    {EMFILE, WSAEMFILE},
    {ENFILE, WSAEMFILE},
    {EINPROGRESS, WSAEINPROGRESS},
    {EALREADY, WSAEALREADY},
    {EBADF, WSAENOTSOCK},
    {ENOTSOCK, WSAENOTSOCK},
    {EDESTADDRREQ, WSAEDESTADDRREQ},
    {EMSGSIZE, WSAEMSGSIZE},
    {EPROTOTYPE, WSAEPROTOTYPE},
    {ENOPROTOOPT, WSAENOPROTOOPT},
    {EPROTONOSUPPORT, WSAEPROTONOSUPPORT},
    {ESOCKTNOSUPPORT, WSAESOCKTNOSUPPORT},
    {EOPNOTSUPP, WSAEOPNOTSUPP},
    {EAFNOSUPPORT, WSAEAFNOSUPPORT},
    {EADDRINUSE, WSAEADDRINUSE},
    {EADDRNOTAVAIL, WSAEADDRNOTAVAIL},
    {ENETDOWN, WSAENETDOWN},
    {ENETUNREACH, WSAENETUNREACH},
    {ENETRESET, WSAENETRESET},
    {ECONNABORTED, WSAECONNABORTED},
    {ECONNRESET, WSAECONNRESET},
    {EPIPE, WSAECONNRESET},  // the peer has gone; Windows reports the reset
    {ENOBUFS, WSAENOBUFS},
    {ENOMEM, WSAENOBUFS},
    {EAGAIN, WSAENOBUFS},  // only a connect or bind that finds no free local port
    {EISCONN, WSAEISCONN},
    {ENOTCONN, WSAENOTCONN},
    {ESHUTDOWN, WSAESHUTDOWN},
    {ETIMEDOUT, WSAETIMEDOUT},
    {ECONNREFUSED, WSAECONNREFUSED},
    {EHOSTDOWN, WSAEHOSTDOWN},
    {EHOSTUNREACH, WSAEHOSTUNREACH},
};

int WsaCode(int posixError) {
  for (const auto& code : kErrorCodes) {
    if (code.posix == posixError) return code.wsa;
  }
  return WSAENETDOWN;  // Windows' code for a failure of the network itself
}

bool Started() {
  SocketTable& t = Table();
  std::lock_guard lock(t.mutex);
  if (t.startups > 0) return true;
  lastError = WSANOTINITIALISED;
  return false;
}

// The open entry of s, or null with lastError set. Call with the table locked.
Entry* FindOpen(SocketTable& t, SOCKET s) {
  if (t.startups == 0) {
    lastError = WSANOTINITIALISED;
    return nullptr;
  }
  auto it = t.entries.find(s);
  if (it == t.entries.end() || it->second.closed) {
    lastError = WSAENOTSOCK;
    return nullptr;
  }
  return &it->second;
}

// Marks an entry closed, with the table locked. Returns the descriptor to close once
// the lock is released and the entry erased, or -1 when calls still use it: those are
// woken, and the last of them closes it.
int MarkClosed(Entry& e) {
  e.closed = true;
  if (e.users == 0) return e.fd;
  posix_net::Shutdown(e.fd);
  return -1;
}

// A new handle for fd; fd is closed when sockets were cleaned up meanwhile.
SOCKET Register(int fd) {
  SocketTable& t = Table();
  {
    std::lock_guard lock(t.mutex);
    if (t.startups > 0) {
      SOCKET s = t.nextHandle++;
      t.entries.emplace(s, Entry{fd});
      return s;
    }
  }
  posix_net::Close(fd);
  return FailSocket(WSANOTINITIALISED);
}

// Keeps a socket's descriptor open while one call uses it.
class Lease {
 public:
  explicit Lease(SOCKET s) : s_(s) {
    SocketTable& t = Table();
    std::lock_guard lock(t.mutex);
    if (Entry* e = FindOpen(t, s)) {
      ++e->users;
      entry_ = *e;
    }
  }
  Lease(const Lease&) = delete;
  Lease& operator=(const Lease&) = delete;

  ~Lease() {
    if (!*this) return;
    SocketTable& t = Table();
    int fd = -1;
    {
      std::lock_guard lock(t.mutex);
      auto it = t.entries.find(s_);
      if (--it->second.users == 0 && it->second.closed) {
        fd = it->second.fd;
        t.entries.erase(it);
      }
    }
    if (fd >= 0) posix_net::Close(fd);
  }

  explicit operator bool() const { return entry_.fd >= 0; }
  int fd() const { return entry_.fd; }
  DWORD sendTimeoutMs() const { return entry_.sendTimeoutMs; }

  // Whether closesocket has run on the socket.
  bool Closed() const {
    SocketTable& t = Table();
    std::lock_guard lock(t.mutex);
    return t.entries.at(s_).closed;
  }

  // Fails the call with the Windows code for a bridge result, or with `cutShort` when
  // closesocket cut the call short: the code Windows gives such a call.
  int Failure(int negatedErrno, int cutShort = WSA_OPERATION_ABORTED) const {
    return Fail(Closed() ? cutShort : WsaCode(-negatedErrno));
  }

 private:
  SOCKET s_;
  Entry entry_{-1};
};

// Reads an IPv4 address given to bind or connect: 0 with addr and port, or the error.
int ReadAddress(const sockaddr* name, int namelen, uint32_t* addr, uint16_t* port) {
  sockaddr_in in;
  if (!name || namelen < int(sizeof in)) return WSAEFAULT;
  std::memcpy(&in, name, sizeof in);
  if (in.sin_family != AF_INET) return WSAEAFNOSUPPORT;
  *addr = in.sin_addr.s_addr;
  *port = in.sin_port;
  return 0;
}

// The error for the arguments of send or recv, or 0.
int BufferError(const char* buf, int len, int flags) {
  if (flags != 0) return WSAEOPNOTSUPP;
  if (len < 0 || (!buf && len > 0)) return WSAEFAULT;
  return 0;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int WSAStartup(WORD versionRequested, WSADATA* data) {
  if (!data) return WSAEFAULT;
  int major = versionRequested & 0xff;
  int minor = versionRequested >> 8;
  if (major < 1 || (major == 1 && minor < 1)) return WSAVERNOTSUPPORTED;
  *data = WSADATA{};
  data->wVersion = data->wHighVersion = 0x0101;
  std::snprintf(data->szDescription, sizeof data->szDescription, "Windows Sockets 1.1 over POSIX");
  std::snprintf(data->szSystemStatus, sizeof data->szSystemStatus, "Running");
  SocketTable& t = Table();
  std::lock_guard lock(t.mutex);
  ++t.startups;
  return 0;
}

int WSACleanup() {
  SocketTable& t = Table();
  std::vector<int> toClose;
  {
    std::lock_guard lock(t.mutex);
    if (t.startups == 0) return Fail(WSANOTINITIALISED);
    if (--t.startups > 0) return 0;
    for (auto it = t.entries.begin(); it != t.entries.end();) {
      int fd = it->second.closed ? -1 : MarkClosed(it->second);
      if (fd >= 0) {
        toClose.push_back(fd);
        it = t.entries.erase(it);
      } else {
        ++it;
      }
    }
  }
  for (int fd : toClose) posix_net::Close(fd);
  return 0;
}

int WSAGetLastError() { return lastError; }

SOCKET socket(int af, int type, int protocol) {
  if (!Started()) return INVALID_SOCKET;
  if (af != AF_INET) return FailSocket(WSAEAFNOSUPPORT);
  if (type != SOCK_STREAM) return FailSocket(WSAESOCKTNOSUPPORT);
  if (protocol != 0 && protocol != IPPROTO_TCP) return FailSocket(WSAEPROTONOSUPPORT);
  int fd = posix_net::OpenStream();
  if (fd < 0) return FailSocket(WsaCode(-fd));
  return Register(fd);
}

int bind(SOCKET s, const sockaddr* name, int namelen) {
  Lease lease(s);
  if (!lease) return SOCKET_ERROR;
  uint32_t addr;
  uint16_t port;
  if (int err = ReadAddress(name, namelen, &addr, &port)) return Fail(err);
  int r = posix_net::Bind(lease.fd(), addr, port);
  return r < 0 ? lease.Failure(r) : 0;
}

int listen(SOCKET s, int backlog) {
  Lease lease(s);
  if (!lease) return SOCKET_ERROR;
  int r = posix_net::Listen(lease.fd(), backlog);
  return r < 0 ? lease.Failure(r) : 0;
}

SOCKET accept(SOCKET s, sockaddr* addr, int* addrlen) {
  Lease lease(s);
  if (!lease) return INVALID_SOCKET;
  if (addr && (!addrlen || *addrlen < int(sizeof(sockaddr_in)))) return FailSocket(WSAEFAULT);
  sockaddr_in peer{};
  int fd = posix_net::Accept(lease.fd(), &peer.sin_addr.s_addr, &peer.sin_port);
  if (fd < 0) {
    lease.Failure(fd);
    return INVALID_SOCKET;
  }
  SOCKET accepted = Register(fd);
  if (accepted != INVALID_SOCKET && addr) {
    peer.sin_family = AF_INET;
    std::memcpy(addr, &peer, sizeof peer);
    *addrlen = sizeof peer;
  }
  return accepted;
}

int connect(SOCKET s, const sockaddr* name, int namelen) {
  Lease lease(s);
  if (!lease) return SOCKET_ERROR;
  uint32_t addr;
  uint16_t port;
  if (int err = ReadAddress(name, namelen, &addr, &port)) return Fail(err);
  int r = posix_net::Connect(lease.fd(), addr, port);
  return r < 0 ? lease.Failure(r) : 0;
}

int send(SOCKET s, const char* buf, int len, int flags) {
  Lease lease(s);
  if (!lease) return SOCKET_ERROR;
  if (int err = BufferError(buf, len, flags)) return Fail(err);
  int r = posix_net::SendAll(lease.fd(), buf, size_t(len), lease.sendTimeoutMs());
  return r < 0 ? lease.Failure(r) : len;
}

int recv(SOCKET s, char* buf, int len, int flags) {
  Lease lease(s);
  if (!lease) return SOCKET_ERROR;
  if (int err = BufferError(buf, len, flags)) return Fail(err);
  int r = posix_net::Recv(lease.fd(), buf, size_t(len));
  // The shutdown that wakes a read that closesocket ends looks like the end of the
  // stream here; on Windows that read fails.
  if (r < 0 || (r == 0 && lease.Closed())) return lease.Failure(r, WSAEINVAL);
  return r;
}

int shutdown(SOCKET s, int how) {
  Lease lease(s);
  if (!lease) return SOCKET_ERROR;
  if (how != SD_SEND) return Fail(WSAEINVAL);
  int r = posix_net::ShutdownSend(lease.fd());
  return r < 0 ? lease.Failure(r) : 0;
}

int closesocket(SOCKET s) {
  SocketTable& t = Table();
  int fd;
  {
    std::lock_guard lock(t.mutex);
    Entry* e = FindOpen(t, s);
    if (!e) {
      t.staleCloses++;
      return SOCKET_ERROR;
    }
    fd = MarkClosed(*e);
    if (fd >= 0) t.entries.erase(s);
  }
  if (fd >= 0) posix_net::Close(fd);
  return 0;
}

int setsockopt(SOCKET s, int level, int optname, const char* optval, int optlen) {
  SocketTable& t = Table();
  std::lock_guard lock(t.mutex);
  Entry* e = FindOpen(t, s);
  if (!e) return SOCKET_ERROR;
  if (level != SOL_SOCKET) return Fail(WSAEINVAL);
  if (optname != SO_RCVTIMEO && optname != SO_SNDTIMEO) return Fail(WSAENOPROTOOPT);
  DWORD ms;
  if (!optval || optlen < int(sizeof ms)) return Fail(WSAEFAULT);
  std::memcpy(&ms, optval, sizeof ms);
  if (optname == SO_SNDTIMEO) {
    e->sendTimeoutMs = ms;
    return 0;
  }
  const int r = posix_net::SetReceiveTimeout(e->fd, ms);
  return r < 0 ? Fail(WsaCode(-r)) : 0;
}

uint16_t htons(uint16_t hostshort) {
  if constexpr (std::endian::native == std::endian::big) return hostshort;
  return uint16_t(hostshort >> 8 | hostshort << 8);
}

uint32_t inet_addr(const char* cp) {
  if (!cp) return INADDR_NONE;
  uint8_t parts[4];
  for (int i = 0; i < 4; ++i) {
    if (i > 0 && *cp++ != '.') return INADDR_NONE;
    if (!IsDigit(*cp)) return INADDR_NONE;
    unsigned value = 0;
    while (IsDigit(*cp)) {
      value = value * 10 + unsigned(*cp++ - '0');
      if (value > 255) return INADDR_NONE;
    }
    parts[i] = uint8_t(value);
  }
  if (*cp != '\0') return INADDR_NONE;
  uint32_t addr;  // network order: the first part is the first byte
  std::memcpy(&addr, parts, sizeof addr);
  return addr;
}

int StaleSocketCloses() {
  SocketTable& t = Table();
  std::lock_guard lock(t.mutex);
  return t.staleCloses;
}
