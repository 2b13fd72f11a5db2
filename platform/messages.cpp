// The main thread's message queue: posted messages and input, sent messages from other
// threads, the quit request, paint requests and timers, in the order Windows gives them.
#include "platform/messages.h"

#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <future>
#include <thread>

#include "platform/screen.h"

namespace {

struct Timer {
  HWND hwnd;
  UINT_PTR id;
  UINT period;
  uint64_t due;
  TIMERPROC proc;
};

// A message sent from another thread to a window of the main thread, waiting for the
// main thread to run it.
struct SentMessage {
  MSG msg;
  std::promise<LRESULT> result;
};

struct Queue {
  std::mutex mutex;
  std::deque<MSG> posted;
  std::deque<SentMessage*> sent;
  std::vector<Timer> timers;
  bool quit = false;
  int quitCode = 0;
};

Queue& TheQueue() {
  static auto* queue = new Queue;
  return *queue;
}

std::thread::id mainThread;
std::atomic<bool> closeRequested{false};
int wakeFd = -1;

std::atomic<bool> manualClock{false};
std::atomic<uint64_t> manualNow{0};

void OnSignal(int) {
  closeRequested = true;
  uint64_t one = 1;
  ssize_t ignored = write(wakeFd, &one, sizeof one);
  (void)ignored;
}

// How long GetMessageA may sleep before a timer is due.
int MillisecondsToNextTimer() {
  Queue& q = TheQueue();
  std::lock_guard lock(q.mutex);
  if (q.timers.empty()) return -1;
  uint64_t now = NowMs(), next = UINT64_MAX;
  for (const Timer& t : q.timers) next = std::min(next, t.due);
  return next <= now ? 0 : int(std::min<uint64_t>(next - now, 60000));
}

void WaitForWork(int timeoutMs) {
  if (ScreenAvailable()) {
    // The desktop cannot wait on our wake descriptor, so a signal is noticed within a
    // short while instead.
    constexpr int kSignalCheckMs = 50;
    ScreenWaitEvents(timeoutMs < 0 ? kSignalCheckMs : std::min(timeoutMs, kSignalCheckMs));
    return;
  }
  pollfd fd = {wakeFd, POLLIN, 0};
  if (poll(&fd, 1, timeoutMs) > 0) {
    uint64_t count;
    ssize_t ignored = read(wakeFd, &count, sizeof count);
    (void)ignored;
  }
}

void RunSentMessages() {
  Queue& q = TheQueue();
  while (true) {
    SentMessage* sent;
    {
      std::lock_guard lock(q.mutex);
      if (q.sent.empty()) return;
      sent = q.sent.front();
      q.sent.pop_front();
    }
    sent->result.set_value(SendMessageA(sent->msg.hwnd, sent->msg.message, sent->msg.wParam, sent->msg.lParam));
  }
}

void PostCloseToTopLevels() {
  std::lock_guard lock(WindowMutex());
  for (Window* top : TopLevelWindows()) PostMessageA(top->Handle(), WM_CLOSE, 0, 0);
}

// The first window, parent before children, that waits to be painted.
Window* NextToPaint(Window& window) {
  if (!window.Shown()) return nullptr;
  if (window.needsPaint) return &window;
  for (Window* child : window.children) {
    if (Window* found = NextToPaint(*child)) return found;
  }
  return nullptr;
}

bool TakePaint(MSG* msg) {
  std::lock_guard lock(WindowMutex());
  for (Window* top : TopLevelWindows()) {
    if (Window* window = NextToPaint(*top)) {
      window->needsPaint = false;
      *msg = {window->Handle(), WM_PAINT, 0, 0, 0, {0, 0}};
      return true;
    }
  }
  return false;
}

bool TakeTimer(MSG* msg) {
  Queue& q = TheQueue();
  std::lock_guard lock(q.mutex);
  uint64_t now = NowMs();
  auto due = std::min_element(q.timers.begin(), q.timers.end(),
                              [](const Timer& a, const Timer& b) { return a.due < b.due; });
  if (due == q.timers.end() || due->due > now) return false;
  // One WM_TIMER however late the loop is: the missed periods are dropped.
  due->due = due->due + due->period > now ? due->due + due->period : now + due->period;
  *msg = {due->hwnd, WM_TIMER, due->id, reinterpret_cast<LPARAM>(due->proc), DWORD(now), {0, 0}};
  return true;
}

void PresentChangedWindows() {
  if (!ScreenAvailable()) return;
  std::lock_guard lock(WindowMutex());
  for (Window* top : TopLevelWindows()) {
    if (top->Shown()) ScreenPresent(*top);
  }
}

}  // namespace

void MessageLoopStarts() {
  static std::once_flag once;
  std::call_once(once, [] {
    mainThread = std::this_thread::get_id();
    wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
  });
}

bool OnMainThread() { return std::this_thread::get_id() == mainThread; }

void WakeMessageLoop() {
  if (wakeFd >= 0) {
    uint64_t one = 1;
    ssize_t ignored = write(wakeFd, &one, sizeof one);
    (void)ignored;
  }
  ScreenWake();
}

uint64_t NowMs() {
  if (manualClock) return manualNow;
  using namespace std::chrono;
  return uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void UseManualClock() {
  manualNow = NowMs();
  manualClock = true;
}

void AdvanceManualClock(uint32_t ms) { manualNow += ms; }

bool TakeReadyMessage(MSG* msg) {
  MessageLoopStarts();
  RunSentMessages();
  if (closeRequested.exchange(false)) PostCloseToTopLevels();
  Queue& q = TheQueue();
  {
    std::lock_guard lock(q.mutex);
    if (!q.posted.empty()) {
      *msg = q.posted.front();
      q.posted.pop_front();
      return true;
    }
    if (q.quit) {
      q.quit = false;
      *msg = {nullptr, WM_QUIT, WPARAM(q.quitCode), 0, 0, {0, 0}};
      return true;
    }
  }
  return TakePaint(msg) || TakeTimer(msg);
}

BOOL GetMessageA(MSG* msg, HWND, UINT, UINT) {
  if (!msg) return -1;
  while (true) {
    if (ScreenAvailable()) ScreenWaitEvents(0);
    if (TakeReadyMessage(msg)) return msg->message != WM_QUIT;
    PresentChangedWindows();
    WaitForWork(MillisecondsToNextTimer());
  }
}

BOOL TranslateMessage(const MSG* msg) {
  if (!msg || msg->message != WM_KEYDOWN) return FALSE;
  // The keys whose character the desktop's text input does not give.
  switch (msg->wParam) {
    case VK_BACK:
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE: {
      Queue& q = TheQueue();
      std::lock_guard lock(q.mutex);
      q.posted.push_front({msg->hwnd, WM_CHAR, msg->wParam, msg->lParam, msg->time, msg->pt});
      return TRUE;
    }
    default:
      return FALSE;
  }
}

LRESULT DispatchMessageA(const MSG* msg) {
  if (!msg) return 0;
  if (msg->message == WM_TIMER && msg->lParam) {
    reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, DWORD(NowMs()));
    return 0;
  }
  return SendMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC proc;
  {
    std::lock_guard lock(WindowMutex());
    Window* window = LookupWindow(hwnd);
    if (!window) return 0;
    if (window->control) {
      if (message == WM_PAINT) {
        std::lock_guard gdi(GdiMutex());
        Pixmap& surface = window->TopLevel().surface;
        window->control->Paint(*window, surface, window->Origin());
        surface.version++;
        return 0;
      }
      bool handled = false;
      LRESULT result = window->control->Handle(*window, message, wParam, lParam, handled);
      return handled ? result : DefWindowProcA(hwnd, message, wParam, lParam);
    }
    proc = window->proc;
  }
  if (OnMainThread()) return proc(hwnd, message, wParam, lParam);
  // A game window's procedure runs on the main thread only: hand the call over and
  // wait for its result, as Windows does.
  SentMessage sent{{hwnd, message, wParam, lParam, 0, {0, 0}}, {}};
  std::future<LRESULT> result = sent.result.get_future();
  {
    Queue& q = TheQueue();
    std::lock_guard lock(q.mutex);
    q.sent.push_back(&sent);
  }
  WakeMessageLoop();
  return result.get();
}

BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (hwnd) {
    std::lock_guard lock(WindowMutex());
    if (!LookupWindow(hwnd)) return FALSE;
  }
  {
    Queue& q = TheQueue();
    std::lock_guard lock(q.mutex);
    q.posted.push_back({hwnd, message, wParam, lParam, DWORD(NowMs()), {0, 0}});
  }
  WakeMessageLoop();
  return TRUE;
}

void PostQuitMessage(int exitCode) {
  {
    Queue& q = TheQueue();
    std::lock_guard lock(q.mutex);
    q.quit = true;
    q.quitCode = exitCode;
  }
  WakeMessageLoop();
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  constexpr UINT kShortestPeriod = 10;
  elapse = std::max(elapse, kShortestPeriod);
  Queue& q = TheQueue();
  {
    std::lock_guard lock(q.mutex);
    if (!hwnd) {
      static UINT_PTR nextId = 1;
      id = nextId++;
    }
    auto same = [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; };
    q.timers.erase(std::remove_if(q.timers.begin(), q.timers.end(), same), q.timers.end());
    q.timers.push_back({hwnd, id, elapse, NowMs() + elapse, proc});
  }
  WakeMessageLoop();
  return id ? id : 1;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  Queue& q = TheQueue();
  std::lock_guard lock(q.mutex);
  auto same = [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; };
  auto end = std::remove_if(q.timers.begin(), q.timers.end(), same);
  bool found = end != q.timers.end();
  q.timers.erase(end, q.timers.end());
  return found;
}
