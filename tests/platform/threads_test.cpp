#include "platform/threads.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

namespace {

// What a started thread reports back to the test.
struct Report {
  std::mutex mutex;
  std::condition_variable changed;
  bool started = false;
  bool passedEnd = false;
  bool ended = false;

  void Set(bool Report::*flag) {
    std::lock_guard lock(mutex);
    this->*flag = true;
    changed.notify_all();
  }
  void WaitFor(bool Report::*flag) {
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return this->*flag; });
  }
};

// Reports `ended` when the thread that made it ends, however it ends.
struct EndWatch {
  Report* report = nullptr;
  ~EndWatch() {
    if (report) report->Set(&Report::ended);
  }
};

void Start(void* arg) { static_cast<Report*>(arg)->Set(&Report::started); }

void EndHalfway(void* arg) {
  auto* report = static_cast<Report*>(arg);
  thread_local EndWatch watch;
  watch.report = report;
  report->Set(&Report::started);
  _endthread();
  report->Set(&Report::passedEnd);
}

class BeginThreadTest : public ::testing::TestWithParam<unsigned> {};

TEST_P(BeginThreadTest, RunsStartWithItsArgument) {
  Report report;
  ASSERT_NE(_beginthread(Start, GetParam(), &report), ~uintptr_t(0));
  report.WaitFor(&Report::started);
}

// 0 is the default stack; 1 is below any system's minimum and must be rounded up.
INSTANTIATE_TEST_SUITE_P(StackSizes, BeginThreadTest, ::testing::Values(0u, 1u, 256u * 1024u));

TEST(EndThreadTest, EndsTheThreadBeforeTheRestOfItsFunction) {
  Report report;
  ASSERT_NE(_beginthread(EndHalfway, 0, &report), ~uintptr_t(0));
  report.WaitFor(&Report::ended);
  std::lock_guard lock(report.mutex);
  EXPECT_TRUE(report.started);
  EXPECT_FALSE(report.passedEnd);
}

}  // namespace
