// Windows Sockets 1.1: the TCP over IPv4 part that the game uses, with the Windows
// names, records, constants and error codes. What the game may rely on:
// - A SOCKET is a handle that is never reused. closesocket from one thread makes a
//   call that another thread is blocked in on that socket fail at once, with the code
//   Windows gives: WSAEINVAL for recv, WSA_OPERATION_ABORTED for accept and send.
//   Calls on a closed or unknown handle fail with WSAENOTSOCK.
// - send on a blocking socket sends the whole buffer or fails, and never raises a signal.
// - SO_RCVTIMEO and SO_SNDTIMEO (a DWORD of milliseconds, 0 for none) bound recv and
//   send, which then fail with WSAETIMEDOUT.
// - bind lets a port be bound again as soon as its previous listener has closed, but
//   never while another socket listens on it.
// - WSAGetLastError is kept per thread. Socket calls made while no WSAStartup is in
//   effect fail with WSANOTINITIALISED; the WSACleanup that undoes the last WSAStartup
//   closes every socket still open, waking the calls blocked on them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/wintypes.h"

typedef uintptr_t SOCKET;
#define INVALID_SOCKET ((SOCKET)(~0))
#define SOCKET_ERROR (-1)

#define AF_INET 2
#define SOCK_STREAM 1
#define IPPROTO_TCP 6
#define INADDR_ANY 0
#define INADDR_NONE 0xffffffff
#define SOL_SOCKET 0xffff
#define SO_SNDTIMEO 0x1005
#define SO_RCVTIMEO 0x1006
#define SD_SEND 1

#define WSAEINTR 10004
#define WSAEACCES 10013
#define WSAEFAULT 10014
#define WSAEINVAL 10022
#define WSAEMFILE 10024
#define WSAEINPROGRESS 10036
#define WSAEALREADY 10037
#define WSAENOTSOCK 10038
#define WSAEDESTADDRREQ 10039
#define WSAEMSGSIZE 10040
#define WSAEPROTOTYPE 10041
#define WSAENOPROTOOPT 10042
#define WSAEPROTONOSUPPORT 10043
#define WSAESOCKTNOSUPPORT 10044
#define WSAEOPNOTSUPP 10045
#define WSAEAFNOSUPPORT 10047
#define WSAEADDRINUSE 10048
#define WSAEADDRNOTAVAIL 10049
#define WSAENETDOWN 10050
#define WSAENETUNREACH 10051
#define WSAENETRESET 10052
#define WSAECONNABORTED 10053
#define WSAECONNRESET 10054
#define WSAENOBUFS 10055
#define WSAEISCONN 10056
#define WSAENOTCONN 10057
#define WSAESHUTDOWN 10058
#define WSAETIMEDOUT 10060
#define WSAECONNREFUSED 10061
#define WSAEHOSTDOWN 10064
#define WSAEHOSTUNREACH 10065
#define WSAVERNOTSUPPORTED 10092
#define WSANOTINITIALISED 10093
#define WSA_OPERATION_ABORTED 995

#define WSADESCRIPTION_LEN 256
#define WSASYS_STATUS_LEN 128

// The 32-bit Windows layout.
struct WSADATA {
  WORD wVersion;
  WORD wHighVersion;
  char szDescription[WSADESCRIPTION_LEN + 1];
  char szSystemStatus[WSASYS_STATUS_LEN + 1];
  unsigned short iMaxSockets;
  unsigned short iMaxUdpDg;
  char* lpVendorInfo;
};
typedef WSADATA* LPWSADATA;

struct sockaddr {
  uint16_t sa_family;
  char sa_data[14];
};

// An IPv4 address in network byte order.
struct in_addr {
  uint32_t s_addr;
};

struct sockaddr_in {
  int16_t sin_family;
  uint16_t sin_port;  // network byte order
  in_addr sin_addr;
  char sin_zero[8];
};

static_assert(sizeof(sockaddr) == 16);
static_assert(sizeof(in_addr) == 4);
static_assert(sizeof(sockaddr_in) == 16);
static_assert(offsetof(sockaddr_in, sin_port) == 2 && offsetof(sockaddr_in, sin_addr) == 4 &&
              offsetof(sockaddr_in, sin_zero) == 8);

// Starts the use of sockets; versions from 1.1 up are accepted and 1.1 is what is
// given. Returns 0, or the error (WSAVERNOTSUPPORTED, WSAEFAULT) itself.
int WSAStartup(WORD versionRequested, WSADATA* data);
int WSACleanup();
int WSAGetLastError();

// Only AF_INET with SOCK_STREAM and protocol 0 or IPPROTO_TCP.
SOCKET socket(int af, int type, int protocol);
int bind(SOCKET s, const sockaddr* name, int namelen);
int listen(SOCKET s, int backlog);
SOCKET accept(SOCKET s, sockaddr* addr, int* addrlen);
int connect(SOCKET s, const sockaddr* name, int namelen);
// flags must be 0.
int send(SOCKET s, const char* buf, int len, int flags);
int recv(SOCKET s, char* buf, int len, int flags);
// Only SD_SEND: the peer reads the end of the stream, even if the socket is closed
// later with bytes from the peer still unread (a close alone would reset it).
int shutdown(SOCKET s, int how);
int closesocket(SOCKET s);
// Only SOL_SOCKET with SO_RCVTIMEO or SO_SNDTIMEO.
int setsockopt(SOCKET s, int level, int optname, const char* optval, int optlen);

uint16_t htons(uint16_t hostshort);
// Strict dotted decimal "a.b.c.d" only; anything else gives INADDR_NONE.
uint32_t inet_addr(const char* cp);
