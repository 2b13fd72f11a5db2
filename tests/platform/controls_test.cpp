#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "platform/font.h"
#include "platform/input.h"
#include "platform/testing.h"
#include "tests/platform/canvas.h"

namespace {

// The WM_COMMANDs the parent window received, in order.
std::vector<MSG> commands;

LRESULT Parent(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) commands.push_back({hwnd, message, wParam, lParam, 0, {0, 0}});
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kNavy = 0x0A246A;

class Controls : public testing::Test {
 protected:
  void SetUp() override {
    static const bool registered = [] {
      UseTestDesktop();
      WNDCLASSA wc = {};
      wc.lpfnWndProc = Parent;
      wc.lpszClassName = "ControlsTestParent";
      return RegisterClassA(&wc) != 0;
    }();
    ASSERT_TRUE(registered);
    NewParent();
    ASSERT_NE(parent_, nullptr);
    commands.clear();
  }

  // A fresh parent window, so that nothing painted before shows.
  void NewParent() {
    parent_ = CreateWindowExA(0, "ControlsTestParent", "", WS_POPUP | WS_VISIBLE, 0, 0, 320, 200,
                              nullptr, nullptr, nullptr, nullptr);
    PumpMessages();
  }

  HWND Child(const char* cls, const char* text, DWORD style, RECT r) {
    return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                           r.right - r.left, r.bottom - r.top, parent_, nullptr, nullptr, nullptr);
  }

  static std::string Text(HWND hwnd) {
    char buffer[256];
    GetWindowTextA(hwnd, buffer, sizeof buffer);
    return buffer;
  }

  static void Type(const char* text) {
    TypeText(text);
    PumpMessages();
  }

  static void Press(int vk) {
    PressKey(vk);
    ReleaseKey(vk);
    PumpMessages();
  }

  void Click(int x, int y) {
    ClickAt(parent_, x, y);
    PumpMessages();
  }

  // The parent's pixels inside r.
  std::vector<uint32_t> Pixels(RECT r) {
    PumpMessages();
    std::vector<uint32_t> pixels;
    for (int y = r.top; y < r.bottom; y++) {
      for (int x = r.left; x < r.right; x++) pixels.push_back(WindowPixel(parent_, x, y));
    }
    return pixels;
  }

  bool HasBlack(RECT r) {
    std::vector<uint32_t> pixels = Pixels(r);
    return std::find(pixels.begin(), pixels.end(), kBlack) != pixels.end();
  }

  // The top-left corner of the box around the black pixels inside r, relative to r.
  POINT BlackCorner(RECT r) {
    POINT corner = {INT_MAX, INT_MAX};
    for (int y = r.top; y < r.bottom; y++) {
      for (int x = r.left; x < r.right; x++) {
        if (WindowPixel(parent_, x, y) != kBlack) continue;
        corner = {std::min<LONG>(corner.x, x - r.left), std::min<LONG>(corner.y, y - r.top)};
      }
    }
    return corner;
  }

  HWND parent_ = nullptr;
};

// ---- WS_BORDER ----

// Where the ink of `text` starts in its text cell: the corner of the box around its
// black pixels when DrawTextA draws it at (0, 0).
POINT InkInCell(const char* text) {
  Canvas canvas(200, 40, 0xFFFFFF);
  RECT rect = {0, 0, 200, 40};
  DrawTextA(canvas.dc, text, -1, &rect, DT_LEFT);
  POINT corner = {INT_MAX, INT_MAX};
  for (int y = 0; y < 40; y++) {
    for (int x = 0; x < 200; x++) {
      if (canvas.At(x, y) == kBlack) corner = {std::min<LONG>(corner.x, x), std::min<LONG>(corner.y, y)};
    }
  }
  return corner;
}

// WS_BORDER is a one-pixel frame in the window-frame colour, as on Windows, and the text
// sits where Windows puts its text cell: in an edit box two pixels in from the left, and
// two down only when the box is a line and four pixels high; in a list row one pixel in
// from the frame; on a push button centred in what the frame leaves. The boxes are the
// ones the client and the server make.
TEST_F(Controls, ABorderIsOneBlackPixelAndTheTextCellSitsWhereWindowsPutsIt) {
  const char* const kText = "Go!";
  const int line = FontLineHeight(), textWidth = TextWidth(kText, 3);
  auto editTop = [line](int height) { return height >= line + 4 ? 2 : 0; };
  auto buttonCell = [line, textWidth](int width, int height) {
    return POINT{1 + (width - 2 - textWidth) / 2, 1 + (height - 2 - line) / 2};
  };
  struct Case {
    const char* cls;
    DWORD style;
    int width, height;
    POINT cell;  // the text cell's top-left corner in the control
  };
  const Case cases[] = {
      {"EDIT", WS_BORDER, 300, 19, {2, editTop(19)}},
      {"EDIT", WS_BORDER | ES_AUTOHSCROLL, 300, 18, {2, editTop(18)}},
      {"EDIT", WS_BORDER | ES_READONLY, 300, 20, {2, editTop(20)}},
      {"EDIT", WS_BORDER, 300, line + 3, {2, 0}},
      {"EDIT", WS_BORDER, 300, line + 4, {2, 2}},
      {"EDIT", 0, 300, 20, {0, 0}},
      {"BUTTON", WS_BORDER, 75, 19, buttonCell(75, 19)},
      {"BUTTON", WS_BORDER | BS_PUSHBUTTON, 55, 25, buttonCell(55, 25)},
      {"LISTBOX", WS_BORDER | WS_VSCROLL, 175, 98, {2, 1}},
  };
  const POINT ink = InkInCell(kText);
  for (const Case& c : cases) {
    NewParent();
    const int x0 = 10, y0 = 10, right = x0 + c.width - 1, bottom = y0 + c.height - 1;
    const std::string what = std::string(c.cls) + " " + std::to_string(c.width) + "x" + std::to_string(c.height) +
                             " style " + std::to_string(c.style);
    const bool list = what.starts_with("LISTBOX");
    HWND control = Child(c.cls, list ? "" : kText, c.style, {x0, y0, right + 1, bottom + 1});
    if (list) SendMessageA(control, LB_ADDSTRING, 0, LPARAM(kText));
    PumpMessages();
    const int frame = (c.style & WS_BORDER) ? 1 : 0;
    if (frame) {
      auto notBlack = [&](int x, int y) { return WindowPixel(parent_, x, y) != kBlack ? 1 : 0; };
      int grey = 0;
      for (int x = x0; x <= right; x++) grey += notBlack(x, y0) + notBlack(x, bottom);
      for (int y = y0; y <= bottom; y++) grey += notBlack(x0, y) + notBlack(right, y);
      EXPECT_EQ(grey, 0) << what << ": pixels of the frame that are not black";
      EXPECT_NE(WindowPixel(parent_, x0 + 1, y0 + 1), kBlack) << what << ": the frame is one pixel";
      EXPECT_NE(WindowPixel(parent_, right - 1, bottom - 1), kBlack) << what << ": the frame is one pixel";
    }
    POINT corner = BlackCorner({x0 + frame, y0 + frame, right + 1 - frame, bottom + 1 - frame});
    EXPECT_EQ(corner.x + frame - ink.x, c.cell.x) << what;
    EXPECT_EQ(corner.y + frame - ink.y, c.cell.y) << what;
  }
}

// ---- EDIT ----

TEST_F(Controls, EditTypingStopsAtTheLimit) {
  HWND edit = Child("EDIT", "", WS_BORDER | ES_AUTOHSCROLL, {0, 0, 300, 20});
  SendMessageA(edit, EM_LIMITTEXT, 5, 0);
  SetFocus(edit);
  Type("abcdefgh");
  EXPECT_EQ(Text(edit), "abcde");
  Press(VK_BACK);
  Type("xy");
  EXPECT_EQ(Text(edit), "abcdx");
}

TEST_F(Controls, EditCaretKeys) {
  struct Step {
    int vk;  // or 0 to type `typed`
    const char* typed;
    const char* expected;
  };
  const Step steps[] = {
      {0, "abc", "abc"},    {VK_LEFT, "", "abc"},    {VK_LEFT, "", "abc"},
      {0, "X", "aXbc"},     {VK_HOME, "", "aXbc"},   {VK_DELETE, "", "Xbc"},
      {VK_END, "", "Xbc"},  {VK_BACK, "", "Xb"},     {VK_RIGHT, "", "Xb"},
      {0, "!", "Xb!"},      {VK_HOME, "", "Xb!"},    {VK_RIGHT, "", "Xb!"},
      {0, "-", "X-b!"},     {VK_RETURN, "", "X-b!"}, {VK_ESCAPE, "", "X-b!"},
      {VK_TAB, "", "X-b!"},
  };
  HWND edit = Child("EDIT", "", WS_BORDER, {0, 0, 300, 20});
  SetFocus(edit);
  for (const Step& step : steps) {
    if (step.vk) {
      Press(step.vk);
    } else {
      Type(step.typed);
    }
    EXPECT_EQ(Text(edit), step.expected) << "after key " << step.vk << " / text " << step.typed;
  }
}

TEST_F(Controls, ReadOnlyEditShowsTextButIgnoresEditing) {
  HWND edit = Child("EDIT", "status", WS_BORDER | ES_READONLY, {0, 0, 300, 20});
  SetFocus(edit);
  Type("x");
  Press(VK_BACK);
  Press(VK_HOME);
  Press(VK_DELETE);
  EXPECT_EQ(Text(edit), "status");
  EXPECT_TRUE(HasBlack({0, 0, 300, 20})) << "the text shows";
  SetWindowTextA(edit, "next");
  EXPECT_EQ(Text(edit), "next");
}

TEST_F(Controls, OnlyAnAutoScrollingEditTakesTextWiderThanItself) {
  const std::string typed(40, 'W');
  for (DWORD style : {0u, DWORD(ES_AUTOHSCROLL)}) {
    HWND edit = Child("EDIT", "", WS_BORDER | style, {0, 0, 60, 20});
    SetFocus(edit);
    Type(typed.c_str());
    std::string text = Text(edit);
    if (style & ES_AUTOHSCROLL) {
      EXPECT_EQ(text, typed);
    } else {
      EXPECT_FALSE(text.empty());
      EXPECT_LT(text.size(), typed.size());
      EXPECT_LE(TextWidth(text.data(), text.size()), 60);
    }
  }
}

TEST_F(Controls, AutoScrollingKeepsTheCaretInView) {
  // Spaces leave no ink, so the only black inside the frame is the caret.
  HWND edit = Child("EDIT", "", WS_BORDER | ES_AUTOHSCROLL, {0, 0, 60, 20});
  SetFocus(edit);
  Type(std::string(50, ' ').c_str());
  EXPECT_TRUE(HasBlack({1, 1, 59, 19}));
  Press(VK_HOME);
  EXPECT_TRUE(HasBlack({2, 2, 5, 18})) << "the caret went back to the left edge";
}

TEST_F(Controls, EditClickGivesFocusAndPlacesTheCaret) {
  HWND edit = Child("EDIT", "abcdef", WS_BORDER, {10, 10, 210, 30});
  Click(12, 20);
  EXPECT_EQ(GetFocus(), edit);
  Type("<");
  Click(200, 20);
  Type(">");
  EXPECT_EQ(Text(edit), "<abcdef>");
}

TEST_F(Controls, FocusedEditLooksDifferent) {
  const RECT box = {0, 0, 100, 20};
  HWND edit = Child("EDIT", "text", WS_BORDER, box);
  SetFocus(parent_);
  std::vector<uint32_t> unfocused = Pixels(box);
  SetFocus(edit);
  EXPECT_NE(Pixels(box), unfocused);
  SetFocus(parent_);
  EXPECT_EQ(Pixels(box), unfocused);
}

// ---- BUTTON ----

TEST_F(Controls, AClickOnEitherButtonTellsTheParentWithItsHandle) {
  for (DWORD style : {DWORD(BS_PUSHBUTTON), DWORD(BS_AUTORADIOBUTTON)}) {
    commands.clear();
    HWND button = Child("BUTTON", "Go!", style, {0, 0, 75, 20});
    Click(30, 10);
    ASSERT_EQ(commands.size(), 1u) << "style " << style;
    EXPECT_EQ(commands[0].hwnd, parent_);
    EXPECT_EQ(commands[0].wParam, WPARAM(0));  // control id 0, BN_CLICKED
    EXPECT_EQ(commands[0].lParam, LPARAM(button));
    EXPECT_EQ(GetFocus(), button);
  }
}

TEST_F(Controls, ReleasingTheMouseOffTheButtonIsNoClick) {
  Child("BUTTON", "Go!", 0, {0, 0, 75, 20});
  {
    std::lock_guard lock(WindowMutex());
    Window* top = LookupWindow(parent_);
    InputMouseButton(*top, {30, 10}, true);
    InputMouseButton(*top, {200, 100}, false);
  }
  PumpMessages();
  EXPECT_TRUE(commands.empty());
}

TEST_F(Controls, AutoRadioButtonsCheckThemselvesAndUncheckTheirSiblings) {
  std::vector<HWND> radios;
  for (int x : {0, 75, 150})
    radios.push_back(Child("BUTTON", "R", BS_AUTORADIOBUTTON, {x, 0, x + 75, 21}));
  HWND push = Child("BUTTON", "Push", 0, {0, 30, 75, 50});
  auto checks = [&] {
    std::vector<LRESULT> out;
    for (HWND hwnd : radios) out.push_back(SendMessageA(hwnd, BM_GETCHECK, 0, 0));
    return out;
  };
  EXPECT_EQ(checks(), (std::vector<LRESULT>{0, 0, 0}));
  SendMessageA(radios[0], BM_SETCHECK, BST_CHECKED, 0);
  SendMessageA(radios[1], BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_EQ(checks(), (std::vector<LRESULT>{1, 1, 0})) << "BM_SETCHECK leaves the others alone";
  Click(160, 10);
  EXPECT_EQ(checks(), (std::vector<LRESULT>{0, 0, 1}));
  Click(20, 40);
  EXPECT_EQ(checks(), (std::vector<LRESULT>{0, 0, 1})) << "a push button is no radio";
  EXPECT_EQ(SendMessageA(push, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

// The check mark as Windows draws it on a 21-pixel-high radio button, measured there:
// face (.), shadow (s), dark shadow (D), white (W) and black (#).
TEST_F(Controls, ARadiosCheckMarkIsWindowsOwn) {
  const char* const kMark[] = {
      ".....ssss.....", "...ssDDDDss...", "..ssDWWWWD.W..", "..sDWWWWWW.W..",
      ".sDWWW##WWW.W.", ".sDWW####WW.W.", ".sDWW####WW.W.", ".sDWWW##WWW.W.",
      "..sDWWWWWW.W..", "..WW.WWWW.WW..", "...WW....WW...", ".....WWWW.....",
  };
  const std::map<char, uint32_t> colours = {
      {'.', 0xD4D0C8}, {'s', 0x808080}, {'D', 0x404040}, {'W', 0xFFFFFF}, {'#', kBlack}};
  HWND radio = Child("BUTTON", "", BS_AUTORADIOBUTTON, {0, 0, 75, 21});
  SendMessageA(radio, BM_SETCHECK, BST_CHECKED, 0);
  PumpMessages();
  for (int y = 0; y < 12; y++) {
    for (int x = 0; x < 14; x++) {
      EXPECT_EQ(WindowPixel(parent_, x, 4 + y), colours.at(kMark[y][x])) << "at (" << x << ", " << 4 + y << ")";
    }
  }
}

TEST_F(Controls, CheckedRadioLooksDifferent) {
  const RECT first = {0, 0, 75, 21}, second = {75, 0, 150, 21};
  HWND checked = Child("BUTTON", "A", BS_AUTORADIOBUTTON, first);
  Child("BUTTON", "A", BS_AUTORADIOBUTTON, second);
  EXPECT_EQ(Pixels(first), Pixels(second));
  SendMessageA(checked, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_NE(Pixels(first), Pixels(second));
}

// ---- LISTBOX ----

class ListBox : public Controls {
 protected:
  // The server's player list: fifteen rows in a box 100 pixels high.
  static constexpr RECT kBox = {100, 20, 275, 120};
  static constexpr int kRows = 15;

  void SetUp() override {
    Controls::SetUp();
    list_ = Child("LISTBOX", "", WS_BORDER | WS_VSCROLL, kBox);
    for (int i = 0; i < kRows; i++) {
      ASSERT_EQ(SendMessageA(list_, LB_ADDSTRING, 0, LPARAM(("row " + std::to_string(i)).c_str())),
                i);
    }
  }

  LRESULT Selected() { return SendMessageA(list_, LB_GETCURSEL, 0, 0); }

  static int RowHeight() { return FontLineHeight(); }
  // Rows start inside the one-pixel frame.
  static int VisibleRows() { return (kBox.bottom - kBox.top - 2) / RowHeight(); }
  // Clicks the middle of the n-th row on view.
  void ClickRow(int n) { Click(kBox.left + 20, kBox.top + 1 + n * RowHeight() + RowHeight() / 2); }
  void Wheel(int notches) {
    TurnWheel(parent_, kBox.left + 20, kBox.top + 20, notches);
    PumpMessages();
  }

  HWND list_ = nullptr;
};

// How Windows draws the server's list with a row chosen, measured there: the box a whole
// number of rows high, a dotted focus rectangle inverting every other pixel around the
// chosen row, and the scroll bar's raised parts, arrows and checked track.
TEST_F(ListBox, LooksAsWindowsDrawsIt) {
  constexpr uint32_t kFace = 0xD4D0C8, kWhite = 0xFFFFFF, kDark = 0x404040;
  ASSERT_EQ(RowHeight(), 16);
  ClickRow(1);
  const int left = kBox.left, top = kBox.top, bar = kBox.right - 1 - 16;
  struct Expected {
    const char* what;
    int x, y;
    uint32_t pixel;
  };
  const Expected expected[] = {
      {"frame's bottom, six rows down", left + 50, top + 97, kBlack},
      {"focus rectangle, inverted", left + 1, top + 17, kNavy ^ kWhite},
      {"focus rectangle, between dots", left + 2, top + 17, kNavy},
      {"focus rectangle's bottom", left + 2, top + 32, kNavy ^ kWhite},
      {"inside the chosen row", left + 2, top + 18, kNavy},
      {"up button's outer corner", bar, top + 1, kFace},
      {"up button's inner corner", bar + 1, top + 2, kWhite},
      {"up button's outer bottom", bar + 5, top + 16, kDark},
      {"up arrow's tip", bar + 7, top + 6, kBlack},
      {"beside the up arrow's tip", bar + 8, top + 6, kFace},
      {"up arrow's base", bar + 4, top + 9, kBlack},
      {"thumb's outer bottom, 26 high", bar + 5, top + 42, kDark},
      {"track below the thumb", bar, top + 75, kWhite},
      {"track's checks", bar + 1, top + 75, kFace},
      {"down arrow's tip", bar + 7, top + 90, kBlack},
      {"down arrow's base", bar + 4, top + 87, kBlack},
      {"down button's outer bottom", bar + 5, top + 96, kDark},
  };
  for (const Expected& e : expected) EXPECT_EQ(WindowPixel(parent_, e.x, e.y), e.pixel) << e.what;
  EXPECT_NE(WindowPixel(parent_, left + 50, top + 98), kBlack) << "below the frame is the parent's";
  EXPECT_NE(WindowPixel(parent_, left + 50, top + 99), kBlack) << "below the frame is the parent's";
}

TEST_F(ListBox, RowsAndSelectionByMessage) {
  EXPECT_EQ(SendMessageA(list_, LB_GETCOUNT, 0, 0), kRows);
  EXPECT_EQ(Selected(), LB_ERR);
  char text[16];
  EXPECT_EQ(SendMessageA(list_, LB_GETTEXT, 12, LPARAM(text)), 6);
  EXPECT_STREQ(text, "row 12");
  EXPECT_EQ(SendMessageA(list_, LB_GETTEXTLEN, 3, 0), 5);
  EXPECT_EQ(SendMessageA(list_, LB_GETTEXT, kRows, LPARAM(text)), LB_ERR);
  EXPECT_EQ(SendMessageA(list_, LB_GETTEXTLEN, WPARAM(-1), 0), LB_ERR);
  EXPECT_EQ(SendMessageA(list_, LB_SETCURSEL, 4, 0), 4);
  EXPECT_EQ(Selected(), 4);
  EXPECT_EQ(SendMessageA(list_, LB_SETCURSEL, WPARAM(-1), 0), LB_ERR);
  EXPECT_EQ(Selected(), LB_ERR);
  SendMessageA(list_, LB_SETCURSEL, 2, 0);
  EXPECT_EQ(SendMessageA(list_, LB_RESETCONTENT, 0, 0), 0);
  EXPECT_EQ(SendMessageA(list_, LB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(Selected(), LB_ERR);
}

TEST_F(ListBox, ClickSelectsAndTakesTheFocus) {
  ASSERT_LT(VisibleRows(), kRows) << "the list must need its scroll bar";
  ClickRow(2);
  EXPECT_EQ(Selected(), 2);
  EXPECT_EQ(GetFocus(), list_);
  EXPECT_EQ(WindowPixel(parent_, kBox.left + 3, kBox.top + 1 + 2 * RowHeight() + 1), kNavy);
}

TEST_F(ListBox, KeysMoveTheSelectionAndKeepItInView) {
  SetFocus(list_);
  for (int i = 0; i < kRows + 2; i++) Press(VK_DOWN);
  EXPECT_EQ(Selected(), kRows - 1);
  ClickRow(VisibleRows() - 1);
  EXPECT_EQ(Selected(), kRows - 1) << "the last row is at the bottom of the view";
  for (int i = 0; i < kRows + 2; i++) Press(VK_UP);
  EXPECT_EQ(Selected(), 0);
  ClickRow(0);
  EXPECT_EQ(Selected(), 0) << "the first row is at the top of the view";
}

TEST_F(ListBox, AWheelNotchScrollsThreeRows) {
  Wheel(-1);
  ClickRow(0);
  EXPECT_EQ(Selected(), 3);
}

TEST_F(ListBox, EveryRowCanBeScrolledToAndSelected) {
  const int barX = kBox.right - 1 - 8;
  struct Way {
    const char* name;
    std::function<void()> down;
    std::function<void()> up;
  };
  const Way ways[] = {
      {"arrows", [&] { Click(barX, kBox.bottom - 6); }, [&] { Click(barX, kBox.top + 6); }},
      {"track", [&] { Click(barX, kBox.bottom - 20); }, [&] { Click(barX, kBox.top + 20); }},
      {"wheel", [&] { Wheel(-1); }, [&] { Wheel(1); }},
  };
  for (const Way& way : ways) {
    for (int i = 0; i < kRows; i++) way.down();
    ClickRow(VisibleRows() - 1);
    EXPECT_EQ(Selected(), kRows - 1) << way.name;
    for (int i = 0; i < kRows; i++) way.up();
    ClickRow(0);
    EXPECT_EQ(Selected(), 0) << way.name;
  }
}

TEST_F(ListBox, CanBeRefilledFromAnotherThreadWhileItPaints) {
  SendMessageA(list_, LB_SETCURSEL, 3, 0);
  std::atomic<bool> done{false};
  std::thread refill([&] {
    for (int round = 0; round < 20; round++) {
      SendMessageA(list_, LB_RESETCONTENT, 0, 0);
      for (int i = 0; i < kRows; i++) SendMessageA(list_, LB_ADDSTRING, 0, LPARAM("-Empty-"));
    }
    done = true;
  });
  while (!done) PumpMessages();
  refill.join();
  PumpMessages();
  EXPECT_EQ(SendMessageA(list_, LB_GETCOUNT, 0, 0), kRows);
  EXPECT_EQ(Selected(), LB_ERR);
}

}  // namespace
