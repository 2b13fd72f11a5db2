// Waiting on the client's network thread from the main thread of a test.
#pragma once

#include <chrono>
#include <functional>

// Pumps the message queue until `condition` holds; false when it still does not after
// `timeout`. The network thread's calls on the main window are answered meanwhile.
bool PumpUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));
