// Threads the way the Windows C runtime starts and ends them.
#pragma once

#include <cstdint>

// Starts start(arg) on a new thread that nobody waits for. stackSize is the stack in
// bytes; 0 gives the default, and a size below the smallest the system allows is
// rounded up to it. Returns an identifier of the thread, or (uintptr_t)-1 when no
// thread could be started.
uintptr_t _beginthread(void (*start)(void*), unsigned stackSize, void* arg);

// Ends the calling thread at once, as returning from its start routine would; its
// thread_local objects are destroyed. Never returns.
void _endthread();
