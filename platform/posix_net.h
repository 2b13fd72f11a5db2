// The POSIX side of the socket layer: blocking TCP over IPv4 on file descriptors,
// under names of its own so that it never meets the Windows names of sockets.h.
// Addresses and ports are in network byte order. Each call returns a non-negative
// result on success and the negated errno on failure; EINTR is retried, never returned.
#pragma once

#include <cstddef>
#include <cstdint>

namespace posix_net {

// A new TCP socket, not inherited by programs this process starts.
int OpenStream();

// Binds with SO_REUSEADDR, so that a port whose previous listener has ended can be
// bound again at once; a port that another socket listens on is still refused.
int Bind(int fd, uint32_t addr, uint16_t port);

int Listen(int fd, int backlog);

// Waits for a connection and returns its descriptor, with the peer's address.
int Accept(int fd, uint32_t* addr, uint16_t* port);

int Connect(int fd, uint32_t addr, uint16_t port);

// Sends all of buf or fails; -ETIMEDOUT when that takes more than timeoutMs
// (0: no limit). Never raises SIGPIPE.
int SendAll(int fd, const char* buf, size_t len, uint32_t timeoutMs);

// Bounds each receive on fd: nothing arriving within timeoutMs (0: no bound) ends it.
int SetReceiveTimeout(int fd, uint32_t timeoutMs);

// Receives at most len (<= INT_MAX) bytes; 0 at the end of the stream. -ETIMEDOUT when nothing
// arrives within the receive timeout.
int Recv(int fd, char* buf, size_t len);

// Ends every call waiting on fd (reads see the end, accept fails); fd stays open.
void Shutdown(int fd);

// Ends the sending side of a connection (its peer reads the end); fd stays open.
int ShutdownSend(int fd);

void Close(int fd);

}  // namespace posix_net
