#include "platform/threads.h"

#include <limits.h>
#include <pthread.h>

#include <algorithm>
#include <atomic>

#include "platform/testing.h"

namespace {

// Set by tests, which play a system that has no thread left to give.
std::atomic<void (*)(void*)> refusedStart{nullptr};

struct StartInfo {
  void (*start)(void*);
  void* arg;
};

void* RunThread(void* p) {
  StartInfo info = *static_cast<StartInfo*>(p);
  delete static_cast<StartInfo*>(p);
  info.start(info.arg);
  return nullptr;
}

}  // namespace

uintptr_t _beginthread(void (*start)(void*), unsigned stackSize, void* arg) {
  constexpr uintptr_t kFailed = ~uintptr_t(0);
  pthread_attr_t attr;
  if (!start || start == refusedStart || pthread_attr_init(&attr) != 0) return kFailed;
  int err = pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
  if (err == 0 && stackSize != 0) {
    err = pthread_attr_setstacksize(&attr, std::max<size_t>(stackSize, PTHREAD_STACK_MIN));
  }
  auto* info = new StartInfo{start, arg};
  pthread_t thread;
  if (err == 0) err = pthread_create(&thread, &attr, RunThread, info);
  pthread_attr_destroy(&attr);
  if (err != 0) {
    delete info;
    return kFailed;
  }
  return uintptr_t(thread);
}

void _endthread() { pthread_exit(nullptr); }

void RefuseThreadsOf(void (*start)(void*)) { refusedStart = start; }
