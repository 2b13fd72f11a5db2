#include "platform/screen.h"

#include <SDL_keycode.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/screen_translate.h"

namespace {

class HeadlessScreen : public testing::Test {
 protected:
  void SetUp() override { ScreenForceHeadless(); }
};

TEST_F(HeadlessScreen, UsesNoDisplayAndHasNoClipboard) {
  EXPECT_FALSE(ScreenAvailable());
  EXPECT_EQ(ScreenClipboardText(), "");
}

TEST_F(HeadlessScreen, AMessageBoxIsALineOnStandardErrorFromAnyThread) {
  testing::internal::CaptureStderr();
  ScreenMessageBox(nullptr, "Big fat winsock error!!!", "Error on bind()", MB_OK);
  std::thread([] {
    ScreenMessageBox(nullptr, "Could not find a .bmp.", "Brambleduck error", MB_ICONHAND);
  }).join();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Error on bind(): Big fat winsock error!!!\nBrambleduck error: Could not find a .bmp.\n");
}

TEST_F(HeadlessScreen, WindowsStayInMemory) {
  Window top;
  top.text = "Form";
  top.rect = {0, 0, 4, 3};
  top.surface = Pixmap(4, 3);
  ScreenShow(top);
  ScreenSetCaption(top);
  ScreenPresent(top);
  EXPECT_EQ(top.screen, nullptr);
}

TEST_F(HeadlessScreen, WaitingForEventsReturnsAtOnce) {
  ScreenWake();
  const auto start = std::chrono::steady_clock::now();
  ScreenWaitEvents(60000);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}

TEST(VirtualKeyFromSdl, GivesTheWindowsCodes) {
  const struct {
    SDL_Keycode key;
    int vk;
  } cases[] = {
      {SDLK_a, 'A'},              {SDLK_z, 'Z'},               {SDLK_0, '0'},
      {SDLK_9, '9'},              {SDLK_LEFT, VK_LEFT},        {SDLK_UP, VK_UP},
      {SDLK_RIGHT, VK_RIGHT},     {SDLK_DOWN, VK_DOWN},        {SDLK_RETURN, VK_RETURN},
      {SDLK_KP_ENTER, VK_RETURN}, {SDLK_SPACE, VK_SPACE},      {SDLK_ESCAPE, VK_ESCAPE},
      {SDLK_BACKSPACE, VK_BACK},  {SDLK_TAB, VK_TAB},          {SDLK_DELETE, VK_DELETE},
      {SDLK_HOME, VK_HOME},       {SDLK_END, VK_END},          {SDLK_LSHIFT, VK_SHIFT},
      {SDLK_RSHIFT, VK_SHIFT},    {SDLK_LCTRL, VK_CONTROL},    {SDLK_RCTRL, VK_CONTROL},
      {SDLK_F1, 112},             {SDLK_F12, 123},             {SDLK_KP_0, 0x60},
      {SDLK_KP_9, 0x69},          {SDLK_COMMA, 0xBC},          {SDLK_PERIOD, 0xBE},
      {SDLK_MINUS, 0xBD},         {SDLK_SLASH, 0xBF},          {SDLK_QUOTE, 0xDE},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(VirtualKeyFromSdl(c.key), c.vk) << "key " << c.key;
  }
}

TEST(VirtualKeyFromSdl, KeysWithoutACodeGiveNone) {
  const SDL_Keycode keys[] = {SDLK_UNKNOWN, SDLK_F13, SDLK_AUDIOPLAY, 0xE9 /* é */};
  for (SDL_Keycode key : keys) {
    EXPECT_EQ(VirtualKeyFromSdl(key), 0) << key;
  }
}

struct TextCase {
  const char* what;
  std::string from;
  std::string to;
};

TEST(Cp1252FromUtf8, KeepsWhatTheCodePageHasAndDropsTheRest) {
  const TextCase cases[] = {
      {"ASCII", "Hello, world!", "Hello, world!"},
      {"Latin-1", "caf\xC3\xA9 \xC2\xA0\xC3\xBF", "caf\xE9 \xA0\xFF"},
      {"the 0x80 row", "\xE2\x82\xAC\xE2\x80\x9C\xE2\x84\xA2\xC5\xB8", "\x80\x93\x99\x9F"},
      {"no byte for it", "a\xE6\x97\xA5" "b\xF0\x9F\x98\x80" "c\xC2\x80" "d", "abcd"},
      {"not UTF-8", "\x80" "a\xC3" "b\xC0\xAF" "c\xED\xA0\x80" "d\xF8\x88\x80\x80\x80" "e\xE2\x82", "abcde"},
  };
  for (const TextCase& c : cases) EXPECT_EQ(Cp1252FromUtf8(c.from), c.to) << c.what;
}

TEST(Utf8FromCp1252, GivesEachByteItsCharacter) {
  const TextCase cases[] = {
      {"ASCII", "Hello", "Hello"},
      {"Latin-1", "caf\xE9", "caf\xC3\xA9"},
      {"the 0x80 row", "\x80\x99", "\xE2\x82\xAC\xE2\x84\xA2"},
      {"undefined bytes", "a\x81\x8D\x8F\x90\x9D" "b", "ab"},
  };
  for (const TextCase& c : cases) EXPECT_EQ(Utf8FromCp1252(c.from), c.to) << c.what;
}

TEST(Utf8FromCp1252, EveryDefinedByteComesBack) {
  std::string all;
  for (int byte = 1; byte < 256; ++byte) {
    if (byte != 0x81 && byte != 0x8D && byte != 0x8F && byte != 0x90 && byte != 0x9D) all += char(byte);
  }
  EXPECT_EQ(Cp1252FromUtf8(Utf8FromCp1252(all)), all);
}

TEST(DesktopScale, IsTheLargestWholeScaleThatFits85Percent) {
  const struct {
    int width, height, usableWidth, usableHeight, scale;
  } cases[] = {
      {640, 480, 1920, 1080, 1}, {320, 200, 1920, 1080, 4},  {320, 240, 1920, 1080, 3},
      {640, 480, 3840, 2160, 3}, {100, 100, 2000, 2000, 17},  // exactly 85% still fits
      {640, 480, 800, 600, 1},   {640, 480, 600, 400, 1},     // too large even at 1
      {0, 0, 1920, 1080, 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DesktopScale(c.width, c.height, c.usableWidth, c.usableHeight), c.scale)
        << c.width << "x" << c.height << " on " << c.usableWidth << "x" << c.usableHeight;
  }
}

TEST(DesktopPlacement, ScalesThePositionOrCentresTheWindow) {
  const struct {
    const char* what;
    POINT position;
    int width, height;
    RECT usable, placed;
  } cases[] = {
      {"at its place", {10, 20}, 320, 200, {0, 0, 1920, 1080}, {40, 80, 1320, 880}},
      {"below a panel", {0, 0}, 320, 200, {0, 32, 1920, 1080}, {0, 32, 1280, 832}},
      {"off the right edge", {300, 200}, 320, 200, {0, 0, 1920, 1080}, {320, 140, 1600, 940}},
      {"left of the desktop", {-5, 0}, 320, 200, {0, 0, 1920, 1080}, {320, 140, 1600, 940}},
      {"larger than the desktop", {0, 0}, 2000, 1200, {100, 50, 1920, 1080}, {100, 50, 2100, 1250}},
  };
  for (const auto& c : cases) {
    const RECT r = DesktopPlacement(c.position, c.width, c.height, c.usable);
    EXPECT_EQ(r.left, c.placed.left) << c.what;
    EXPECT_EQ(r.top, c.placed.top) << c.what;
    EXPECT_EQ(r.right, c.placed.right) << c.what;
    EXPECT_EQ(r.bottom, c.placed.bottom) << c.what;
  }
}

}  // namespace
