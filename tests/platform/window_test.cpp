#include <gtest/gtest.h>

#include <signal.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/gdi.h"
#include "platform/messages.h"
#include "platform/testing.h"

namespace {

constexpr UINT WM_USER_TEST = WM_USER + 1;

// What the test window's procedure saw, in order.
std::vector<MSG> seen;

LRESULT Record(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  seen.push_back({hwnd, message, wParam, lParam, 0, {0, 0}});
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

std::vector<UINT> SeenOf(UINT message) {
  std::vector<UINT> out;
  for (const MSG& m : seen) {
    if (m.message == message) out.push_back(UINT(m.wParam));
  }
  return out;
}

class Windows : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    UseTestDesktop();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Record;
    wc.lpszClassName = "TestWindow";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(5);
    ASSERT_NE(RegisterClassA(&wc), 0);
  }
  void SetUp() override {
    main_ = CreateWindowExA(0, "TestWindow", "Test", WS_POPUP | WS_CAPTION, 0, 0, 200, 100, nullptr,
                            nullptr, nullptr, nullptr);
    ASSERT_NE(main_, nullptr);
    PumpMessages();
    seen.clear();
  }
  HWND Child(const char* cls, const char* text, DWORD style, int x, int y, int w, int h) {
    return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, main_, nullptr,
                           nullptr, nullptr);
  }

  HWND main_ = nullptr;
};

TEST_F(Windows, ClassesAreRegisteredOnceAndBuiltInNamesAreTaken) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = Record;
  wc.lpszClassName = "testwindow";
  EXPECT_EQ(RegisterClassA(&wc), 0) << "names are compared without regard to case";
  wc.lpszClassName = "Edit";
  EXPECT_EQ(RegisterClassA(&wc), 0);
  EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), nullptr);
}

TEST_F(Windows, TimersFireWhenDueAndNeverPileUp) {
  ASSERT_EQ(SetTimer(main_, 1, 40, nullptr), 1u);
  AdvanceClock(39);
  PumpMessages();
  EXPECT_TRUE(SeenOf(WM_TIMER).empty());
  AdvanceClock(1);
  PumpMessages();
  EXPECT_EQ(SeenOf(WM_TIMER), std::vector<UINT>{1});
  // A loop that was busy for ten periods gets one message, then the usual period.
  AdvanceClock(400);
  PumpMessages();
  EXPECT_EQ(SeenOf(WM_TIMER).size(), 2u);
  AdvanceClock(39);
  PumpMessages();
  EXPECT_EQ(SeenOf(WM_TIMER).size(), 2u);
  AdvanceClock(1);
  PumpMessages();
  EXPECT_EQ(SeenOf(WM_TIMER).size(), 3u);
  EXPECT_TRUE(KillTimer(main_, 1));
  EXPECT_FALSE(KillTimer(main_, 1));
  AdvanceClock(1000);
  PumpMessages();
  EXPECT_EQ(SeenOf(WM_TIMER).size(), 3u);
}

TEST_F(Windows, SettingATimerAgainRestartsIt) {
  SetTimer(main_, 7, 40, nullptr);
  AdvanceClock(30);
  SetTimer(main_, 7, 40, nullptr);
  AdvanceClock(30);
  PumpMessages();
  EXPECT_TRUE(SeenOf(WM_TIMER).empty());
  AdvanceClock(10);
  PumpMessages();
  EXPECT_EQ(SeenOf(WM_TIMER), std::vector<UINT>{7});
  KillTimer(main_, 7);
}

TEST_F(Windows, KeysGoToTheFocusAndTheLoopSeesThemFirst) {
  HWND edit = Child("EDIT", "", WS_BORDER, 0, 50, 100, 20);
  SetFocus(main_);
  PressKey(VK_LEFT);
  PumpMessages();
  EXPECT_EQ(SeenOf(WM_KEYDOWN), std::vector<UINT>{VK_LEFT});

  SetFocus(edit);
  EXPECT_EQ(GetFocus(), edit);
  PumpMessages();
  EXPECT_EQ(SeenOf(WM_KILLFOCUS).size(), 1u);
  PressKey(VK_RETURN);
  MSG msg;
  // The loop takes the message addressed to the edit box before anyone handles it.
  ASSERT_TRUE(TakeReadyMessage(&msg));
  EXPECT_EQ(msg.hwnd, edit);
  EXPECT_EQ(msg.message, UINT(WM_KEYDOWN));
  EXPECT_EQ(msg.wParam, WPARAM(VK_RETURN));
  PumpMessages();
  EXPECT_EQ(SeenOf(WM_KEYDOWN).size(), 1u) << "the main window does not get the edit box's keys";
}

TEST_F(Windows, PointsOutsideTheClientAreaReachNoWindow) {
  // In the corner, where a point just outside would land if it were taken for the
  // nearest point inside.
  Child("BUTTON", "Go!", 0, 0, 0, 50, 20);
  const POINT outside[] = {{-1, 5}, {5, -1}, {200, 5}, {5, 100}, {-30000, 30000}};
  for (const POINT& p : outside) {
    ClickAt(main_, p.x, p.y);
    TurnWheel(main_, p.x, p.y, 1);
  }
  PumpMessages();
  EXPECT_TRUE(SeenOf(WM_COMMAND).empty()) << "the button was clicked";
  EXPECT_TRUE(SeenOf(WM_LBUTTONDOWN).empty());
  EXPECT_TRUE(SeenOf(WM_MOUSEWHEEL).empty());

  ClickAt(main_, 5, 5);
  ClickAt(main_, 199, 99);
  TurnWheel(main_, 199, 99, 1);
  PumpMessages();
  EXPECT_EQ(SeenOf(WM_COMMAND).size(), 1u);
  EXPECT_EQ(SeenOf(WM_LBUTTONDOWN).size(), 1u);
  EXPECT_EQ(SeenOf(WM_MOUSEWHEEL).size(), 1u);
}

TEST_F(Windows, PaintsParentsBeforeChildrenWhenShown) {
  HWND button = Child("BUTTON", "Go!", 0, 10, 10, 50, 20);
  ShowWindow(main_, SW_SHOW);
  MSG msg;
  ASSERT_TRUE(TakeReadyMessage(&msg));
  EXPECT_EQ(msg.hwnd, main_);
  EXPECT_EQ(msg.message, UINT(WM_PAINT));
  DispatchMessageA(&msg);
  ASSERT_TRUE(TakeReadyMessage(&msg));
  EXPECT_EQ(msg.hwnd, button);
  EXPECT_EQ(msg.message, UINT(WM_PAINT));
}

TEST_F(Windows, TheWindowsDeviceContextDrawsIntoItsSurface) {
  HDC dc = GetDC(main_);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(WindowPixel(main_, 5, 5), 0xD4D0C8u) << "the class brush";
  HPEN pen = CreatePen(PS_SOLID, 2, RGB(0, 255, 0));
  SelectObject(dc, pen);
  MoveToEx(dc, 5, 5, nullptr);
  LineTo(dc, 6, 5);
  EXPECT_EQ(WindowPixel(main_, 4, 4), 0x00FF00u) << "the pen's tip, from one above and left of (5, 5)";
  EXPECT_EQ(ReleaseDC(main_, dc), 1);
}

TEST_F(Windows, TextsAndCallsFromOtherThreadsReachTheWindows) {
  HWND edit = Child("EDIT", "", WS_BORDER, 0, 50, 100, 20);
  std::thread other([&] {
    EXPECT_TRUE(SetWindowTextA(edit, "Host found!"));
    EXPECT_TRUE(PostMessageA(main_, WM_USER_TEST, 3, 4));
    // A game window's procedure runs on the main thread: this waits for the loop.
    EXPECT_TRUE(SetWindowTextA(main_, "Ann"));
    PostQuitMessage(0);
  });
  bool quit = false;
  while (!quit) PumpMessages(&quit);
  other.join();
  char text[32];
  EXPECT_EQ(GetWindowTextA(edit, text, sizeof text), 11);
  EXPECT_STREQ(text, "Host found!");
  EXPECT_EQ(GetWindowTextA(main_, text, 3), 2) << "cut to the buffer";
  EXPECT_STREQ(text, "An");
  EXPECT_EQ(SeenOf(WM_USER_TEST), std::vector<UINT>{3});
  EXPECT_EQ(SeenOf(WM_SETTEXT).size(), 1u);
}

TEST_F(Windows, GetMessageWaitsForAPostAndEndsOnQuit) {
  std::thread other([&] {
    PostMessageA(main_, WM_USER_TEST, 1, 0);
    PostQuitMessage(3);
  });
  MSG msg;
  EXPECT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, UINT(WM_USER_TEST));
  EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, UINT(WM_QUIT));
  EXPECT_EQ(msg.wParam, 3u);
  other.join();
}

TEST_F(Windows, TerminationSignalsCloseTheTopLevelWindows) {
  raise(SIGTERM);
  PumpMessages();
  EXPECT_FALSE(SeenOf(WM_CLOSE).empty());
  seen.clear();
  raise(SIGINT);
  PumpMessages();
  EXPECT_FALSE(SeenOf(WM_CLOSE).empty());
}

}  // namespace
