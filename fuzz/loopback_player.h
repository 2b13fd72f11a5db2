// For slots_fuzz: the player's end of a loopback connection to the server under test.
// It is a plain socket that sends every message at once and acknowledges what it
// receives at once, so that no exchange waits for a delayed acknowledgement: the
// server's own sockets send small messages back to back.
#pragma once

#include <cstdint>

// A connection to 127.0.0.1:port whose receives give up after `timeoutMs`; -1 when it
// cannot be made.
int ConnectPlayer(uint16_t port, int timeoutMs);
bool SendAll(int player, const void* bytes, int length);
// As recv: the count received, 0 when the server closed, -1 on failure or time-out.
int ReceiveSome(int player, void* into, int room);
void ClosePlayer(int player);
