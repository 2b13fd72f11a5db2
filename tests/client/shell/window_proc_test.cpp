#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "client/shell/shell.h"
#include "client/world/world.h"
#include "platform/testing.h"
#include "tests/client/support/client_harness.h"

namespace {

constexpr uint32_t kTitleColour = 0x336699;

// The client's main window with its controls and a title picture of one colour,
// started as far as the window procedure needs.
class ClientWindow : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    UseTestDesktop();
    RegisterClientClass(nullptr);
    WSADATA data;
    WSAStartup(MAKEWORD(1, 1), &data);
  }
  void SetUp() override {
    mainWindow = CreateWindowExA(0, "QuendleWindow", "Vellumstone Brambleduck", WS_POPUP | WS_CAPTION, 0, 0, 640,
                                 480, nullptr, nullptr, nullptr, nullptr);
    CreateControls("Anonymous", nullptr);
    windowDC = GetDC(mainWindow);
    titleBitmap = CreateCompatibleBitmap(windowDC, 640, 380);
    FillBitmap(titleBitmap, kTitleColour);
    started = 0;
    ShowWindow(mainWindow, SW_SHOW);
    SetFocus(mainWindow);
    PumpMessages();
  }
  // Pumps the queue and says whether the quit message came.
  static bool Quits() {
    bool quit = false;
    PumpMessages(&quit);
    return quit;
  }
};

TEST_F(ClientWindow, PaintsTheTitleUntilTheGameStarts) {
  EXPECT_EQ(WindowPixel(mainWindow, 320, 100), kTitleColour);
  EXPECT_NE(WindowPixel(mainWindow, 320, 460), kTitleColour) << "the controls below the play view";
  // Once started, a repaint leaves the play view to the game tick.
  started = 1;
  HDC dc = GetDC(mainWindow);
  HDC black = CreateCompatibleDC(dc);
  HBITMAP blank = CreateCompatibleBitmap(dc, 640, 380);
  HGDIOBJ previous = SelectObject(black, blank);
  BitBlt(dc, 0, 0, 640, 380, black, 0, 0, SRCCOPY);
  SendMessageA(mainWindow, WM_PAINT, 0, 0);
  EXPECT_EQ(WindowPixel(mainWindow, 320, 100), 0u);
  SelectObject(black, previous);
  DeleteObject(blank);
  DeleteDC(black);
}

TEST_F(ClientWindow, KeysAreRecordedWhileTheWindowHasTheFocus) {
  PressKey(VK_LEFT);
  PumpMessages();
  EXPECT_EQ(keyDown[VK_LEFT], 1);
  ReleaseKey(VK_LEFT);
  PumpMessages();
  EXPECT_EQ(keyDown[VK_LEFT], 0);
  // Enter gives the keyboard to the chat box, whose keys the game does not see.
  PressKey(VK_RETURN);
  PumpMessages();
  EXPECT_EQ(GetFocus(), chatBox);
  PressKey(VK_UP);
  PumpMessages();
  EXPECT_EQ(keyDown[VK_UP], 0);
  // A click in the play view gives it back.
  ClickAt(mainWindow, 320, 200);
  PumpMessages();
  EXPECT_EQ(GetFocus(), mainWindow);
}

TEST_F(ClientWindow, GoSavesTheNameAndStartsTheTick) {
  TempFolder folder;
  SetWindowTextA(nameBox, "Ann");
  ClickAt(mainWindow, 555 + 30, 381 + 9);
  PumpMessages();
  EXPECT_EQ(started, 1);
  EXPECT_EQ(GetFocus(), mainWindow);
  FILE* file = fopen("brambleduck.ini", "rb");
  ASSERT_NE(file, nullptr);
  char saved[8] = {};
  EXPECT_EQ(fread(saved, 1, sizeof saved, file), 4u);
  fclose(file);
  EXPECT_EQ(std::string(saved, 4), std::string("\3Ann", 4));
  // The tick runs every 40 ms from now on; each raises the blink counter.
  int before = blinkCounter;
  AdvanceClock(40);
  PumpMessages();
  AdvanceClock(40);
  PumpMessages();
  EXPECT_EQ(blinkCounter, before + 2);
  // No server listens: the player walks alone.
  EXPECT_TRUE(StatusBecomes("Could not connect."));
  KillTimer(mainWindow, 1);
}

TEST_F(ClientWindow, KeysTypedInTheChatBoxAreNotTheGames) {
  PressKey(VK_RIGHT);
  PressKey(VK_RETURN);
  PumpMessages();
  ASSERT_EQ(GetFocus(), chatBox);
  // Released while the chat box has the keyboard: the player keeps walking.
  ReleaseKey(VK_RIGHT);
  TypeText("a b");
  PressKey(VK_LEFT);
  PressKey(VK_SPACE);
  PumpMessages();
  EXPECT_EQ(keyDown[VK_RIGHT], 1);
  EXPECT_EQ(keyDown[VK_LEFT], 0);
  char text[16];
  GetWindowTextA(chatBox, text, sizeof text);
  EXPECT_STREQ(text, "a b");
  EXPECT_EQ(psiRequested, 0);
}

TEST_F(ClientWindow, SpaceAsksForAThrowOnlyWhenConnectedAndIt) {
  struct Case {
    BYTE connected, it;
    BYTE requested;
  } cases[] = {{0, 0, 0}, {1, 3, 0}, {1, 0, 1}};
  for (const Case& c : cases) {
    connected = c.connected;
    itSlot = c.it;
    localSlot = 0;
    psiRequested = 0;
    PressKey(VK_SPACE);
    PumpMessages();
    EXPECT_EQ(psiRequested, c.requested);
  }
  connected = 0;
}

TEST_F(ClientWindow, SayWhileNotConnectedChangesNothing) {
  SetWindowTextA(chatBox, "hello");
  SetFocus(chatBox);
  PumpMessages();
  ClickAt(mainWindow, 555 + 30, 434 + 9);
  PumpMessages();
  EXPECT_EQ(chatPending, 0);
  char text[16];
  GetWindowTextA(chatBox, text, sizeof text);
  EXPECT_STREQ(text, "hello");
}

TEST_F(ClientWindow, EscapeEndsTheProgram) {
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(Quits());
}

TEST_F(ClientWindow, ClosingTheWindowEndsTheProgram) {
  PostMessageA(mainWindow, WM_CLOSE, 0, 0);
  EXPECT_TRUE(Quits());
}

}  // namespace
